#include "regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stand_ins {

std::FILE *open_regular_file(const char *path, std::string &problem) {
  const int file = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (file < 0) {
    problem = std::string("cannot be read: ") + std::strerror(errno);
    return nullptr;
  }
  struct stat status;
  std::FILE *stream = nullptr;
  if (fstat(file, &status) != 0)
    problem = std::string("cannot be read: ") + std::strerror(errno);
  else if (!S_ISREG(status.st_mode))
    problem = verdict_file::not_a_regular_file;
  else if ((stream = fdopen(file, "rb")) == nullptr)
    problem = std::string("cannot be read: ") + std::strerror(errno);
  if (stream == nullptr)
    close(file);
  return stream;
}

} // namespace stand_ins
