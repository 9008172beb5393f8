#include "capture_text.h"
#include "disk_listing.h"
#include "disk_row.h"
#include "disk_table.h"

namespace stand_ins {

std::string read_disk_listing(const std::string &bytes,
                              std::vector<Disk> &disks) {
  CaptureText text;
  TablePlace table;
  std::string problem = read_capture_text(bytes, text);
  if (problem.empty())
    problem = find_table(text.lines, disk_listing, table);
  if (!problem.empty())
    return problem;
  if (table.end == table.ruler)
    return "line " + std::to_string(table.ruler + 1) +
           ": LIST DISK's answer holds no table, so the capture describes "
           "no disks";
  if (table.end == table.ruler + 1)
    return "line " + std::to_string(table.ruler + 1) +
           ": the LIST DISK table lists no disks, which DiskPart never "
           "prints: a capture cut short?";

  struct Listed {
    Disk disk;
    std::size_t line;
  };
  std::vector<Listed> listed;
  const std::vector<RulerRun> runs = ruler_runs(text.lines[table.ruler]);
  CaptureWords words(text.utf8);
  for (std::size_t i = table.ruler + 1; i < table.end; ++i) {
    if (text.lines[i].find_first_not_of(' ') == std::string::npos)
      continue; // the line of spaces after a row, in some copies
    const std::string line_number = "line " + std::to_string(i + 1) + ": ";
    Disk disk{};
    problem = read_disk_row(text.lines[i], runs, words, disk);
    if (!problem.empty())
      return line_number + problem;
    for (const Listed &other : listed)
      if (other.disk.number == disk.number &&
          other.disk.missing == disk.missing)
        return line_number + disk_name(disk) + " is listed twice, on line " +
               std::to_string(other.line) + " too";
    listed.push_back({disk, i + 1});
  }
  disks.clear();
  for (const Listed &entry : listed)
    disks.push_back(entry.disk);
  return "";
}

} // namespace stand_ins
