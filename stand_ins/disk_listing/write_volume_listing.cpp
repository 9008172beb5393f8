#include "column_table.h"
#include "disk_listing.h"

namespace stand_ins {

std::string write_volume_listing(const std::vector<ListedVolume> &volumes) {
  static const std::vector<text::TableColumn> columns = {
      {"Volume ###", 10, false}, {"Ltr", 3, false},   {"Label", 11, false},
      {"Fs", 5, false},          {"Type", 10, false}, {"Size", 7, true},
      {"Status", 9, false},      {"Info", 8, false}};
  std::vector<std::vector<std::string>> rows;
  for (const ListedVolume &volume : volumes)
    rows.push_back({"Volume " + std::to_string(volume.number), volume.letter,
                    volume.label, volume.file_system, volume.type,
                    size_text(volume.size_bytes, SizeUnit::bytes),
                    volume.status, volume.info});
  return text::column_table(columns, rows);
}

} // namespace stand_ins
