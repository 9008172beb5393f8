#include "own_folder.h"

#include <cerrno>
#include <climits>
#include <unistd.h>

bool find_own_folder(std::string &folder) {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
  if (length < 0)
    return false;
  if (static_cast<std::size_t>(length) == sizeof path) {
    errno = ENAMETOOLONG; // cut short: the end of the path is missing
    return false;
  }
  const std::string program(path, static_cast<std::size_t>(length));
  folder = program.substr(0, program.rfind('/'));
  return true;
}
