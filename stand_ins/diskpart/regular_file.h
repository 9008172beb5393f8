// Opens a saved capture for reading. The one part of reading it that
// differs between hosts.
#pragma once

#include "verdict_file.h"

#include <cstdio>
#include <string>

namespace stand_ins {

// `path` opened to read bytes, if it names a regular file; opening never
// waits, as it would on a FIFO with no writer. Null, with `problem` set to
// words that follow the file's name, if it cannot be opened or is another
// kind of file (`not_a_regular_file` for another kind).
std::FILE *open_regular_file(const char *path, std::string &problem);

} // namespace stand_ins
