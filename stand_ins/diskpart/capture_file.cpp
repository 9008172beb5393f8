#include "capture_file.h"

#include "regular_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace stand_ins {
namespace {

// A saved LIST DISK is a few kilobytes: a far larger file is some other.
constexpr std::size_t max_listing_bytes = 1024 * 1024;

} // namespace

std::string read_capture_file(const char *path, std::string &bytes) {
  std::string problem;
  std::FILE *const file = open_regular_file(path, problem);
  if (file == nullptr)
    return problem;
  char buffer[4096];
  std::size_t count;
  while (bytes.size() <= max_listing_bytes &&
         (count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    bytes.append(buffer, count);
  const bool failed = std::ferror(file) != 0;
  const int error = errno;
  std::fclose(file);
  if (failed)
    return std::string("cannot be read: ") + std::strerror(error);
  if (bytes.size() > max_listing_bytes)
    return "is larger than 1 MB, far more than any LIST DISK";
  return "";
}

} // namespace stand_ins
