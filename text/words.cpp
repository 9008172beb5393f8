#include "words.h"

namespace text {

std::vector<std::string> words_of(const std::string &line) {
  std::vector<std::string> words;
  std::size_t start = 0;
  while ((start = line.find_first_not_of(" \t", start)) != std::string::npos) {
    const std::size_t end = line.find_first_of(" \t", start);
    words.push_back(line.substr(start, end - start));
    start = end;
  }
  return words;
}

} // namespace text
