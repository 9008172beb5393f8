// One disk of the simulated machine, as LIST DISK shows it, and the sizes
// that it is measured in.
#pragma once

#include <string>

namespace stand_ins {

struct Disk {
  unsigned long long number; // "Disk 2"; a missing disk's is its own count
  bool missing;              // listed as "Disk M0": none of the disks named
  std::string status;        // as listed, such as Online or Offline
  unsigned long long size_bytes;
  unsigned long long free_bytes;
  bool dynamic;
  bool gpt;
};

bool operator==(const Disk &a, const Disk &b);

constexpr unsigned long long bytes_per_mb = 1024 * 1024;

// The units of LIST DISK's sizes, each 1024 times the one before, and
// their names as an English DiskPart writes them.
enum class SizeUnit { bytes, kilobytes, megabytes, gigabytes, terabytes };
constexpr const char *size_unit_names[] = {"B", "KB", "MB", "GB", "TB"};
constexpr int size_unit_count =
    sizeof size_unit_names / sizeof *size_unit_names;

// `number` of `unit`, shown in the largest unit that holds it exactly, so
// that what is shown reads back as the same size.
std::string size_text(unsigned long long number, SizeUnit unit);

// "Disk 2", or "Disk M0" for a missing one.
std::string disk_name(const Disk &disk);

} // namespace stand_ins
