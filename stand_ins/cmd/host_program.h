// Starting a program of this host in this process's place, as execvp does but
// without its fallback: a file the kernel cannot run is refused, never handed
// to the shell as a script.
#pragma once

#include <string>

namespace stand_ins {

// True for the errors that mean there is no program by that name to run:
// nothing there, or nothing the kernel will run.
bool means_no_program(int error);

// Replaces this process with `program`, looked up in the folders of PATH when
// its name holds no '/'; `argv` ends with a null pointer. Returns only on
// failure, with errno set. A search goes on past the candidates that hold no
// program and ends at the first other failure.
void exec_host_program(const std::string &program, char *const argv[]);

} // namespace stand_ins
