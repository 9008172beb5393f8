#include "host_program.h"

#include <cerrno>
#include <cstdlib>
#include <unistd.h>

namespace stand_ins {
namespace {

// Where execvp looks when PATH is unset.
constexpr char default_search_path[] = "/bin:/usr/bin";

} // namespace

bool means_no_program(int error) {
  return error == ENOENT || error == ENOTDIR || error == EACCES ||
         error == ENOEXEC;
}

void exec_host_program(const std::string &program, char *const argv[]) {
  if (program.find('/') != std::string::npos) {
    execv(program.c_str(), argv);
    return;
  }
  const char *const set_path = std::getenv("PATH");
  const std::string search_path =
      set_path != nullptr ? set_path : default_search_path;
  std::size_t start = 0;
  while (true) {
    const std::size_t colon = search_path.find(':', start);
    const std::string folder = search_path.substr(start, colon - start);
    // An empty entry is the current folder, as execvp has it.
    const std::string candidate =
        (folder.empty() ? "." : folder) + "/" + program;
    execv(candidate.c_str(), argv);
    if (!means_no_program(errno) || colon == std::string::npos)
      return;
    start = colon + 1;
  }
}

} // namespace stand_ins
