#include "console_width.h"

#include <locale.h>
#include <wchar.h>

namespace text {

// The C library's own widths, under a UTF-8 locale of this thread's only,
// so that the process's locale stays as it was.
int console_width(char32_t c) {
  static const locale_t utf8 =
      newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  if (utf8 == static_cast<locale_t>(0))
    return -1;
  const locale_t previous = uselocale(utf8);
  const int width = wcwidth(static_cast<wchar_t>(c));
  uselocale(previous);
  return width;
}

} // namespace text
