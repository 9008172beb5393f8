// Starting the command interpreter the way the Windows runtime does: the
// program named by COMSPEC, else "cmd.exe" from the current folder or a PATH
// folder.
#pragma once

#include <sys/types.h>

namespace tool_pipe {

// What a start gave: the child, or why there is none, as posix_spawn
// reports its own failures.
struct Start {
  pid_t child; // -1 when nothing was started
  int error;   // an errno value; 0 when the child was started
};

// Starts the interpreter with {name, "/c", command}, `pipe_end` becoming the
// child's descriptor `child_fd`.
Start start_interpreter(const char *command, int pipe_end, int child_fd);

} // namespace tool_pipe
