// The pipe to the tool: the Windows C runtime's _popen, fputs, fgets and
// _pclose and the kernel's Sleep, under the names that the run uses on every
// host. On Windows they are the system's own; elsewhere this library's
// *-posix.cpp files keep the same contract.
//
// They are for one thread, as the run uses them: the table of open pipes is
// kept without locks, so calls from several threads at once may corrupt it.
#pragma once

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <stdio.h>
#include <windows.h>

namespace tool_pipe {

using ::_pclose;
using ::_popen;
using ::fgets;
using ::fputs;
using ::Sleep;

} // namespace tool_pipe

#else

namespace tool_pipe {

// Buffered write-only (or read-only) stream on a pipe to a child process.
struct Stream;

// Starts `command` under the command interpreter with a pipe to its standard
// input ("w") or from its standard output ("r"); a second letter "t" or "b"
// picks text or binary, text being the default. Null on any failure, with
// errno saying why.
Stream *_popen(const char *command, const char *mode);

// Buffers `text`; 0 when the stream took every byte, -1 otherwise.
int fputs(const char *text, Stream *stream);

// Reads one line of at most size - 1 bytes; null at end of input or failure.
char *fgets(char *line, int size, Stream *stream);

// Delivers what is buffered, closes the pipe and waits without time limit
// for the child: its exit code (128 + the signal that ended it), or -1 for
// an unknown stream or failed wait.
int _pclose(Stream *stream);

// Suspends the caller for `milliseconds`, however many signals arrive.
void Sleep(unsigned long milliseconds);

} // namespace tool_pipe

#endif
