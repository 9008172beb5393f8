// Decimal whole numbers as commands and disk listings write them.
#pragma once

#include <string>

namespace text {

enum class WholeNumber { read, malformed, too_large };

// Decimal digits only: no sign, space or other junk. `value` is set only
// when the whole of `text` is read.
WholeNumber read_whole_number(const std::string &text,
                              unsigned long long &value);

} // namespace text
