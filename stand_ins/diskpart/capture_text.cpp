#include "capture_text.h"

namespace stand_ins {
namespace {

constexpr char utf8_mark[] = "\xEF\xBB\xBF";
constexpr char utf16le_mark[] = "\xFF\xFE";
constexpr char32_t replacement = 0xFFFD;

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

// An unpaired surrogate stands for one character that cannot be shown.
std::string utf8_from_utf16le(const std::string &bytes) {
  const auto unit_at = [&bytes](std::size_t i) -> char32_t {
    return static_cast<unsigned char>(bytes[i]) |
           static_cast<unsigned char>(bytes[i + 1]) << 8;
  };
  std::string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char32_t c = unit_at(i);
    const bool high = c >= 0xD800 && c < 0xDC00;
    const bool low_follows = i + 3 < bytes.size() && unit_at(i + 2) >= 0xDC00 &&
                             unit_at(i + 2) < 0xE000;
    if (high && low_follows) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit_at(i + 2) - 0xDC00);
      i += 2;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = replacement;
    }
    append_utf8(c, text);
  }
  return text;
}

bool starts_with(const std::string &text, const std::string &start) {
  return text.compare(0, start.size(), start) == 0;
}

} // namespace

bool capture_lines(const std::string &bytes, std::vector<std::string> &lines) {
  std::string text;
  if (starts_with(bytes, utf16le_mark)) {
    if (bytes.size() % 2 != 0)
      return false;
    text = utf8_from_utf16le(bytes.substr(2));
  } else {
    text = starts_with(bytes, utf8_mark) ? bytes.substr(3) : bytes;
  }
  lines.clear();
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos)
      end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return true;
}

std::vector<std::size_t> character_starts(const std::string &line) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < line.size();) {
    starts.push_back(i);
    const auto byte = [&line](std::size_t at) {
      return static_cast<unsigned char>(line[at]);
    };
    const std::size_t length = byte(i) >= 0xF0 && byte(i) < 0xF8   ? 4
                               : byte(i) >= 0xE0 && byte(i) < 0xF0 ? 3
                               : byte(i) >= 0xC0 && byte(i) < 0xE0 ? 2
                                                                   : 1;
    std::size_t whole = 1;
    while (whole < length && i + whole < line.size() &&
           (byte(i + whole) & 0xC0) == 0x80)
      ++whole;
    i += whole == length ? length : 1;
  }
  starts.push_back(line.size());
  return starts;
}

} // namespace stand_ins
