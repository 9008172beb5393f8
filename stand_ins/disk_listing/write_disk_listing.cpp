#include "column_table.h"
#include "disk_listing.h"
#include "disk_table.h"

namespace stand_ins {

std::string write_disk_listing(const std::vector<Disk> &disks) {
  static const std::vector<text::TableColumn> columns = {
      {"Disk ###", 8, false}, {"Status", 13, false}, {"Size", 7, true},
      {"Free", 7, true},      {"Dyn", 3, false},     {"Gpt", 3, false}};
  std::vector<std::vector<std::string>> rows;
  for (const Disk &disk : disks) {
    std::vector<std::string> row(disk_column_count);
    row[label_column] = disk_name(disk);
    row[status_column] = disk.status;
    row[size_column] = size_text(disk.size_bytes, SizeUnit::bytes);
    row[free_column] = size_text(disk.free_bytes, SizeUnit::bytes);
    row[dynamic_column] = disk.dynamic ? "*" : "";
    row[gpt_column] = disk.gpt ? "*" : "";
    rows.push_back(row);
  }
  return text::column_table(columns, rows);
}

} // namespace stand_ins
