// How many console columns text takes, so that columns line up as they do
// on the screen.
#pragma once

#include <cstddef>
#include <string>

namespace text {

// How many console columns `text`, UTF-8, takes.
std::size_t text_width(const std::string &text);

} // namespace text
