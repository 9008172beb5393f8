#include "disk_row.h"

#include "table_row.h"
#include "whole_number.h"

namespace stand_ins {
namespace {

const RowColumns &disk_columns() {
  static const RowColumns columns = [] {
    RowColumns each;
    each.names = {"disk", "status", "size", "free", "Dyn", "Gpt"};
    each.right_aligned = {false, false, true, true, false, false};
    each.marks = {false, false, false, false, true, true};
    each.required = {true, true, true, true, false, false};
    return each;
  }();
  return columns;
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

std::string read_mark(const std::string &cell, bool utf8, const char *column,
                      bool &marked) {
  marked = cell == "*";
  if (marked || cell.empty())
    return "";
  return std::string("the ") + column + " column holds " + quoted(cell, utf8) +
         ", not * or nothing";
}

} // namespace

std::string read_disk_row(const std::string &line,
                          const std::vector<RulerRun> &runs,
                          CaptureWords &words, Disk &disk) {
  const bool utf8 = words.utf8();
  std::vector<std::string> cells;
  const std::string problem =
      row_cells(line, utf8, runs, disk_columns(), cells);
  if (!problem.empty())
    return problem;
  for (const std::string &reason :
       {read_disk_number(cells[label_column], utf8, disk),
        words.status(cells[status_column], disk.status),
        read_size(cells[size_column], words, "size", disk.size_bytes),
        read_size(cells[free_column], words, "free space", disk.free_bytes),
        read_mark(cells[dynamic_column], utf8, "Dyn", disk.dynamic),
        read_mark(cells[gpt_column], utf8, "Gpt", disk.gpt)})
    if (!reason.empty())
      return reason;
  if (disk.free_bytes > disk.size_bytes)
    return "more free space than the disk's size";
  return "";
}

} // namespace stand_ins
