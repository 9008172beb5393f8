#include "disk_listing.h"

#include "ascii_case.h"
#include "capture_text.h"
#include "whole_number.h"

#include <algorithm>
#include <array>
#include <climits>

namespace stand_ins {
namespace {

struct Column {
  const char *header;
  std::size_t width; // DiskPart's usual width; wider where an entry needs it
  bool right_aligned;
};

constexpr Column columns[] = {{"Disk ###", 8, false}, {"Status", 13, false},
                              {"Size", 7, true},      {"Free", 7, true},
                              {"Dyn", 3, false},      {"Gpt", 3, false}};
constexpr std::size_t column_count = sizeof columns / sizeof columns[0];
using Row = std::array<std::string, column_count>;

std::size_t character_count(const std::string &text) {
  return character_starts(text).size() - 1;
}

std::string trimmed(const std::string &text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos)
    return "";
  return text.substr(start, text.find_last_not_of(' ') + 1 - start);
}

// Headers stand at the left of their columns, whatever the entries do.
std::string table_line(const Row &cells,
                       const std::array<std::size_t, column_count> &widths,
                       bool entries = true) {
  std::string line;
  for (std::size_t i = 0; i < column_count; ++i) {
    const std::string padding(widths[i] - character_count(cells[i]), ' ');
    line += "  " + (entries && columns[i].right_aligned ? padding + cells[i]
                                                        : cells[i] + padding);
  }
  line.erase(line.find_last_not_of(' ') + 1);
  return line + "\n";
}

// Where each run of dashes starts, if `line` holds only dashes and spaces.
std::vector<std::size_t> ruler_columns(const std::string &line) {
  std::vector<std::size_t> starts;
  if (line.find_first_not_of("- ") != std::string::npos)
    return starts;
  for (std::size_t i = 0; i < line.size(); ++i)
    if (line[i] == '-' && (i == 0 || line[i - 1] == ' '))
      starts.push_back(i);
  return starts;
}

// Each column's text runs from the start of its dashes to the start of the
// next column's, so that an entry a little wider than its dashes still
// belongs to it. The ruler's positions count characters, not bytes.
Row cells_of(const std::string &line, const std::vector<std::size_t> &starts) {
  const std::vector<std::size_t> characters = character_starts(line);
  const auto byte_at = [&characters](std::size_t character) {
    return characters[std::min(character, characters.size() - 1)];
  };
  Row cells;
  for (std::size_t i = 0; i < column_count; ++i) {
    const std::size_t from = byte_at(starts[i]);
    const std::size_t to =
        i + 1 < column_count ? byte_at(starts[i + 1]) : line.size();
    cells[i] = trimmed(line.substr(from, to - from));
  }
  return cells;
}

// The last word: "0" of "Disk 0", or "M0" for a missing disk; the words
// before it are DiskPart's, in the machine's language.
std::string read_disk_number(const std::string &cell, Disk &disk) {
  const std::string word = cell.substr(cell.find_last_of(' ') + 1);
  disk.missing = !word.empty() && word[0] == 'M';
  const WholeNumber read =
      read_whole_number(word.substr(disk.missing ? 1 : 0), disk.number);
  if (read == WholeNumber::malformed)
    return "no disk number in \"" + cell + "\"";
  if (read == WholeNumber::too_large)
    return "the disk number in \"" + cell + "\" is too large";
  return "";
}

// A whole number and a unit, such as "100 GB".
std::string read_size(const std::string &cell, const std::string &what,
                      unsigned long long &bytes) {
  const std::size_t digits_end = cell.find_first_not_of("0123456789");
  const std::string unit =
      digits_end == std::string::npos ? "" : trimmed(cell.substr(digits_end));
  const WholeNumber read = read_whole_number(cell.substr(0, digits_end), bytes);
  if (read == WholeNumber::malformed || unit.empty())
    return "the " + what + " \"" + cell +
           "\" is not a number and a unit, such as 100 GB";
  int power = 0;
  while (power < unit_count && !equal_ignoring_case(unit, size_units[power]))
    ++power;
  if (power == unit_count)
    return "the " + what + " \"" + cell + "\" has the unknown unit \"" + unit +
           "\" (LIST DISK's are B, KB, MB, GB and TB)";
  bool fits = read == WholeNumber::read;
  for (int i = 0; fits && i < power; ++i) {
    fits = bytes <= ULLONG_MAX / 1024;
    bytes *= 1024;
  }
  if (!fits)
    return "the " + what + " \"" + cell +
           "\" is more than the simulation can hold (under 16777216 TB)";
  return "";
}

std::string read_mark(const std::string &cell, const char *column,
                      bool &marked) {
  marked = cell == "*";
  if (marked || cell.empty())
    return "";
  return std::string("the ") + column + " column holds \"" + cell +
         "\", not * or nothing";
}

std::string read_row(const Row &cells, Disk &disk) {
  disk.status = cells[1];
  for (const std::string &problem :
       {read_disk_number(cells[0], disk),
        std::string(cells[1].empty() ? "no status" : ""),
        read_size(cells[2], "size", disk.size_bytes),
        read_size(cells[3], "free space", disk.free_bytes),
        read_mark(cells[4], columns[4].header, disk.dynamic),
        read_mark(cells[5], columns[5].header, disk.gpt)})
    if (!problem.empty())
      return problem;
  if (disk.free_bytes > disk.size_bytes)
    return "more free space than the disk's size";
  return "";
}

} // namespace

