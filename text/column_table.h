// A table as DiskPart prints one: a line of headers, a ruler of dashes, then
// a line for each row, each column two spaces after the one before it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace text {

struct TableColumn {
  const char *header;
  std::size_t width; // DiskPart's; wider where an entry needs it
  bool right_aligned;
};

// Every line ended, and without trailing spaces. Widths are counted in
// console columns, and headers stand at the left whatever the entries do.
std::string column_table(const std::vector<TableColumn> &columns,
                         const std::vector<std::vector<std::string>> &rows);

} // namespace text
