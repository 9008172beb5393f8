#include "expected_lines.h"

namespace fuzz {

std::vector<stand_ins::InputLine> expected_lines(const std::string &bytes,
                                                 std::size_t max_bytes) {
  std::vector<stand_ins::InputLine> lines;
  for (std::size_t start = 0; start < bytes.size();) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos)
      end = bytes.size();
    std::string text = bytes.substr(start, end - start);
    if (!text.empty() && text.back() == '\r')
      text.pop_back();
    if (text.size() > max_bytes)
      lines.push_back({stand_ins::LineStatus::too_long, ""});
    else
      lines.push_back({stand_ins::LineStatus::line, text});
    start = end + 1;
  }
  return lines;
}

} // namespace fuzz
