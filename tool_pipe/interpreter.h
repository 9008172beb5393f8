// Starting the command interpreter the way the Windows runtime does: the
// program named by COMSPEC, else the fallback looked up through the current
// folder and PATH.
#pragma once

#include <sys/types.h>

namespace tool_pipe {

// The Windows version word; this host reports the NT family (top bit clear).
unsigned long GetVersion();

// Starts the interpreter with {name, "/c", command}, `pipe_end` becoming the
// child's descriptor `child_fd`. The child's pid, or -1 with errno set.
pid_t start_interpreter(const char *command, int pipe_end, int child_fd);

} // namespace tool_pipe
