#include "capture_text.h"

#include "utf8.h"

#include <algorithm>

namespace stand_ins {
namespace {

constexpr char utf8_mark[] = "\xEF\xBB\xBF";
constexpr char utf16le_mark[] = "\xFF\xFE";
const std::string utf32le_mark("\xFF\xFE\0\0", 4);
constexpr char unread_encoding[] =
    "is in an encoding that the simulation does not read: save it as UTF-8, "
    "or as the UTF-16 that Windows PowerShell 5.1's > writes";
constexpr char32_t replacement = 0xFFFD;
constexpr char32_t mark = 0xFEFF;

// Said where the text changes encoding, `before` being the text up to there.
std::string appended_at(const std::string &before) {
  return "line " +
         std::to_string(std::count(before.begin(), before.end(), '\n') + 1) +
         ": the text changes encoding here, as when a capture is appended to "
         "with another program (Windows PowerShell 5.1's >> adds UTF-16 to "
         "any file): save each capture to a file of its own";
}

// 8-bit text appended to UTF-16 puts its CR and LF bytes into the high
// bytes of code units, U+0Axx and U+0Dxx, scripts that no DiskPart writes.
bool holds_8_bit_line_end(char32_t unit) {
  return unit >> 8 == '\r' || unit >> 8 == '\n';
}

// An unpaired surrogate stands for one character that cannot be shown.
std::string utf8_from_utf16le(const std::string &bytes, std::string &text) {
  const auto unit_at = [&bytes](std::size_t i) -> char32_t {
    return static_cast<unsigned char>(bytes[i]) |
           static_cast<unsigned char>(bytes[i + 1]) << 8;
  };
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char32_t c = unit_at(i);
    if (c == mark || holds_8_bit_line_end(c))
      return appended_at(text);
    const bool high = c >= 0xD800 && c < 0xDC00;
    const bool low_follows = i + 3 < bytes.size() && unit_at(i + 2) >= 0xDC00 &&
                             unit_at(i + 2) < 0xE000;
    if (high && low_follows) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit_at(i + 2) - 0xDC00);
      i += 2;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = replacement;
    }
    text::append_utf8(c, text);
  }
  return "";
}

bool starts_with(const std::string &text, const std::string &start) {
  return text.compare(0, start.size(), start) == 0;
}

} // namespace

std::string read_capture_text(const std::string &bytes, CaptureText &text) {
  std::string decoded;
  // UTF-32 (little-endian) begins with UTF-16's mark, then two NULs.
  if (starts_with(bytes, utf32le_mark))
    return unread_encoding;
  if (starts_with(bytes, utf16le_mark)) {
    // Text appended in another encoding is the likelier cause of an odd end.
    const std::string problem = utf8_from_utf16le(bytes.substr(2), decoded);
    if (!problem.empty())
      return problem;
    if (bytes.size() % 2 != 0)
      return "ends in the middle of a UTF-16 character";
  } else {
    decoded = starts_with(bytes, utf8_mark) ? bytes.substr(3) : bytes;
    // UTF-16 text holds a NUL byte beside each ASCII character.
    const std::size_t other =
        std::min({decoded.find('\0'), decoded.find(utf8_mark),
                  decoded.find(utf16le_mark)});
    // Another encoding from the first line on is the whole file's: UTF-16
    // big-endian or without a byte-order mark, say. Nothing was appended.
    if (other != std::string::npos && decoded.find('\n') >= other)
      return unread_encoding;
    if (other != std::string::npos)
      return appended_at(decoded.substr(0, other));
  }
  text.utf8 = text::is_utf8(decoded);
  text.lines.clear();
  for (std::size_t start = 0; start < decoded.size();) {
    const std::size_t end = std::min(decoded.find('\n', start), decoded.size());
    std::string line = decoded.substr(start, end - start);
    // A file converted to CR LF twice ends its lines with CR CR LF.
    line.erase(line.find_last_not_of('\r') + 1);
    text.lines.push_back(line);
    start = end + 1;
  }
  return "";
}

} // namespace stand_ins
