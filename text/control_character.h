// What a control character is, as the stand-ins refuse and escape them.
#pragma once

namespace text {

// C0 or DEL: ASCII's control characters, which a code page keeps as they
// are; its bytes past ASCII are its own characters.
bool is_ascii_control(char32_t c);

// C0, DEL or C1: Unicode's control characters.
bool is_control(char32_t c);

} // namespace text
