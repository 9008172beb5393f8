#include "disk_status.h"
#include "disk_listing.h"

#include "ascii_case.h"
#include "code_page.h"

#include <algorithm>
#include <vector>

namespace stand_ins {
namespace {

// Each language's words, from real captures and Microsoft's documentation
// in that language, and the code pages its DiskPart's text goes through: a
// console's, and the ANSI page that Windows decodes it as where there is no
// console.
struct Language {
  unsigned console_page;
  unsigned ansi_page;
  std::vector<const char *> online;
  std::vector<const char *> cannot_take_part;
};

const Language languages[] = {
    // English
    {437,
     1252,
     {"Online"},
     {"Offline", "Missing", "No Media", "Foreign", "Not Initialized",
      "Unreadable"}},
    // German, Spanish, French, Portuguese
    {850, 1252, {"Online", "En l\u00EDnea", "En ligne"}, {}},
    // Japanese
    {932, 932, {"\u30AA\u30F3\u30E9\u30A4\u30F3"}, {}},
    // Chinese (Simplified): 联机; 脱机, 丢失
    {936, 936, {"\u8054\u673A"}, {"\u8131\u673A", "\u4E22\u5931"}},
    // Chinese (Traditional): 連線; 離線, 遺失
    {950, 950, {"\u9023\u7DDA"}, {"\u96E2\u7DDA", "\u907A\u5931"}},
    // Korean: 온라인; 오프라인, 누락됨
    {949,
     949,
     {"\uC628\uB77C\uC778"},
     {"\uC624\uD504\uB77C\uC778", "\uB204\uB77D\uB428"}},
    // Russian: В сети; Вне сети
    {866,
     1251,
     {"\u0412 \u0441\u0435\u0442\u0438"},
     {"\u0412\u043D\u0435 \u0441\u0435\u0442\u0438"}},
};

bool one_of(const std::string &status, const std::vector<const char *> &words) {
  return std::any_of(words.begin(), words.end(), [&status](const char *word) {
    return text::equal_ignoring_case(status, word);
  });
}

StatusMeaning meaning_in(const Language &language, const std::string &status) {
  if (one_of(status, language.online))
    return StatusMeaning::online;
  if (one_of(status, language.cannot_take_part))
    return StatusMeaning::cannot_take_part;
  return StatusMeaning::unknown;
}

} // namespace

StatusMeaning status_meaning(const std::string &status) {
  for (const Language &language : languages)
    if (meaning_in(language, status) != StatusMeaning::unknown)
      return meaning_in(language, status);
  return StatusMeaning::unknown;
}

bool written_in_code_page(const std::string &status, unsigned page) {
  return std::any_of(std::begin(languages), std::end(languages),
                     [&](const Language &language) {
                       return language.console_page == page &&
                              meaning_in(language, status) !=
                                  StatusMeaning::unknown;
                     });
}

const std::vector<unsigned> &console_code_pages() {
  static const std::vector<unsigned> pages = [] {
    std::vector<unsigned> each;
    for (const Language &language : languages)
      if (std::find(each.begin(), each.end(), language.console_page) ==
          each.end())
        each.push_back(language.console_page);
    return each;
  }();
  return pages;
}

bool misread_word(const std::string &status, MisreadWord &misread) {
  for (const Language &language : languages) {
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
