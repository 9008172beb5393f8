#include "code_page.h"

#include <iconv.h>

namespace text {
namespace {

// The whole of `in` converted, each character to one of its own: iconv
// counts the conversions it could make only approximately.
bool converted(const char *from, const char *to, const std::string &in,
               std::string &out) {
  const iconv_t conversion = iconv_open(to, from);
  if (conversion == reinterpret_cast<iconv_t>(-1))
    return false;
  // A code page's byte is at most three bytes of UTF-8, and never longer
  // the other way.
  std::string result(in.size() * 3, '\0');
  char *in_at = const_cast<char *>(in.data());
  std::size_t in_left = in.size();
  char *out_at = result.data();
  std::size_t out_left = result.size();
  const std::size_t inexact =
      iconv(conversion, &in_at, &in_left, &out_at, &out_left);
  iconv_close(conversion);
  if (inexact != 0)
    return false;
  result.resize(result.size() - out_left);
  out = result;
  return true;
}

std::string page_name(unsigned page) { return "CP" + std::to_string(page); }

} // namespace

bool utf8_from_code_page(const std::string &bytes, unsigned page,
                         std::string &text) {
  return converted(page_name(page).c_str(), "UTF-8", bytes, text);
}

bool code_page_from_utf8(const std::string &text, unsigned page,
                         std::string &bytes) {
  return converted("UTF-8", page_name(page).c_str(), text, bytes);
}

} // namespace text
