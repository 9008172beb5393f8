#include "standard_streams.h"

#include <csignal>

namespace stand_ins {

// POSIX streams never translate line ends: nothing to switch.
bool read_stdin_as_bytes() { return true; }

// With SIGPIPE ignored, such a write fails with EPIPE instead.
bool fail_writes_without_reader() {
  return std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
}

} // namespace stand_ins
