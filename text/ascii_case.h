// Matching without regard to case, for ASCII letters only, so that no locale
// changes which names and keywords match.
#pragma once

#include <string>

namespace text {

char to_lower(char c);

bool equal_ignoring_case(const std::string &a, const std::string &b);

} // namespace text
