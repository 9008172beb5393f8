#include "interpreter.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace tool_pipe {
namespace {

constexpr char fallback_name[] = "cmd.exe";

// Tried in this order on an interpreter name that has no extension.
constexpr const char *program_extensions[] = {".com", ".exe", ".bat", ".cmd"};

// An interpreter to try: where to look, and the name it is started under.
struct Candidate {
  std::string path;
  std::string name;
};

// COMSPEC's program, then the fallback in the current folder and in each
// PATH folder, in that order.
std::vector<Candidate> candidates() {
  std::vector<Candidate> found;
  if (const char *const comspec = std::getenv("COMSPEC"))
    found.push_back({comspec, comspec});
  found.push_back({fallback_name, fallback_name});
  const char *const path = std::getenv("PATH");
  for (const char *folder = path; folder != nullptr && *folder != '\0';) {
    const char *const end = std::strchr(folder, ':');
    const std::string directory =
        end ? std::string(folder, end) : std::string(folder);
    if (!directory.empty())
      found.push_back({directory + "/" + fallback_name, fallback_name});
    folder = end ? end + 1 : nullptr;
  }
  return found;
}

bool exists(const std::string &path) { return access(path.c_str(), F_OK) == 0; }

// The file that `path` names as a program: itself if its file name has an
// extension, else the first of its extended forms that exists; empty when
// there is none. A path that ends before a file name (empty, or ending in
// a separator) names none, rather than a hidden ".exe" in its folder.
std::string find_program(const std::string &path) {
  const auto separator = path.find_last_of("/\\");
  const std::string name =
      separator == std::string::npos ? path : path.substr(separator + 1);
  if (name.empty())
    return "";
  if (name.find('.') != std::string::npos)
    return exists(path) ? path : "";
  for (const char *extension : program_extensions)
    if (exists(path + extension))
      return path + extension;
  return "";
}

// Starts `program` with {name, "/c", command}.
Start spawn(const std::string &program, const std::string &name,
            const char *command, int pipe_end, int child_fd) {
  const char *const argv[] = {name.c_str(), "/c", command, nullptr};
  posix_spawn_file_actions_t actions;
  int error = posix_spawn_file_actions_init(&actions);
  if (error != 0)
    return {-1, error};
  pid_t child = -1;
  error = posix_spawn_file_actions_adddup2(&actions, pipe_end, child_fd);
  if (error == 0)
    error = posix_spawn(&child, program.c_str(), &actions, nullptr,
                        const_cast<char *const *>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  return {error == 0 ? child : -1, error};
}

} // namespace

// The next candidate is tried only when there is no such file, or it may not
// be run; a file that is there but fails to start any other way (a script
// whose interpreter is missing, say) ends the search with that failure.
Start start_interpreter(const char *command, int pipe_end, int child_fd) {
  Start start{-1, ENOENT};
  for (const Candidate &candidate : candidates()) {
    const std::string program = find_program(candidate.path);
    if (program.empty())
      continue;
    start = spawn(program, candidate.name, command, pipe_end, child_fd);
    if (start.error != EACCES)
      break;
  }
  return start;
}

} // namespace tool_pipe
