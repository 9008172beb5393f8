// One row of a saved LIST VOLUME table, read as the console showed it.
#pragma once

#include "capture_words.h"
#include "disk_listing.h"
#include "disk_table.h"

#include <string>
#include <vector>

namespace stand_ins {

// Reads `line`, a row of the table whose ruler has `runs`, into `volume`,
// as read_disk_row() reads a disk's. Empty on success, else why not,
// showing nothing of it raw.
std::string read_volume_row(const std::string &line,
                            const std::vector<RulerRun> &runs,
                            CaptureWords &words, ListedVolume &volume);

} // namespace stand_ins
