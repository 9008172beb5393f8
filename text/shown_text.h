// Text from a saved capture, made safe to show on a console or write into
// the verdict: what it holds must not drive the terminal.
#pragma once

#include <string>

namespace text {

// `text` with each control character, and each byte that is not part of
// UTF-8 (every byte past ASCII in a code page's text: `utf8` false), as \xNN.
std::string shown(const std::string &text, bool utf8 = true);

} // namespace text
