#include "console_width.h"

#include <windows.h>

namespace text {

// Windows has no wcwidth: its own character types say which characters are
// full width, which take no column of their own, and which are controls.
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
  if (look[0] & C3_NONSPACING)
    return 0;
  return look[0] & (C3_FULLWIDTH | C3_IDEOGRAPH) ? 2 : 1;
}

} // namespace text
