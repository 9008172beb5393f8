#include "utf8.h"

namespace text {

std::size_t utf8_sequence(const std::string &text, std::size_t at,
                          char32_t &c) {
  const auto byte = [&text](std::size_t i) {
    return static_cast<unsigned char>(text[i]);
  };
  const unsigned char lead = byte(at);
  const std::size_t length = lead < 0x80                   ? 1
                             : lead >= 0xC2 && lead < 0xE0 ? 2
                             : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xF0 && lead < 0xF5 ? 4
                                                           : 0;
  if (length == 0 || at + length > text.size())
    return 0;
  static constexpr unsigned char lead_bits[] = {0x7F, 0x1F, 0x0F, 0x07};
  c = lead & lead_bits[length - 1];
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80)
      return 0;
    c = c << 6 | (byte(at + i) & 0x3F);
  }
  // The shortest form only, and no surrogates or values past Unicode's.
  static constexpr char32_t least[] = {0, 0x80, 0x800, 0x10000};
  if (c < least[length - 1] || (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF)
    return 0;
  return length;
}

bool is_utf8(const std::string &text) {
  char32_t c;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = utf8_sequence(text, i, c);
    if (length == 0)
      return false;
    i += length;
  }
  return true;
}

void append_utf8(char32_t c, std::string &text) {
  if (c < 0x80) {
    text += static_cast<char>(c);
    return;
  }
  int more = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
  static constexpr unsigned char leads[] = {0xC0, 0xE0, 0xF0};
  text += static_cast<char>(leads[more - 1] | (c >> (6 * more)));
  while (more-- > 0)
    text += static_cast<char>(0x80 | ((c >> (6 * more)) & 0x3F));
}

} // namespace text
