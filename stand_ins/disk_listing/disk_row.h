// One row of a saved LIST DISK table, read as the console showed it.
#pragma once

#include "capture_words.h"
#include "disk_listing.h"
#include "disk_table.h"

#include <string>
#include <vector>

namespace stand_ins {

// Reads `line`, a row of the table whose ruler has `runs`, into `disk`;
// `words` reads the capture's words in its encoding. Each entry belongs to the
// column it reaches into: one that runs past its column's end moves the columns
// after it as far, as DiskPart's rows do where the ruler is shorter than
// they are. Empty on success, else why not, showing nothing of it raw.
std::string read_disk_row(const std::string &line,
                          const std::vector<RulerRun> &runs,
                          CaptureWords &words, Disk &disk);

} // namespace stand_ins
