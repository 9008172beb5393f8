#include "disk_row.h"

#include "ascii_case.h"
#include "console_width.h"
#include "control_character.h"
#include "shown_text.h"
#include "utf8.h"
#include "whole_number.h"

#include <algorithm>
#include <climits>

namespace stand_ins {
namespace {

// A stretch of the row's text: it ends where two spaces or the line do.
struct Entry {
  std::size_t start; // console columns
  std::size_t end;
  std::string text;
};

std::string quoted(const std::string &text, bool utf8) {
  return "\"" + text::shown(text, utf8) + "\"";
}

// The row's entries, placed by console column; in a code page's text, each
// byte is a column. Empty on success, else why the row cannot be read.
std::string entries_of(const std::string &line, bool utf8,
                       std::vector<Entry> &entries) {
  std::size_t column = 0;
  std::size_t spaces = 0;
  for (std::size_t i = 0; i < line.size();) {
    char32_t c = static_cast<unsigned char>(line[i]);
    const std::size_t length = utf8 ? text::utf8_sequence(line, i, c) : 1;
    if (utf8 ? text::is_control(c) : text::is_ascii_control(c))
      return "holds a control character, " +
             text::shown(line.substr(i, length)) + ", in the table";
    const int width = c < 0x80 || !utf8 ? 1 : text::console_width(c);
    if (width < 0)
      return "holds " + quoted(line.substr(i, length), utf8) +
             ", a character whose width on a console is not known";
    if (c == ' ') {
      ++spaces;
      ++column;
      ++i;
      continue;
    }
    if (entries.empty() || spaces >= 2)
      entries.push_back({column, column, ""});
    else
      entries.back().text += std::string(spaces, ' ');
    spaces = 0;
    entries.back().text.append(line, i, length);
    column += static_cast<std::size_t>(width);
    entries.back().end = column;
    i += length;
  }
  return "";
}

std::string layout(const std::string &why) {
  return "the table's layout is not one the simulation reads: " + why;
}

// Each column's entry, or why the row does not fit the ruler's columns.
std::string cells_of(const std::vector<Entry> &entries, bool utf8,
                     const std::vector<RulerRun> &runs,
                     std::vector<std::string> &cells) {
  std::size_t shift = 0;
  std::size_t next = 0;
  for (std::size_t k = 0; k < disk_column_count && next < entries.size(); ++k) {
    const Entry &entry = entries[next];
    if (k + 1 < disk_column_count && entry.start >= runs[k + 1].start + shift)
      continue;
    if (entry.end <= runs[k].start + shift)
      return layout(quoted(entry.text, utf8) + " stands left of its column");
    if (entry.end > runs[k].end + shift)
      shift = entry.end - runs[k].end;
    cells[k] = entry.text;
    ++next;
  }
  if (next < entries.size())
    return layout(quoted(entries[next].text, utf8) +
                  " stands right of the last column");
  static constexpr const char *needed[] = {"disk", "status", "size", "free"};
  for (std::size_t k = label_column; k <= free_column; ++k)
    if (cells[k].empty())
      return layout(std::string("no ") + needed[k] + " entry");
  return "";
}

// The last word: "0" of "Disk 0", or "M0" for a missing disk; the words
// before it are DiskPart's, in the machine's language.
std::string read_disk_number(const std::string &cell, bool utf8, Disk &disk) {
  const std::string word = cell.substr(cell.find_last_of(' ') + 1);
  disk.missing = !word.empty() && word[0] == 'M';
  const text::WholeNumber read =
      text::read_whole_number(word.substr(disk.missing ? 1 : 0), disk.number);
  if (read == text::WholeNumber::malformed)
    return "no disk number in " + quoted(cell, utf8);
  if (read == text::WholeNumber::too_large)
    return "the disk number in " + quoted(cell, utf8) + " is too large";
  return "";
}

std::string read_status(const std::string &cell, bool utf8, Disk &disk) {
  disk.status = cell;
  if (status_meaning(cell) != StatusMeaning::unknown)
    return "";
  // Its word may well be known: it is the encoding that is not.
  const bool past_ascii = std::any_of(cell.begin(), cell.end(), [](char c) {
    return static_cast<unsigned char>(c) >= 0x80;
  });
  if (!utf8 && past_ascii)
    return "the status " + quoted(cell, utf8) +
           " is in a code page, as cmd's > saves DiskPart's output, not in "
           "UTF-8 or UTF-16: capture LIST DISK again with PowerShell, or save "
           "the file as UTF-8";
  return "the status " + quoted(cell, utf8) +
         " is not one the simulation knows: capture LIST DISK again on an "
         "English DiskPart, or add the word to the simulation's statuses "
         "(stand_ins/disk_listing/disk_status.cpp)";
}

// French DiskPart writes its units out.
constexpr const char *french_unit_names[] = {"octets", "K octets", "M octets",
                                             "G octets", "T octets"};
static_assert(sizeof french_unit_names / sizeof *french_unit_names ==
              size_unit_count);

// A whole number and a unit, such as "100 GB" or "100 G octets".
std::string read_size(const std::string &cell, bool utf8, const char *what,
                      unsigned long long &bytes) {
  const std::string shown_cell =
      std::string("the ") + what + " " + quoted(cell, utf8);
  const std::size_t digits_end = cell.find_first_not_of("0123456789");
  const std::size_t unit_start = cell.find_first_not_of(' ', digits_end);
  const std::string unit =
      unit_start == std::string::npos ? "" : cell.substr(unit_start);
  const text::WholeNumber read =
      text::read_whole_number(cell.substr(0, digits_end), bytes);
  if (read == text::WholeNumber::malformed || unit.empty())
    return shown_cell + " is not a number and a unit, such as 100 GB";
  int power = 0;
  while (power < size_unit_count &&
         !text::equal_ignoring_case(unit, size_unit_names[power]) &&
         !text::equal_ignoring_case(unit, french_unit_names[power]))
    ++power;
  if (power == size_unit_count)
    return shown_cell + " has the unknown unit " + quoted(unit, utf8) +
           " (LIST DISK's are B, KB, MB, GB and TB, in French octets, "
           "K octets, M octets, G octets and T octets)";
  bool fits = read == text::WholeNumber::read;
  for (int i = 0; fits && i < power; ++i) {
    fits = bytes <= ULLONG_MAX / 1024;
    bytes *= 1024;
  }
  if (!fits)
    return shown_cell +
           " is more than the simulation can hold (under 16777216 TB)";
  return "";
}

std::string read_mark(const std::string &cell, bool utf8, const char *column,
                      bool &marked) {
  marked = cell == "*";
  if (marked || cell.empty())
    return "";
  return std::string("the ") + column + " column holds " + quoted(cell, utf8) +
         ", not * or nothing";
}

} // namespace

std::string read_disk_row(const std::string &line, bool utf8,
                          const std::vector<RulerRun> &runs, Disk &disk) {
  std::vector<Entry> entries;
  std::vector<std::string> cells(disk_column_count);
  std::string problem = entries_of(without_focus_mark(line), utf8, entries);
  if (problem.empty())
    problem = cells_of(entries, utf8, runs, cells);
  if (!problem.empty())
    return problem;
  for (const std::string &reason :
       {read_disk_number(cells[label_column], utf8, disk),
        read_status(cells[status_column], utf8, disk),
        read_size(cells[size_column], utf8, "size", disk.size_bytes),
        read_size(cells[free_column], utf8, "free space", disk.free_bytes),
        read_mark(cells[dynamic_column], utf8, "Dyn", disk.dynamic),
        read_mark(cells[gpt_column], utf8, "Gpt", disk.gpt)})
    if (!reason.empty())
      return reason;
  if (disk.free_bytes > disk.size_bytes)
    return "more free space than the disk's size";
  return "";
}

} // namespace stand_ins
