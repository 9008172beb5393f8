#include "volume_row.h"

#include "shown_text.h"
#include "table_row.h"
#include "whole_number.h"

namespace stand_ins {
namespace {

// LIST VOLUME's columns, in their order.
enum VolumeColumn : std::size_t {
  volume_number_column, // "Volume 3", in the machine's language
  volume_letter_column,
  volume_label_column,
  volume_file_system_column,
  volume_type_column,
  volume_size_column,
  volume_status_column,
  volume_info_column,
};

const RowColumns &volume_columns() {
  static const RowColumns columns = [] {
    RowColumns each;
    each.names = {"volume", "Ltr",  "label",  "Fs",
                  "type",   "size", "status", "Info"};
    each.right_aligned = {false, false, false, false,
                          false, true,  false, false};
    each.marks.assign(each.names.size(), false);
    each.required = {true, false, false, false, true, true, true, false};
    return each;
  }();
  return columns;
}

// The last word: "3" of "Volume 3"; the words before it are DiskPart's.
std::string read_volume_number(const std::string &cell, bool utf8,
                               ListedVolume &volume) {
  const std::string word = cell.substr(cell.find_last_of(' ') + 1);
  const text::WholeNumber read = text::read_whole_number(word, volume.number);
  if (read == text::WholeNumber::malformed)
    return "no volume number in " + quoted(cell, utf8);
  if (read == text::WholeNumber::too_large)
    return "the volume number in " + quoted(cell, utf8) + " is too large";
  return "";
}

std::string read_letter(const std::string &cell, bool utf8,
                        std::string &letter) {
  letter = cell;
  const bool is_letter =
      cell.size() == 1 && ((cell[0] >= 'A' && cell[0] <= 'Z') ||
                           (cell[0] >= 'a' && cell[0] <= 'z'));
  if (cell.empty() || is_letter)
    return "";
  return "the Ltr column holds " + quoted(cell, utf8) +
         ", not a drive letter or nothing";
}

} // namespace

std::string read_volume_row(const std::string &line,
                            const std::vector<RulerRun> &runs,
                            CaptureWords &words, ListedVolume &volume) {
  const bool utf8 = words.utf8();
  std::vector<std::string> cells;
  const std::string problem =
      row_cells(line, utf8, runs, volume_columns(), cells);
  if (!problem.empty())
    return problem;
  // A code page's text is kept shown, as the words it holds are not known.
  volume.label = text::shown(cells[volume_label_column], utf8);
  volume.file_system = text::shown(cells[volume_file_system_column], utf8);
  volume.type = text::shown(cells[volume_type_column], utf8);
  volume.info = text::shown(cells[volume_info_column], utf8);
  for (const std::string &reason :
       {read_volume_number(cells[volume_number_column], utf8, volume),
        read_letter(cells[volume_letter_column], utf8, volume.letter),
        read_size(cells[volume_size_column], words, "size", volume.size_bytes),
        words.volume_status(cells[volume_status_column], volume.status)})
    if (!reason.empty())
      return reason;
  return "";
}

} // namespace stand_ins
