#include "code_page.h"

#include <windows.h>

namespace text {
namespace {

// Windows converts through UTF-16, refusing what is not text in the page.
bool utf16_from(const std::string &in, unsigned page, std::wstring &out) {
  if (in.empty()) {
    out.clear();
    return true;
  }
  const int size = static_cast<int>(in.size());
  const int units = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, in.data(),
                                        size, nullptr, 0);
  if (units == 0)
    return false;
  out.assign(static_cast<std::size_t>(units), L'\0');
  return MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, in.data(), size,
                             out.data(), units) == units;
}

// UTF-8 takes no default character; a code page does, where it has no form.
bool from_utf16(const std::wstring &in, unsigned page, std::string &out) {
  if (in.empty()) {
    out.clear();
    return true;
  }
  const int size = static_cast<int>(in.size());
  const DWORD exact = page == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL defaulted = FALSE;
  BOOL *const defaulted_at = page == CP_UTF8 ? nullptr : &defaulted;
  const int bytes = WideCharToMultiByte(page, exact, in.data(), size, nullptr,
                                        0, nullptr, defaulted_at);
  if (bytes == 0 || defaulted)
    return false;
  out.assign(static_cast<std::size_t>(bytes), '\0');
  return WideCharToMultiByte(page, exact, in.data(), size, out.data(), bytes,
                             nullptr, defaulted_at) == bytes &&
         !defaulted;
}

} // namespace

bool utf8_from_code_page(const std::string &bytes, unsigned page,
                         std::string &text) {
  std::wstring units;
  return utf16_from(bytes, page, units) && from_utf16(units, CP_UTF8, text);
}

bool code_page_from_utf8(const std::string &text, unsigned page,
                         std::string &bytes) {
  std::wstring units;
  return utf16_from(text, CP_UTF8, units) && from_utf16(units, page, bytes);
}

} // namespace text
