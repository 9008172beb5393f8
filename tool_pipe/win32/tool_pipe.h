// The pipe to the tool on Windows: the C runtime's _popen, fputs and _pclose
// and the kernel's Sleep, under the names that the run uses on every host.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <stdio.h>
#include <windows.h>

namespace tool_pipe {

using ::_pclose;
using ::_popen;
using ::fputs;
using ::Sleep;

} // namespace tool_pipe
