// UTF-8, as the simulated DiskPart reads captures and writes its own text.
#pragma once

#include <cstddef>
#include <string>

namespace text {

// The length of the whole, shortest-form UTF-8 sequence that starts at `at`,
// with its character in `c`; 0 if none starts there.
std::size_t utf8_sequence(const std::string &text, std::size_t at, char32_t &c);

bool is_utf8(const std::string &text);

void append_utf8(char32_t c, std::string &text);

} // namespace text
