#include "diskpart_session.h"

#include "ascii_case.h"
#include "raid_parameters.h"

#include <algorithm>

namespace stand_ins {
namespace {

std::vector<std::string> split_words(const std::string &line) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : line + ' ') {
    if (c != ' ' && c != '\t') {
      word += c;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  return words;
}

// NUL and the other control bytes other than tab never belong in a command.
bool holds_control_bytes(const std::string &line) {
  return std::any_of(line.begin(), line.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t') || byte == 0x7f;
  });
}

std::string right_aligned(const std::string &text, std::size_t width) {
  return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

std::string left_aligned(const std::string &text, std::size_t width) {
  return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

std::string megabytes(unsigned long long size) {
  return std::to_string(size) + " MB";
}

std::string disk_list(const std::vector<std::size_t> &disks) {
  std::string list;
  for (std::size_t i = 0; i < disks.size(); ++i)
    list += (i > 0 ? ", " : "") + std::to_string(disks[i]);
  return list;
}

} // namespace

DiskPartSession::DiskPartSession()
    : DiskPartSession({8192, 8192, 12288, 16384}) {}

DiskPartSession::DiskPartSession(
    const std::vector<unsigned long long> &disk_sizes_mb) {
  for (const unsigned long long size : disk_sizes_mb)
    disks_.push_back({size, size});
}

std::string DiskPartSession::banner() const {
  return "DiskPart stand-in: a simulation for rehearsals. No real disk is "
         "read or changed.\n\n" +
         disk_table() + "\n";
}

std::string DiskPartSession::run(const std::string &line) {
  if (holds_control_bytes(line))
    return fail("The line holds control characters or binary data and was "
                "not run.");
  const std::vector<std::string> words = split_words(line);
  if (words.empty() || equal_ignoring_case(words[0], "REM"))
    return "";
  const auto says = [&words](std::size_t i, const char *keyword) {
    return words.size() > i && equal_ignoring_case(words[i], keyword);
  };
  if (says(0, "EXIT")) {
    if (words.size() > 1)
      return fail("EXIT takes no parameters.");
    exited_ = true;
    return "Leaving DiskPart.\n";
  }
  if (says(0, "LIST")) {
    if (words.size() == 2 && says(1, "DISK"))
      return disk_table();
    if (words.size() == 2 && says(1, "VOLUME"))
      return volume_table();
    return fail("LIST takes DISK or VOLUME and nothing else.");
  }
  if (says(0, "CREATE")) {
    if (says(1, "VOLUME") && says(2, "RAID"))
      return create_raid_volume({words.begin() + 3, words.end()});
    return fail("This DiskPart can only CREATE VOLUME RAID.");
  }
  return fail("'" + words[0] +
              "' is not a command. Try CREATE VOLUME RAID, LIST DISK, LIST "
              "VOLUME, REM or EXIT.");
}

std::string DiskPartSession::refuse_long_line(std::size_t max_bytes) {
  return fail("The line is longer than " + std::to_string(max_bytes) +
              " bytes and was not run.");
}

std::string DiskPartSession::fail(const std::string &reason) {
  failed_ = true;
  return reason + "\n";
}

std::string DiskPartSession::create_raid_volume(
    const std::vector<std::string> &parameters) {
  RaidParameters wanted;
  const std::string problem = read_raid_parameters(parameters, wanted);
  if (!problem.empty())
    return fail(problem);
  // One disk's share of every stripe holds parity, so RAID-5 needs three.
  if (wanted.disks.size() < 3)
    return fail("A RAID-5 volume needs at least three disks, not " +
                std::to_string(wanted.disks.size()) + ".");
  for (const unsigned long long disk : wanted.disks)
    if (disk >= disks_.size())
      return fail("There is no disk " + std::to_string(disk) +
                  ". LIST DISK shows the disks there are.");

  const std::vector<std::size_t> chosen(wanted.disks.begin(),
                                        wanted.disks.end());
  // Without SIZE the volume takes all it can: the least free on any disk.
  unsigned long long size = wanted.size_mb;
  if (!wanted.size_given) {
    size = disks_[chosen[0]].free_mb;
    for (const std::size_t disk : chosen)
      size = std::min(size, disks_[disk].free_mb);
  }
  for (const std::size_t disk : chosen) {
    if (disks_[disk].free_mb == 0)
      return fail("Disk " + std::to_string(disk) + " has no free space left.");
    if (disks_[disk].free_mb < size)
      return fail("Disk " + std::to_string(disk) + " has only " +
                  megabytes(disks_[disk].free_mb) +
                  " free, less than SIZE=" + std::to_string(size) + ".");
  }

  for (const std::size_t disk : chosen)
    disks_[disk].free_mb -= size;
  volumes_.push_back({size, chosen});
  return "Created RAID-5 volume " + std::to_string(volumes_.size()) + " with " +
         std::to_string(size) + " MB on each of disks " + disk_list(chosen) +
         ".\n";
}

std::string DiskPartSession::disk_table() const {
  std::string table = "  Disk ###  Size        Free\n"
                      "  --------  ----------  ----------\n";
  for (std::size_t i = 0; i < disks_.size(); ++i)
    table += "  " + left_aligned("Disk " + std::to_string(i), 8) + "  " +
             right_aligned(megabytes(disks_[i].size_mb), 10) + "  " +
             right_aligned(megabytes(disks_[i].free_mb), 10) + "\n";
  return table;
}

std::string DiskPartSession::volume_table() const {
  if (volumes_.empty())
    return "There are no volumes.\n";
  std::string table =
      "  Volume ###  Type    Each disk   Usable      Disks\n"
      "  ----------  ------  ----------  ----------  ----------\n";
  for (std::size_t i = 0; i < volumes_.size(); ++i) {
    const Volume &volume = volumes_[i];
    const unsigned long long usable =
        volume.size_each_mb * (volume.disks.size() - 1);
    table += "  " + left_aligned("Volume " + std::to_string(i + 1), 10) +
             "  RAID-5  " + right_aligned(megabytes(volume.size_each_mb), 10) +
             "  " + right_aligned(megabytes(usable), 10) + "  " +
             disk_list(volume.disks) + "\n";
  }
  return table;
}

} // namespace stand_ins
