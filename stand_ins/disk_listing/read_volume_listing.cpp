#include "capture_text.h"
#include "disk_listing.h"
#include "disk_table.h"
#include "volume_row.h"

namespace stand_ins {

std::string read_volume_listing(const std::string &bytes,
                                std::vector<ListedVolume> &volumes) {
  CaptureText text;
  TablePlace table;
  std::string problem = read_capture_text(bytes, text);
  if (problem.empty())
    problem = find_table(text.lines, volume_listing, table);
  if (!problem.empty())
    return problem;
  // DiskPart answers "There are no volumes." where there are none.
  if (table.end == table.ruler) {
    volumes.clear();
    return "";
  }
  if (table.end == table.ruler + 1)
    return "line " + std::to_string(table.ruler + 1) +
           ": the LIST VOLUME table lists no volumes, which DiskPart never "
           "prints: a capture cut short?";

  std::vector<ListedVolume> listed;
  std::vector<std::size_t> lines;
  const std::vector<RulerRun> runs = ruler_runs(text.lines[table.ruler]);
  CaptureWords words(text.utf8);
  for (std::size_t i = table.ruler + 1; i < table.end; ++i) {
    if (text.lines[i].find_first_not_of(' ') == std::string::npos)
      continue; // the line of spaces after a row, in some copies
    const std::string line_number = "line " + std::to_string(i + 1) + ": ";
    ListedVolume volume{};
    problem = read_volume_row(text.lines[i], runs, words, volume);
    if (!problem.empty())
      return line_number + problem;
    for (std::size_t k = 0; k < listed.size(); ++k)
      if (listed[k].number == volume.number)
        return line_number + "Volume " + std::to_string(volume.number) +
               " is listed twice, on line " + std::to_string(lines[k]) + " too";
    listed.push_back(volume);
    lines.push_back(i + 1);
  }
  volumes = listed;
  return "";
}

bool holds_volume_listing(const std::string &bytes) {
  CaptureText text;
  TablePlace table;
  return read_capture_text(bytes, text).empty() &&
         find_table(text.lines, volume_listing, table).empty();
}

} // namespace stand_ins
