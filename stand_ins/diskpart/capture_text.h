// Console output saved to a file on Windows, read as lines of text. cmd's
// ">" saves it as it came (ASCII, or the console's code page), PowerShell 7
// as UTF-8, Windows PowerShell 5.1 as UTF-16LE with a byte-order mark.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace stand_ins {

// The lines of `bytes`, each without its LF or CR LF: UTF-8 with or without
// a byte-order mark passes as it is, UTF-16LE with one becomes UTF-8. False
// if UTF-16 text ends in half a code unit.
bool capture_lines(const std::string &bytes, std::vector<std::string> &lines);

// Where each character of a line starts, then where the line ends. A byte
// that begins no whole UTF-8 sequence is a character of its own, as in a
// one-byte code page, so that columns line up in either kind of text.
std::vector<std::size_t> character_starts(const std::string &line);

} // namespace stand_ins
