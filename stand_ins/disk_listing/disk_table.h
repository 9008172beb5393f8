// A LIST command's table among the lines of a saved capture: LIST DISK's
// columns, a table's ruler, and where it lies: the last one that DiskPart
// printed in answer to the command.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace stand_ins {

// LIST DISK's columns, in their order.
enum DiskColumn : std::size_t {
  label_column, // "Disk 0", in the machine's language
  status_column,
  size_column,
  free_column,
  dynamic_column, // "*" for a dynamic disk
  gpt_column,     // "*" for a GPT disk
  disk_column_count
};

struct RulerRun {
  std::size_t start; // the console column of its first dash
  std::size_t end;   // the column after its last
};

// The runs of dashes of `line`, if it holds nothing but dashes and spaces.
std::vector<RulerRun> ruler_runs(const std::string &line);

// `line` without the mark "* " that DiskPart puts before the selected disk.
std::string without_focus_mark(const std::string &line);

struct TablePlace {
  std::size_t ruler; // the line of the ruler under the header
  std::size_t end;   // the line after the last row
};

// What a LIST command prints: LIST DISK's table, or LIST VOLUME's.
struct Listing {
  const char *object;       // "DISK", as the command names it
  std::size_t columns;      // the ruler's runs of dashes
  const char *columns_said; // "six"
  const char *other_table;  // a command whose answer holds such a table too
};
extern const Listing disk_listing, volume_listing;

// Finds `listing`'s table among `lines`. A line belongs to it if it is
// neither blank nor a prompt and holds nothing left of the ruler's first
// run, but for the focus mark; the first line that does not ends it (in a
// copy with a line of spaces after each line, each other line). Where the
// command's last answer holds no table, `table` is empty, its ruler and end
// the answer's prompt. Empty on success, else why not, as
// read_disk_listing() says it.
std::string find_table(const std::vector<std::string> &lines,
                       const Listing &listing, TablePlace &table);

} // namespace stand_ins
