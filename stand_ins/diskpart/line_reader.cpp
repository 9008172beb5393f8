#include "line_reader.h"

namespace stand_ins {

InputLine read_line(std::FILE *input, std::size_t max_bytes) {
  std::string text;
  bool too_long = false;
  int c;
  // One byte more than the limit is kept, for the CR of a CR LF.
  while ((c = std::getc(input)) != EOF && c != '\n') {
    if (text.size() <= max_bytes)
      text += static_cast<char>(c);
    else
      too_long = true;
  }
  if (std::ferror(input))
    return {LineStatus::read_failed, ""};
  if (c == EOF && text.empty() && !too_long)
    return {LineStatus::end_of_input, ""};
  if (!text.empty() && text.back() == '\r')
    text.pop_back();
  if (too_long || text.size() > max_bytes)
    return {LineStatus::too_long, ""};
  return {LineStatus::line, text};
}

} // namespace stand_ins
