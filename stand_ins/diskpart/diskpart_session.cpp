#include "diskpart_session.h"

#include "ascii_case.h"
#include "control_character.h"
#include "raid_parameters.h"
#include "shown_text.h"
#include "words.h"

#include <algorithm>
#include <utility>

namespace stand_ins {
namespace {

// NUL and the other control bytes other than tab never belong in a command.
bool holds_control_bytes(const std::string &line) {
  return std::any_of(line.begin(), line.end(), [](char c) {
    return c != '\t' && text::is_ascii_control(static_cast<unsigned char>(c));
  });
}

std::string megabytes(unsigned long long size_mb) {
  return size_text(size_mb, SizeUnit::megabytes);
}

std::vector<Disk> made_up_disks() {
  std::vector<Disk> disks;
  for (const unsigned long long size_mb : {8192, 8192, 12288, 16384}) {
    const unsigned long long bytes = size_mb * bytes_per_mb;
    disks.push_back({disks.size(), false, "Online", bytes, bytes, true, false});
  }
  return disks;
}

// What keeps a disk out of the volume, one sentence a reason; empty if
// nothing does. Without SIZE, any whole megabyte free will do.
std::string obstacles(const Disk &disk, const RaidParameters &wanted) {
  const unsigned long long needed_mb = wanted.size_given ? wanted.size_mb : 1;
  const std::string name = disk_name(disk);
  const bool online = status_meaning(disk.status) == StatusMeaning::online;
  std::string reasons;
  if (!online)
    reasons += name + "'s status is " + disk.status +
               ": a RAID-5 volume takes only disks that are Online.\n";
  if (!disk.dynamic)
    reasons += name +
               " is a basic disk, and a RAID-5 volume takes dynamic disks "
               "only; convert it to dynamic first.\n";
  // An offline disk's free space is not known until it is online.
  if (!online || disk.free_bytes / bytes_per_mb >= needed_mb)
    return reasons;
  if (disk.free_bytes == 0)
    return reasons + name + " has no free space left.\n";
  const std::string has = name + " has only " +
                          size_text(disk.free_bytes, SizeUnit::bytes) +
                          " free, less than ";
  if (wanted.size_given)
    return reasons + has + "the " + megabytes(wanted.size_mb) +
           " that SIZE=" + std::to_string(wanted.size_mb) + " asks for.\n";
  return reasons + has + "the 1 MB that a volume takes at the least.\n";
}

} // namespace

DiskPartSession::DiskPartSession()
    : DiskPartSession(made_up_disks(),
                      "Its disks are made up, not those of a real machine.") {}

DiskPartSession::DiskPartSession(std::vector<Disk> disks, std::string origin,
                                 std::vector<ListedVolume> standing)
    : disks_(std::move(disks)), origin_(std::move(origin)),
      listed_(std::move(standing)) {
  for (const ListedVolume &volume : listed_)
    if (volume.type == raid5_type)
      raid5_before_.push_back(volume);
}

std::string DiskPartSession::banner() const {
  return "DiskPart stand-in: a simulation for rehearsals. No real disk is "
         "read or changed.\n" +
         origin_ + "\n\n" + write_disk_listing(disks_) + "\n";
}

std::string DiskPartSession::run(const std::string &line) {
  if (holds_control_bytes(line))
    return fail("The line holds control characters or binary data and was "
                "not run.");
  const std::vector<std::string> words = text::words_of(line);
  if (words.empty() || text::equal_ignoring_case(words[0], "REM"))
    return "";
  const auto says = [&words](std::size_t i, const char *keyword) {
    return words.size() > i && text::equal_ignoring_case(words[i], keyword);
  };
  if (says(0, "EXIT")) {
    if (words.size() > 1)
      return fail("EXIT takes no parameters.");
    exited_ = true;
    return "Leaving DiskPart.\n";
  }
  if (says(0, "LIST")) {
    if (words.size() == 2 && says(1, "DISK"))
      return write_disk_listing(disks_);
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

verdict_file::DiskPartVerdict DiskPartSession::verdict() const {
  using verdict_file::DiskPartVerdict;
  return !raid5_before_.empty() ? DiskPartVerdict::existing
         : any_command_failed() ? DiskPartVerdict::refused
         : volumes_.empty()     ? DiskPartVerdict::unchanged
                                : DiskPartVerdict::created;
}

std::vector<std::string> DiskPartSession::verdict_reasons() const {
  std::vector<std::string> reasons;
  for (const ListedVolume &volume : raid5_before_)
    reasons.push_back(text::shown(volume_said(volume)) +
                      " stands already: a RAID-5 volume made on this machine "
                      "would be its second.");
  reasons.insert(reasons.end(), refusals_.begin(), refusals_.end());
  return reasons;
}

std::string DiskPartSession::state_capture() const {
  return "DISKPART> list disk\n\n" + write_disk_listing(disks_) +
         "\nDISKPART> list volume\n\n" + volume_table() + "\n";
}

// Each line of `said` is kept, and answered, shown: a command's words that
// it repeats may hold any bytes.
std::string DiskPartSession::fail(const std::string &said) {
  std::string answer;
  for (std::size_t start = 0; start <= said.size();) {
    const std::size_t end = std::min(said.find('\n', start), said.size());
    refusals_.push_back(text::shown(said.substr(start, end - start)));
    answer += refusals_.back() + "\n";
    start = end + 1;
  }
  return answer;
}

std::size_t DiskPartSession::place_of(unsigned long long number) const {
  std::size_t place = 0;
  while (place < disks_.size() &&
         (disks_[place].missing || disks_[place].number != number))
    ++place;
  return place;
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

  // Every named disk is looked at, so that one answer names all that stands
  // in the way.
  std::vector<std::size_t> chosen;
  std::string reasons;
  for (const unsigned long long number : wanted.disks) {
    const std::size_t place = place_of(number);
    if (place == disks_.size()) {
      reasons += "There is no disk " + std::to_string(number) +
                 ". LIST DISK shows the disks there are.\n";
      continue;
    }
    chosen.push_back(place);
    reasons += obstacles(disks_[place], wanted);
  }
  if (!reasons.empty()) {
    reasons.pop_back();
    return fail(reasons);
  }
  // Without SIZE the volume takes all it can, in whole megabytes: the least
  // free on any of its disks.
  unsigned long long size_mb = wanted.size_mb;
  if (!wanted.size_given) {
    size_mb = disks_[chosen[0]].free_bytes / bytes_per_mb;
    for (const std::size_t place : chosen)
      size_mb = std::min(size_mb, disks_[place].free_bytes / bytes_per_mb);
  }

  for (const std::size_t place : chosen)
    disks_[place].free_bytes -= size_mb * bytes_per_mb;
  volumes_.push_back({size_mb, chosen});
  // DiskPart numbers volumes from 0. A new RAID-5 volume has no letter and
  // no file system yet, and builds its parity first: Rebuild.
  unsigned long long number = 0;
  for (const ListedVolume &volume : listed_)
    number = std::max(number, volume.number + 1);
  const unsigned long long usable_mb = size_mb * (chosen.size() - 1);
  listed_.push_back({number, "", "", "", raid5_type, usable_mb * bytes_per_mb,
                     "Rebuild", ""});
  return "DiskPart successfully created the volume.\n";
}

std::string DiskPartSession::volume_table() const {
  if (listed_.empty())
    return "There are no volumes.\n";
  return write_volume_listing(listed_);
}

} // namespace stand_ins
