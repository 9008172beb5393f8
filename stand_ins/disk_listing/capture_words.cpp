#include "capture_words.h"

#include "code_page.h"
#include "disk_listing.h"
#include "disk_status.h"
#include "shown_text.h"

#include <algorithm>

namespace stand_ins {
namespace {

bool is_ascii(const std::string &text) {
  return std::all_of(text.begin(), text.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x80;
  });
}

std::string quoted(const std::string &text, bool utf8) {
  return "\"" + text::shown(text, utf8) + "\"";
}

constexpr char add_the_word[] = "add the word to the simulation's statuses "
                                "(stand_ins/disk_listing/disk_status.cpp)";

} // namespace

CaptureWords::CaptureWords(bool utf8)
    : utf8_(utf8), pages_(console_code_pages()) {}

template <typename Known>
std::vector<CaptureWords::Reading>
CaptureWords::readings(const std::string &cell,
                       const std::vector<unsigned> &pages, const Known &known) {
  std::vector<Reading> found;
  for (const unsigned page : pages) {
    std::string text;
    if (text::utf8_from_code_page(cell, page, text) && known(text, page))
      found.push_back({page, text});
  }
  return found;
}

bool CaptureWords::settle(const std::vector<Reading> &found) {
  for (const Reading &reading : found)
    if (reading.text != found.front().text)
      return false;
  pages_.clear();
  for (const Reading &reading : found)
    pages_.push_back(reading.page);
  return true;
}

std::string CaptureWords::status(const std::string &cell, std::string &word) {
  const std::string said = "the status " + quoted(cell, utf8_);
  if (utf8_ || is_ascii(cell)) {
    word = cell;
    MisreadWord misread;
    if (status_meaning(cell) != StatusMeaning::unknown)
      return "";
    if (utf8_ && misread_word(cell, misread))
      return said + " is \"" + misread.word + "\" written in code page " +
             std::to_string(misread.written_in) + " and read as code page " +
             std::to_string(misread.read_as) +
             ", as a PowerShell remoting session reads DiskPart's output "
             "unless told the code page: collect the capture again as the "
             "fleet recipe of docs/rehearsing.md does, which tells it";
    return said +
           " is not one the simulation knows: capture LIST DISK again on an "
           "English DiskPart, or " +
           add_the_word;
  }
  const std::vector<Reading> found =
      readings(cell, pages_, written_in_code_page);
  if (!found.empty() && settle(found)) {
    word = found.front().text;
    return "";
  }
  if (found.size() > 1)
    return said + " reads as \"" + found[0].text + "\" in code page " +
           std::to_string(found[0].page) + " and as \"" + found[1].text +
           "\" in code page " + std::to_string(found[1].page) +
           ", so which it is cannot be told: save the capture as UTF-8";
  const std::vector<Reading> elsewhere =
      readings(cell, console_code_pages(), written_in_code_page);
  if (!elsewhere.empty())
    return said + " is \"" + elsewhere.front().text + "\" in code page " +
           std::to_string(elsewhere.front().page) +
           ", unlike the statuses before it: a capture holds one code page, "
           "so save each machine's to a file of its own";
  return said +
         " is in a code page (as cmd's > and PowerShell 7.4's > save "
         "DiskPart's output), and is no word the simulation knows in any "
         "code page that DiskPart writes: capture LIST DISK again with "
         "Windows PowerShell 5.1's >, which saves UTF-16, or " +
         add_the_word;
}

std::string CaptureWords::volume_status(const std::string &cell,
                                        std::string &word) const {
  word = cell;
  if ((utf8_ || is_ascii(cell)) && volume_health(cell) != VolumeHealth::unknown)
    return "";
  return "the status " + quoted(cell, utf8_) +
         " is not one the simulation knows of a volume: capture LIST VOLUME "
         "again on an English DiskPart, or add the word to the simulation's "
         "volume statuses (stand_ins/disk_listing/volume_status.cpp)";
}

std::string CaptureWords::unit(const std::string &cell,
                               bool (*is_unit)(const std::string &unit)) {
  if (utf8_ || is_ascii(cell))
    return cell;
  const std::vector<Reading> found =
      readings(cell, pages_, [is_unit](const std::string &text, unsigned) {
        return is_unit(text);
      });
  return !found.empty() && settle(found) ? found.front().text : cell;
}

} // namespace stand_ins
