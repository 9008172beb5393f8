#include "command_words.h"

namespace stand_ins {

std::string join_arguments(const char *const *arguments, int count) {
  std::string joined;
  for (int i = 0; i < count; ++i) {
    if (i > 0)
      joined += ' ';
    joined += arguments[i];
  }
  return joined;
}

std::vector<std::string> split_command(const std::string &command) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false; // so that "" still makes an empty word
  bool quoted = false;
  for (const char c : command) {
    if (c == '"') {
      quoted = !quoted;
      in_word = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (in_word)
        words.push_back(word);
      word.clear();
      in_word = false;
    } else {
      word += c;
      in_word = true;
    }
  }
  if (in_word)
    words.push_back(word);
  return words;
}

} // namespace stand_ins
