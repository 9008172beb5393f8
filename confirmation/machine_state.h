// What a deploy made on one machine, read from the LIST VOLUME captured
// after it, and from the one captured before it where there is one.
#pragma once

#include "disk_listing.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace confirmation {

// In order of seriousness. `scripts/confirm --help` says what each means.
enum class State { made, degraded, missing, unusable };

std::string_view state_word(State state);

// The exit status of the most serious state among the machines: missing
// and degraded both call for a look at the machine.
int exit_status(State state);

// The RAID-5 volume that a program asks for: its usable size, 0 for any.
struct WantedVolume {
  std::string program;
  unsigned long long usable_mb; // 0: any size will do
  std::string said;             // how its size comes about, for a reason
};

// What `create_volume_line` asks of DiskPart, for `program`: SIZE on each
// of its disks but one (the parity's share), or any size without SIZE.
WantedVolume wanted_by(const std::string &program,
                       const std::string &create_volume_line);

// How far from the wanted size a volume may be and still be it, in bytes,
// for a volume listed at `listed_bytes`: one part in a hundred, for the
// volume's alignment on its disks, and a unit of the listing's rounding.
unsigned long long size_allowance(const WantedVolume &wanted,
                                  unsigned long long listed_bytes);

struct MachineState {
  State state = State::unusable;
  std::vector<std::string> reasons;
  std::optional<stand_ins::ListedVolume> volume; // the one the state is of
};

// Judges the capture `after`, and `before` where given (nullptr: none).
// Reasons from a capture name it where the two could be told apart by it.
MachineState state_of(const WantedVolume &wanted, const std::string &after,
                      const std::string *before);

} // namespace confirmation
