// The tables that LIST DISK and LIST VOLUME print. The simulated DiskPart
// prints its own disks and volumes in them, and reads the machine that it
// simulates from ones saved on a real machine; a confirmation reads what a
// deploy made from them. This is all that the rest of the project sees of
// them.
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

// One volume, as LIST VOLUME shows it.
struct ListedVolume {
  unsigned long long number; // "Volume 3"
  std::string letter;        // "E", or empty
  std::string label;
  std::string file_system; // empty where it has none, as a new volume
  std::string type;        // such as RAID-5, Mirror or Partition
  unsigned long long size_bytes;
  std::string status; // such as Healthy, Rebuild or Failed Rd
  std::string info;   // such as Boot or System, or empty
};

bool operator==(const ListedVolume &a, const ListedVolume &b);

// The type that LIST VOLUME gives a RAID-5 volume.
constexpr char raid5_type[] = "RAID-5";

// The status words of LIST VOLUME, by what they say of a volume's health.
enum class VolumeHealth {
  healthy,    // Healthy
  rebuilding, // Rebuild: its parity is being built, as on a new RAID-5
  failing,    // Failed Rd (without redundancy) or Failed
  other,      // a status no RAID-5 volume shows, such as No Media
  unknown,    // a word the simulation does not know
};

VolumeHealth volume_health(const std::string &status);

// "Volume 3 (RAID-5, 3000 MB, Healthy)", as a reason names a volume.
std::string volume_said(const ListedVolume &volume);

// LIST VOLUME's table, every line ended, as write_disk_listing() writes
// LIST DISK's.
std::string write_volume_listing(const std::vector<ListedVolume> &volumes);

// Reads the volumes of a saved LIST VOLUME into `volumes`, as
// read_disk_listing() reads the disks of a LIST DISK, from the same capture
// text; an answer to LIST VOLUME without a table lists none. Empty on
// success, else why not.
std::string read_volume_listing(const std::string &bytes,
                                std::vector<ListedVolume> &volumes);

// Whether `bytes` hold a table printed in answer to LIST VOLUME, or, in a
// capture without DiskPart's prompts, a bare one.
bool holds_volume_listing(const std::string &bytes);

} // namespace stand_ins
