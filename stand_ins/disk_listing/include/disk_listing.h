// The table that LIST DISK prints. The simulated DiskPart prints its own
// disks in it, and reads the machine that it simulates from one saved on a
// real machine.
#pragma once

#include "disk.h"

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

// The table, every line ended: DiskPart's columns, each as wide as its
// widest entry needs, so that the table reads back as the same disks.
std::string write_disk_listing(const std::vector<Disk> &disks);

// Reads the disks of a saved LIST DISK into `disks`: the last table printed
// in answer to LIST DISK, or, in a capture without DiskPart's prompts, the
// last table. Empty on success, else why not: words to follow the file's
// name, begun with "line N: " where one line is at fault, and showing
// nothing of the file raw; `disks` is then left as it was.
std::string read_disk_listing(const std::string &bytes,
                              std::vector<Disk> &disks);

} // namespace stand_ins
