// Reads command lines from a stream byte for byte, each ended by LF or CR LF.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace stand_ins {

// The longest command line taken, its line end not counted.
constexpr std::size_t max_line_bytes = 1024;

enum class LineStatus { line, too_long, end_of_input, read_failed };

struct InputLine {
  LineStatus status;
  std::string text; // without its line end; empty unless status is line
};

// The next line; a last line without a line end counts. A line longer than
// `max_bytes` is read up to its end and dropped, so that the next read starts
// on the line after it.
InputLine read_line(std::FILE *input, std::size_t max_bytes);

} // namespace stand_ins
