#include "text_width.h"

#include "console_width.h"
#include "utf8.h"

#include <algorithm>

namespace text {

// A character the console cannot say the width of is taken as one column.
std::size_t text_width(const std::string &text) {
  std::size_t width = 0;
  char32_t c;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = utf8_sequence(text, i, c);
    width += length == 0 ? 1 : std::max(console_width(c), 0);
    i += length == 0 ? 1 : length;
  }
  return width;
}

} // namespace text
