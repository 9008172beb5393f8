// The status words' code pages: what the reader needs, beyond a word's
// meaning, to read a capture saved in a console's code page, and to tell one
// that Windows decoded in the wrong page.
#pragma once

#include <string>
#include <vector>

namespace stand_ins {

// Whether `status`, UTF-8, is a word of a DiskPart that writes code page
// `page` to a console, a pipe or a file.
bool written_in_code_page(const std::string &status, unsigned page);

// The code pages that the DiskParts whose words are known write, each once.
const std::vector<unsigned> &console_code_pages();

// Where `status` is a known word as Windows leaves it when it decodes
// DiskPart's output in its ANSI code page instead of the console's (as a
// PowerShell remoting session does): that word, and the two pages.
struct MisreadWord {
  std::string word;
  unsigned written_in;
  unsigned read_as;
};
bool misread_word(const std::string &status, MisreadWord &misread);

} // namespace stand_ins
