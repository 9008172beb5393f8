#include "column_table.h"

#include "text_width.h"

#include <algorithm>

namespace text {

namespace {

std::string table_line(const std::vector<std::string> &cells,
                       const std::vector<TableColumn> &columns,
                       const std::vector<std::size_t> &widths, bool entries) {
  std::string line;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const std::string padding(widths[i] - text_width(cells[i]), ' ');
    line += "  " + (entries && columns[i].right_aligned ? padding + cells[i]
                                                        : cells[i] + padding);
  }
  line.erase(line.find_last_not_of(' ') + 1);
  return line + "\n";
}

} // namespace

std::string column_table(const std::vector<TableColumn> &columns,
                         const std::vector<std::vector<std::string>> &rows) {
  std::vector<std::string> headers;
  std::vector<std::size_t> widths;
  for (const TableColumn &column : columns) {
    headers.push_back(column.header);
    widths.push_back(std::max(column.width, text_width(column.header)));
  }
  for (const std::vector<std::string> &row : rows)
    for (std::size_t i = 0; i < columns.size(); ++i)
      widths[i] = std::max(widths[i], text_width(row[i]));
  std::vector<std::string> ruler;
  for (const std::size_t width : widths)
    ruler.push_back(std::string(width, '-'));
  std::string table = table_line(headers, columns, widths, false) +
                      table_line(ruler, columns, widths, true);
  for (const std::vector<std::string> &row : rows)
    table += table_line(row, columns, widths, true);
  return table;
}

} // namespace text
