#include "stdin_bytes.h"

namespace stand_ins {

// POSIX streams never translate line ends: nothing to switch.
bool read_stdin_as_bytes() { return true; }

} // namespace stand_ins
