#include "stop.h"

#include <cerrno>
#include <cstring>

namespace rehearsal {

std::string with_error(const std::string &what) {
  return what + ": " + std::strerror(errno);
}

} // namespace rehearsal
