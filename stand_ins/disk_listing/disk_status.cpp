#include "disk_listing.h"

#include "ascii_case.h"

namespace stand_ins {
namespace {

// The words seen in real captures: English, German, Spanish, French and
// Japanese DiskPart for a disk that is online; English for the others.
constexpr const char *online_words[] = {"Online", "En l\u00EDnea", "En ligne",
                                        "\u30AA\u30F3\u30E9\u30A4\u30F3"};
constexpr const char *refusal_words[] = {"Offline",         "Missing",
                                         "No Media",        "Foreign",
                                         "Not Initialized", "Unreadable"};

template <std::size_t count>
bool one_of(const std::string &status, const char *const (&words)[count]) {
  for (const char *word : words)
    if (text::equal_ignoring_case(status, word))
      return true;
  return false;
}

} // namespace

StatusMeaning status_meaning(const std::string &status) {
  if (one_of(status, online_words))
    return StatusMeaning::online;
  if (one_of(status, refusal_words))
    return StatusMeaning::cannot_take_part;
  return StatusMeaning::unknown;
}

} // namespace stand_ins
