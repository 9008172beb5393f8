#include "control_character.h"

namespace text {

bool is_ascii_control(char32_t c) { return c < 0x20 || c == 0x7F; }

bool is_control(char32_t c) {
  return is_ascii_control(c) || (c >= 0x80 && c < 0xA0);
}

} // namespace text
