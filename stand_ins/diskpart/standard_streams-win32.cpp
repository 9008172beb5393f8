#include "standard_streams.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>

namespace stand_ins {

// Text mode would turn CR LF into LF and stop at a Ctrl-Z byte: binary mode
// passes the bytes on as they came down the pipe.
bool read_stdin_as_bytes() { return _setmode(_fileno(stdin), _O_BINARY) != -1; }

// Windows has no SIGPIPE: such a write fails already.
bool fail_writes_without_reader() { return true; }

} // namespace stand_ins
