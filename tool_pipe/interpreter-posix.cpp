#include "interpreter.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <unistd.h>

extern char **environ;

namespace tool_pipe {
namespace {

constexpr unsigned long windows_9x_family = 0x80000000UL;

// Tried in this order on an interpreter name that has no extension.
constexpr const char *program_extensions[] = {".com", ".exe", ".bat", ".cmd"};

bool not_found(int error) { return error == ENOENT || error == ENOTDIR; }

// Failures after which the fallback interpreter is tried.
bool worth_a_fallback(int error) { return not_found(error) || error == EACCES; }

bool has_extension(const std::string &path) {
  const auto name_start = path.find_last_of("/\\");
  const auto dot = path.rfind('.');
  return dot != std::string::npos &&
         (name_start == std::string::npos || dot > name_start);
}

bool exists(const std::string &path) { return access(path.c_str(), F_OK) == 0; }

pid_t spawn(const std::string &path, const char *const argv[], int pipe_end,
            int child_fd) {
  posix_spawn_file_actions_t actions;
  int error = posix_spawn_file_actions_init(&actions);
  if (error != 0) {
    errno = error;
    return -1;
  }
  pid_t child = -1;
  error = posix_spawn_file_actions_adddup2(&actions, pipe_end, child_fd);
  if (error == 0)
    error = posix_spawn(&child, path.c_str(), &actions, nullptr,
                        const_cast<char *const *>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  errno = error;
  return error == 0 ? child : -1;
}

// Starts `path` as it is if it has an extension and exists, else the first
// of its extended forms that exists.
pid_t spawn_program(const std::string &path, const char *const argv[],
                    int pipe_end, int child_fd) {
  if (has_extension(path)) {
    if (exists(path))
      return spawn(path, argv, pipe_end, child_fd);
  } else {
    for (const char *extension : program_extensions)
      if (exists(path + extension))
        return spawn(path + extension, argv, pipe_end, child_fd);
  }
  errno = ENOENT;
  return -1;
}

// The fallback interpreter, from the current folder, then each PATH folder.
pid_t spawn_fallback(const char *command, int pipe_end, int child_fd) {
  const char *const name =
      (GetVersion() & windows_9x_family) ? "command.com" : "cmd.exe";
  const char *const argv[] = {name, "/c", command, nullptr};
  pid_t child = spawn_program(name, argv, pipe_end, child_fd);
  int error = errno; // kept apart, as building the next path may change errno
  const char *const path = std::getenv("PATH");
  for (const char *folder = path; child < 0 && worth_a_fallback(error) &&
                                  folder != nullptr && *folder != '\0';) {
    const char *const end = std::strchr(folder, ':');
    const std::string directory =
        end ? std::string(folder, end) : std::string(folder);
    if (!directory.empty()) {
      child = spawn_program(directory + "/" + name, argv, pipe_end, child_fd);
      error = errno;
    }
    folder = end ? end + 1 : nullptr;
  }
  errno = error;
  return child;
}

} // namespace

unsigned long GetVersion() { return 0x0000000AUL; }

pid_t start_interpreter(const char *command, int pipe_end, int child_fd) {
  if (const char *const comspec = std::getenv("COMSPEC")) {
    const char *const argv[] = {comspec, "/c", command, nullptr};
    const pid_t child = spawn_program(comspec, argv, pipe_end, child_fd);
    if (child >= 0 || !worth_a_fallback(errno))
      return child;
  }
  return spawn_fallback(command, pipe_end, child_fd);
}

} // namespace tool_pipe
