#include "disk_status.h"
#include "disk_listing.h"

#include "ascii_case.h"
#include "code_page.h"

#include <algorithm>
#include <vector>

namespace stand_ins {
namespace {

const std::vector<StatusWords> languages = {
    {"English",
     437,
     1252,
     {"Online"},
     {"Offline", "Missing", "No Media", "Foreign", "Not Initialized",
      "Unreadable"}},
    {"German, Spanish, French, Portuguese",
     850,
     1252,
     {"Online", "En l\u00EDnea", "En ligne"},
     {}},
    // オンライン
    {"Japanese", 932, 932, {"\u30AA\u30F3\u30E9\u30A4\u30F3"}, {}},
    // 联机; 脱机, 丢失
    {"Chinese (Simplified)",
     936,
     936,
     {"\u8054\u673A"},
     {"\u8131\u673A", "\u4E22\u5931"}},
    // 連線; 離線, 遺失
    {"Chinese (Traditional)",
     950,
     950,
     {"\u9023\u7DDA"},
     {"\u96E2\u7DDA", "\u907A\u5931"}},
    // 온라인; 오프라인, 누락됨
    {"Korean",
     949,
     949,
     {"\uC628\uB77C\uC778"},
     {"\uC624\uD504\uB77C\uC778", "\uB204\uB77D\uB428"}},
    // В сети; Вне сети
    {"Russian",
     866,
     1251,
     {"\u0412 \u0441\u0435\u0442\u0438"},
     {"\u0412\u043D\u0435 \u0441\u0435\u0442\u0438"}},
};

bool one_of(const std::string &status, const std::vector<const char *> &words) {
  return std::any_of(words.begin(), words.end(), [&status](const char *word) {
    return text::equal_ignoring_case(status, word);
  });
}

StatusMeaning meaning_in(const StatusWords &language,
                         const std::string &status) {
  if (one_of(status, language.online))
    return StatusMeaning::online;
  if (one_of(status, language.cannot_take_part))
    return StatusMeaning::cannot_take_part;
  return StatusMeaning::unknown;
}

} // namespace

const std::vector<StatusWords> &known_status_words() { return languages; }

StatusMeaning status_meaning(const std::string &status) {
  for (const StatusWords &language : languages)
    if (meaning_in(language, status) != StatusMeaning::unknown)
      return meaning_in(language, status);
  return StatusMeaning::unknown;
}

bool written_in_code_page(const std::string &status, unsigned page) {
  return std::any_of(
      languages.begin(), languages.end(), [&](const StatusWords &language) {
        return language.console_page == page &&
               meaning_in(language, status) != StatusMeaning::unknown;
      });
}

const std::vector<unsigned> &console_code_pages() {
  static const std::vector<unsigned> pages = [] {
    std::vector<unsigned> each;
    for (const StatusWords &language : languages)
      if (std::find(each.begin(), each.end(), language.console_page) ==
          each.end())
        each.push_back(language.console_page);
    return each;
  }();
  return pages;
}

bool misread_word(const std::string &status, MisreadWord &misread) {
  for (const StatusWords &language : languages) {
    std::string bytes;
    std::string word;
    if (language.ansi_page != language.console_page &&
        text::code_page_from_utf8(status, language.ansi_page, bytes) &&
        text::utf8_from_code_page(bytes, language.console_page, word) &&
        word != status &&
        meaning_in(language, word) != StatusMeaning::unknown) {
      misread = {word, language.console_page, language.ansi_page};
      return true;
    }
  }
  return false;
}

} // namespace stand_ins
