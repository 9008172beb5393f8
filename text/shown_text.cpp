#include "shown_text.h"

#include "control_character.h"
#include "utf8.h"

#include <cstdio>

namespace text {

std::string shown(const std::string &text, bool utf8) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = static_cast<unsigned char>(text[i]);
    const std::size_t length = utf8       ? utf8_sequence(text, i, c)
                               : c < 0x80 ? 1
                                          : 0;
    if (length == 0 || is_control(c)) {
      const std::size_t bytes = length == 0 ? 1 : length;
      for (std::size_t k = i; k < i + bytes; ++k) {
        char escape[5];
        std::snprintf(escape, sizeof escape, "\\x%02X",
                      static_cast<unsigned char>(text[k]));
        out += escape;
      }
      i += bytes;
    } else {
      out.append(text, i, length);
      i += length;
    }
  }
  return out;
}

} // namespace text