std::string disk_listing(const std::vector<Disk> &disks) {
  std::vector<Row> rows;
  Row header;
  std::array<std::size_t, column_count> widths;
  for (std::size_t i = 0; i < column_count; ++i) {
    header[i] = columns[i].header;
    widths[i] = columns[i].width;
  }
  for (const Disk &disk : disks) {
    rows.push_back({disk_name(disk), disk.status,
                    size_text(disk.size_bytes, bytes_unit),
                    size_text(disk.free_bytes, bytes_unit),
                    disk.dynamic ? "*" : "", disk.gpt ? "*" : ""});
    for (std::size_t i = 0; i < column_count; ++i)
      widths[i] = std::max(widths[i], character_count(rows.back()[i]));
  }
  Row ruler;
  for (std::size_t i = 0; i < column_count; ++i)
    ruler[i] = std::string(widths[i], '-');
  std::string table =
      table_line(header, widths, false) + table_line(ruler, widths);
  for (const Row &row : rows)
    table += table_line(row, widths);
  return table;
}

std::string read_disk_listing(const std::string &bytes,
                              std::vector<Disk> &disks) {
  std::vector<std::string> lines;
  if (!capture_lines(bytes, lines))
    return "ends in the middle of a UTF-16 character";
  std::size_t ruler = lines.size();
  while (ruler > 0 && ruler_columns(lines[ruler - 1]).size() != column_count)
    --ruler;
  if (ruler == 0)
    return "holds no LIST DISK table: no line of six runs of dashes, as "
           "under LIST DISK's header";
  const std::vector<std::size_t> starts = ruler_columns(lines[ruler - 1]);

  std::vector<Disk> listed;
  std::vector<std::size_t> listed_on;
  // The table ends at the first blank line, or with the text.
  for (std::size_t i = ruler;
       i < lines.size() && lines[i].find_first_not_of(' ') != std::string::npos;
       ++i) {
    const std::string line_number = std::to_string(i + 1);
    Disk disk{};
    const std::string problem = read_row(cells_of(lines[i], starts), disk);
    if (!problem.empty())
      return "line " + line_number + ": " + problem;
    for (std::size_t k = 0; k < listed.size(); ++k)
      if (listed[k].number == disk.number && listed[k].missing == disk.missing)
        return "line " + line_number + ": " + disk_name(disk) +
               " is listed twice, on line " + std::to_string(listed_on[k]) +
               " too";
    listed.push_back(disk);
    listed_on.push_back(i + 1);
  }
  disks = listed;
  return "";
}

} // namespace stand_ins
