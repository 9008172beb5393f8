// The words of a saved LIST DISK, read in the capture's encoding. UTF-8 is
// read as it is. A console's code page, as cmd's > and PowerShell 7.4's >
// save DiskPart's output, is told by the words themselves: each word the
// simulation knows has one form in each code page that its language's
// DiskPart writes, and a capture holds one page.
#pragma once

#include <string>
#include <vector>

namespace stand_ins {

class CaptureWords {
public:
  explicit CaptureWords(bool utf8);

  bool utf8() const { return utf8_; }

  // The status `cell` as a known word, in UTF-8, in `word`. Empty on
  // success, else why not, showing nothing of it raw.
  std::string status(const std::string &cell, std::string &word);

  // The status `cell` of a volume as a known word, in UTF-8, in `word`.
  // LIST VOLUME's words are English DiskPart's. Empty on success, else why
  // not, showing nothing of it raw.
  std::string volume_status(const std::string &cell, std::string &word) const;

  // `cell`, a size's unit, in UTF-8 where it reads as one that `is_unit`
  // takes in a code page the capture may be in; else `cell` as it is.
  std::string unit(const std::string &cell,
                   bool (*is_unit)(const std::string &unit));

private:
  struct Reading {
    unsigned page;
    std::string text;
  };
  // How `cell` reads in each of `pages` where it is a word that `known`
  // takes there.
  template <typename Known>
  static std::vector<Reading> readings(const std::string &cell,
                                       const std::vector<unsigned> &pages,
                                       const Known &known);
  // Keeps the pages of `found`, where it reads as one word; false if not.
  bool settle(const std::vector<Reading> &found);

  bool utf8_;
  std::vector<unsigned> pages_; // those the capture may still be in
};

} // namespace stand_ins
