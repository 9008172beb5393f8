// A saved capture, read whole: what the simulated DiskPart simulates, and
// what a confirmation judges.
#pragma once

#include <string>

namespace stand_ins {

// All of the regular file at `path` in `bytes`; empty on success, else
// words that follow the file's name. Opening never waits, as it would on a
// FIFO with no writer.
std::string read_capture_file(const char *path, std::string &bytes);

} // namespace stand_ins
