#include "table_row.h"

#include "ascii_case.h"
#include "console_width.h"
#include "control_character.h"
#include "disk_listing.h"
#include "shown_text.h"
#include "utf8.h"
#include "whole_number.h"

#include <climits>

namespace stand_ins {
namespace {

// A stretch of the row's text: it ends where two spaces or the line do.
struct Entry {
  std::size_t start; // console columns
  std::size_t end;
  std::string text;
};

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
// Entries within one column are one cell ("0  B"). The row's columns stand
// where the ruler's do, moved by `shift`: right as far as an entry runs past
// its column, as DiskPart's rows do where the ruler is shorter than they
// are; and, once a size is read, as far as it ends from its column's right
// edge, as Chinese and Korean DiskPart pad by characters, not columns.
std::string cells_of(const std::vector<Entry> &entries, bool utf8,
                     const std::vector<RulerRun> &runs,
                     const RowColumns &columns,
                     std::vector<std::string> &cells) {
  const std::size_t count = columns.names.size();
  const auto at = [](std::size_t column) { return static_cast<long>(column); };
  long shift = 0;
  const auto start = [&](std::size_t k) { return at(runs[k].start) + shift; };
  const auto end = [&](std::size_t k) { return at(runs[k].end) + shift; };
  std::size_t k = 0;
  long cell_end = -1; // where column k's cell ends; -1 while it has none
  for (const Entry &entry : entries) {
    if (cell_end >= 0 && at(entry.end) <= end(k)) {
      cells[k] +=
          std::string(entry.start - static_cast<std::size_t>(cell_end), ' ') +
          entry.text;
      cell_end = at(entry.end);
      continue;
    }
    if (cell_end >= 0) {
      if (columns.right_aligned[k] || cell_end > end(k))
        shift = cell_end - at(runs[k].end);
      ++k;
      cell_end = -1;
    }
    while (k + 1 < count && at(entry.start) >= start(k + 1))
      ++k;
    const std::string said = quoted(entry.text, utf8);
    if (k == count)
      return layout(said + " stands right of the last column");
    // The rows' margin keeps every entry right of the first column's start.
    if (at(entry.end) <= start(k))
      return layout(said + " stands between the " + columns.names[k - 1] +
                    " and " + columns.names[k] + " columns");
    if (columns.marks[k] &&
        (at(entry.start) < start(k) || at(entry.end) > end(k)))
      return layout(said + " stands beside the " + columns.names[k] +
                    " column, not within it, so which column it marks cannot "
                    "be told");
    cells[k] = entry.text;
    cell_end = at(entry.end);
  }
  for (std::size_t c = 0; c < count; ++c)
    if (columns.required[c] && cells[c].empty())
      return layout(std::string("no ") + columns.names[c] + " entry");
  return "";
}

// DiskPart's units as other languages' DiskPart writes them: French writes
// them out; Russian in Cyrillic, or with a Latin K and G.
constexpr struct {
  const char *name;
  int power;
} other_unit_names[] = {
    {"octets", 0},
    {"K octets", 1},
    {"M octets", 2},
    {"G octets", 3},
    {"T octets", 4},
    {"\u0431\u0430\u0439\u0442", 0},       // байт
    {"\u041A\u0431\u0430\u0439\u0442", 1}, // Кбайт
    {"K\u0431\u0430\u0439\u0442", 1},      // Kбайт
    {"\u041C\u0431\u0430\u0439\u0442", 2}, // Мбайт
    {"\u0413\u0431\u0430\u0439\u0442", 3}, // Гбайт
    {"G\u0431\u0430\u0439\u0442", 3},      // Gбайт
    {"\u0422\u0431\u0430\u0439\u0442", 4}, // Тбайт
};

// The power of 1024 that `unit` stands for; size_unit_count if none.
int unit_power(const std::string &unit) {
  for (int power = 0; power < size_unit_count; ++power)
    if (text::equal_ignoring_case(unit, size_unit_names[power]))
      return power;
  for (const auto &other : other_unit_names)
    if (text::equal_ignoring_case(unit, other.name))
      return other.power;
  return size_unit_count;
}

bool is_unit(const std::string &unit) {
  return unit_power(unit) != size_unit_count;
}

} // namespace

std::string row_cells(const std::string &line, bool utf8,
                      const std::vector<RulerRun> &runs,
                      const RowColumns &columns,
                      std::vector<std::string> &cells) {
  std::vector<Entry> entries;
  cells.assign(columns.names.size(), "");
  std::string problem = entries_of(without_focus_mark(line), utf8, entries);
  if (problem.empty())
    problem = cells_of(entries, utf8, runs, columns, cells);
  return problem;
}

std::string quoted(const std::string &text, bool utf8) {
  return "\"" + text::shown(text, utf8) + "\"";
}

// A whole number and a unit, such as "100 GB" or "100 G octets".
std::string read_size(const std::string &cell, CaptureWords &words,
                      const char *what, unsigned long long &bytes) {
  const bool utf8 = words.utf8();
  const std::string shown_cell =
      std::string("the ") + what + " " + quoted(cell, utf8);
  const std::size_t digits_end = cell.find_first_not_of("0123456789");
  const std::size_t unit_start = cell.find_first_not_of(' ', digits_end);
  const std::string unit = unit_start == std::string::npos
                               ? ""
                               : words.unit(cell.substr(unit_start), is_unit);
  const text::WholeNumber read =
      text::read_whole_number(cell.substr(0, digits_end), bytes);
  if (read == text::WholeNumber::malformed || unit.empty())
    return shown_cell + " is not a number and a unit, such as 100 GB";
  const int power = unit_power(unit);
  if (power == size_unit_count)
    return shown_cell + " has the unknown unit " + quoted(unit, utf8) +
           " (LIST DISK's are B, KB, MB, GB and TB, in French octets, "
           "K octets, M octets, G octets and T octets, in Russian "
           "\u0431\u0430\u0439\u0442, \u041A\u0431\u0430\u0439\u0442 "
           "and the like)";
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

} // namespace stand_ins
