// The simulated DiskPart: a machine of a few disks and the commands that
// change it. Takes one command line and gives back the answer; it reads and
// writes nothing itself.
#pragma once

#include "disk_listing.h"
#include "verdict_file.h"

#include <cstddef>
#include <string>
#include <vector>

namespace stand_ins {

struct Volume {
  unsigned long long size_each_mb; // taken on each of its disks
  std::vector<std::size_t> disks;  // places in disks(), in the order named
};

class DiskPartSession {
public:
  // Four made-up disks, online and dynamic, all free: 8192, 8192, 12288 and
  // 16384 MB.
  DiskPartSession();
  // The given disks, and the volumes already on them; `origin` says where
  // they come from, in a sentence of the banner.
  DiskPartSession(std::vector<Disk> disks, std::string origin,
                  std::vector<ListedVolume> standing = {});

  // What the tool says when it starts.
  std::string banner() const;

  // Carries out one command line, given without its line end; the answer,
  // every line of it ended, empty for blank lines and comments.
  std::string run(const std::string &line);

  // The answer to a line that the reader cut off at `max_bytes`.
  std::string refuse_long_line(std::size_t max_bytes);

  bool has_exited() const { return exited_; }
  bool any_command_failed() const { return !refusals_.empty(); }
  // Every line that a failed command answered, in order.
  const std::vector<std::string> &refusals() const { return refusals_; }
  const std::vector<Disk> &disks() const { return disks_; }
  const std::vector<Volume> &volumes() const { return volumes_; }
  // How the session has gone so far: once it ends, its verdict.
  verdict_file::DiskPartVerdict verdict() const;
  // Why: each RAID-5 volume that stood before the session, then the
  // refusals.
  std::vector<std::string> verdict_reasons() const;
  // LIST DISK's and LIST VOLUME's answers as they stand now, each after its
  // prompt, as a capture collected from a real machine holds them.
  std::string state_capture() const;

private:
  std::string fail(const std::string &said);
  std::size_t place_of(unsigned long long number) const;
  std::string create_raid_volume(const std::vector<std::string> &parameters);
  std::string volume_table() const;

  std::vector<Disk> disks_;
  std::string origin_;
  std::vector<Volume> volumes_;            // those the session made
  std::vector<ListedVolume> listed_;       // as LIST VOLUME shows them, all
  std::vector<ListedVolume> raid5_before_; // RAID-5 volumes already there
  bool exited_ = false;
  std::vector<std::string> refusals_;
};

} // namespace stand_ins
