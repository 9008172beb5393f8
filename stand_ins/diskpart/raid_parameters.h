// The parameters of CREATE VOLUME RAID as written: SIZE=n and DISK=list, in
// any order, each at most once, names in any case.
#pragma once

#include <string>
#include <vector>

namespace stand_ins {

struct RaidParameters {
  bool size_given = false;
  unsigned long long size_mb = 0;        // at least 1 when given
  std::vector<unsigned long long> disks; // each named once, in the given order
};

// Reads `words` into `parameters`. Empty on success, else why not, as one
// sentence without a line end. Whether the disks exist is not looked at.
std::string read_raid_parameters(const std::vector<std::string> &words,
                                 RaidParameters &parameters);

} // namespace stand_ins
