#include "regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace stand_ins {

// Windows opens a named pipe or a device without waiting: only the kind of
// file needs looking at.
std::FILE *open_regular_file(const char *path, std::string &problem) {
  const int file = _open(path, _O_RDONLY | _O_BINARY);
  if (file < 0) {
    problem = std::string("cannot be read: ") + std::strerror(errno);
    return nullptr;
  }
  struct _stat status;
  std::FILE *stream = nullptr;
  if (_fstat(file, &status) != 0)
    problem = std::string("cannot be read: ") + std::strerror(errno);
  else if ((status.st_mode & _S_IFMT) != _S_IFREG)
    problem = verdict_file::not_a_regular_file;
  else if ((stream = _fdopen(file, "rb")) == nullptr)
    problem = std::string("cannot be read: ") + std::strerror(errno);
  if (stream == nullptr)
    _close(file);
  return stream;
}

} // namespace stand_ins
