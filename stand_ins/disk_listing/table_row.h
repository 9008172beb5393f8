// A row of a saved DiskPart table, read as the console showed it: its
// entries placed in the columns of the ruler under the table's header. LIST
// DISK's rows and LIST VOLUME's are read alike.
#pragma once

#include "capture_words.h"
#include "disk_table.h"

#include <cstddef>
#include <string>
#include <vector>

namespace stand_ins {

// What the row reader needs to know of a table's columns, in their order.
struct RowColumns {
  std::vector<const char *> names; // as a reason names each
  std::vector<bool> right_aligned; // DiskPart sets sizes at the right edge
  std::vector<bool> marks;         // a mark must stand within its run
  std::vector<bool> required;      // DiskPart never leaves it empty
};

// The cells of `line`, a row of the table whose ruler has `runs`, one a
// column; a code page's text (`utf8` false) counts a column a byte. Each
// entry belongs to the column it reaches into: one that runs past its
// column's end moves the columns after it as far, as DiskPart's rows do
// where the ruler is shorter than they are. Empty on success, else why not,
// showing nothing of it raw.
std::string row_cells(const std::string &line, bool utf8,
                      const std::vector<RulerRun> &runs,
                      const RowColumns &columns,
                      std::vector<std::string> &cells);

// `text` in quotes, showing nothing of it raw.
std::string quoted(const std::string &text, bool utf8);

// A whole number and a unit, such as "100 GB" or "100 G octets", in bytes
// in `bytes`; `what` names the cell in a reason. Empty on success, else why
// not.
std::string read_size(const std::string &cell, CaptureWords &words,
                      const char *what, unsigned long long &bytes);

} // namespace stand_ins
