#include "whole_number.h"

#include <climits>

namespace text {

WholeNumber read_whole_number(const std::string &text,
                              unsigned long long &value) {
  if (text.empty())
    return WholeNumber::malformed;
  unsigned long long number = 0;
  for (const char c : text) {
    if (c < '0' || c > '9')
      return WholeNumber::malformed;
    const unsigned digit = static_cast<unsigned>(c - '0');
    if (number > (ULLONG_MAX - digit) / 10)
      return WholeNumber::too_large;
    number = number * 10 + digit;
  }
  value = number;
  return WholeNumber::read;
}

} // namespace text
