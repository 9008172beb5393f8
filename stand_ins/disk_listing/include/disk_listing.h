// The table that LIST DISK prints. The simulated DiskPart prints its own
// disks in it, and reads the machine that it simulates from one saved on a
// real machine. This is all that the rest of the project sees of it.
#pragma once

#include <string>
#include <vector>

namespace stand_ins {

// One disk, as LIST DISK shows it.
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

// The status words of LIST DISK, by what they mean for a volume. A status
// is judged by its word, whatever language the table's header is in: some
// captures put one language's statuses under another's header.
enum class StatusMeaning {
  online,           // the disk can take part
  cannot_take_part, // offline, missing, no media, and the like
  unknown,          // a word the simulation does not know
};

StatusMeaning status_meaning(const std::string &status);

// The words that status_meaning knows, one entry for the DiskParts of each
// code page, from real captures and Microsoft's documentation in those
// languages: the code pages that their text goes through (a console's, and
// the ANSI page that Windows decodes it as where there is no console) and
// their words by meaning.
struct StatusWords {
  const char *languages;
  unsigned console_page;
  unsigned ansi_page;
  std::vector<const char *> online;
  std::vector<const char *> cannot_take_part;
};

const std::vector<StatusWords> &known_status_words();

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
