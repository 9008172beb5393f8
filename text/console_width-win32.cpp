#include "console_width.h"

#include <windows.h>

namespace text {

namespace {

// Hangul, which a console gives two columns, is typed as neither full width
// nor ideographic: its jamo and its syllables.
bool is_wide_hangul(char32_t c) {
  return (c >= 0x1100 && c < 0x1160) || (c >= 0xAC00 && c < 0xD7A4);
}

} // namespace

// Windows has no wcwidth: its own character types say which characters are
// full width, which take no column of their own (marks, not the letters
// that some hosts type as bearing one, such as í), and which are
// controls.
int console_width(char32_t c) {
  wchar_t units[2];
  int count = 1;
  if (c < 0x10000) {
    units[0] = static_cast<wchar_t>(c);
  } else {
    units[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
    units[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    count = 2;
  }
  WORD kind[2];
  WORD look[2];
  if (!GetStringTypeW(CT_CTYPE1, units, count, kind) ||
      !GetStringTypeW(CT_CTYPE3, units, count, look) || (kind[0] & C1_CNTRL))
    return -1;
  if ((look[0] & C3_NONSPACING) && !(kind[0] & C1_ALPHA))
    return 0;
  return look[0] & (C3_FULLWIDTH | C3_IDEOGRAPH) || is_wide_hangul(c) ? 2 : 1;
}

} // namespace text
