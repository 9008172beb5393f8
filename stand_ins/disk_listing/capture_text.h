// Console output saved to a file on Windows, read as lines of text. cmd's
// ">" saves it as it came (ASCII, or the console's code page), PowerShell 7
// as UTF-8, Windows PowerShell 5.1 as UTF-16LE with a byte-order mark.
#pragma once

#include <string>
#include <vector>

namespace stand_ins {

struct CaptureText {
  // UTF-8, as UTF-16 is made; else some code page, where a column is a byte.
  bool utf8 = true;
  std::vector<std::string> lines; // each without its LF, CR LF or CR CR LF
};

// Reads `bytes` into `text`. Empty on success, else why not. A file holds
// one encoding: a byte-order mark or UTF-16 text after its start is another
// program's output appended to it, which may supersede what comes before.
std::string read_capture_text(const std::string &bytes, CaptureText &text);

} // namespace stand_ins
