// The table that LIST DISK prints. The simulated DiskPart prints its own
// disks in it, and reads the machine that it simulates from one saved on a
// real machine.
#pragma once

#include "disk.h"

#include <string>
#include <vector>

namespace stand_ins {

// The table, every line ended: DiskPart's columns, each as wide as its
// widest entry needs, so that the table reads back as the same disks.
std::string disk_listing(const std::vector<Disk> &disks);

// Reads the disks of a saved LIST DISK into `disks`. The table is the last
// one in `bytes`, found by the ruler of dashes under its header; each column
// is read at its ruler's position, whatever its header says, and whatever
// is around the table is passed over. Empty on success, else why not: words
// to follow the file's name, begun with "line N: " where one line is at
// fault; `disks` is then left as it was.
std::string read_disk_listing(const std::string &bytes,
                              std::vector<Disk> &disks);

} // namespace stand_ins
