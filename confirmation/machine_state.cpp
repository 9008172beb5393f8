#include "machine_state.h"

#include "raid_parameters.h"
#include "words.h"

#include <algorithm>

namespace confirmation {
namespace {

using stand_ins::ListedVolume;
using stand_ins::VolumeHealth;

constexpr unsigned long long mb = stand_ins::bytes_per_mb;

// The unit that LIST VOLUME showed a size in: the largest power of 1024 up
// to TB that divides it.
unsigned long long listed_unit(unsigned long long bytes) {
  unsigned long long unit = 1;
  for (int power = 1; power < stand_ins::size_unit_count && bytes != 0 &&
                      bytes % (unit * 1024) == 0;
       ++power)
    unit *= 1024;
  return unit;
}

bool is_wanted(const WantedVolume &wanted, const ListedVolume &volume) {
  if (volume.type != stand_ins::raid5_type)
    return false;
  if (wanted.usable_mb == 0)
    return true;
  const unsigned long long target = wanted.usable_mb * mb;
  const unsigned long long distance = volume.size_bytes > target
                                          ? volume.size_bytes - target
                                          : target - volume.size_bytes;
  return distance <= size_allowance(wanted, volume.size_bytes);
}

// The RAID-5 volumes of `after` that the program may have made: of the
// wanted size, less one for each such volume that stood before.
std::vector<ListedVolume> made_by_deploy(const WantedVolume &wanted,
                                         const std::vector<ListedVolume> &after,
                                         std::vector<ListedVolume> before,
                                         std::vector<std::string> &reasons) {
  std::vector<ListedVolume> made;
  for (const ListedVolume &volume : after) {
    if (!is_wanted(wanted, volume))
      continue;
    const auto stood = std::find_if(
        before.begin(), before.end(), [&](const ListedVolume &old) {
          return old.type == volume.type && old.size_bytes == volume.size_bytes;
        });
    if (stood == before.end()) {
      made.push_back(volume);
      continue;
    }
    reasons.push_back(stand_ins::volume_said(volume) +
                      " stood before the deploy, so this deploy did not make "
                      "it");
    before.erase(stood);
  }
  return made;
}

MachineState unusable(const std::string &why) {
  return {State::unusable, {why}, std::nullopt};
}

} // namespace

std::string_view state_word(State state) {
  constexpr std::string_view words[] = {"made", "degraded", "missing",
                                        "unusable"};
  return words[static_cast<int>(state)];
}

int exit_status(State state) {
  switch (state) {
  case State::made:
    return 0;
  case State::degraded:
  case State::missing:
    return 1;
  case State::unusable:
    break;
  }
  return 2;
}

WantedVolume wanted_by(const std::string &program,
                       const std::string &create_volume_line) {
  const std::vector<std::string> words = text::words_of(create_volume_line);
  stand_ins::RaidParameters parameters;
  // CREATE VOLUME RAID, then its parameters: the product's own line.
  stand_ins::read_raid_parameters({words.begin() + 3, words.end()}, parameters);
  if (!parameters.size_given)
    return {program, 0, "any size, as " + program + " takes all it can"};
  const unsigned long long disks = parameters.disks.size();
  const unsigned long long usable = parameters.size_mb * (disks - 1);
  return {program, usable,
          std::to_string(usable) + " MB, " +
              std::to_string(parameters.size_mb) + " MB on each of " +
              std::to_string(disks) + " disks less one disk's share of parity"};
}

unsigned long long size_allowance(const WantedVolume &wanted,
                                  unsigned long long listed_bytes) {
  return wanted.usable_mb * mb / 100 + listed_unit(listed_bytes);
}

MachineState state_of(const WantedVolume &wanted, const std::string &after,
                      const std::string *before) {
  std::vector<ListedVolume> after_volumes;
  std::vector<ListedVolume> before_volumes;
  std::string problem = stand_ins::read_volume_listing(after, after_volumes);
  if (!problem.empty())
    return unusable(problem);
  if (before != nullptr) {
    problem = stand_ins::read_volume_listing(*before, before_volumes);
    if (!problem.empty())
      return unusable("the capture before the deploy " + problem);
  }

  MachineState state;
  const std::vector<ListedVolume> made =
      made_by_deploy(wanted, after_volumes, before_volumes, state.reasons);
  const auto with_health = [&](VolumeHealth a, VolumeHealth b) {
    return std::find_if(made.begin(), made.end(), [&](const ListedVolume &v) {
      const VolumeHealth health = stand_ins::volume_health(v.status);
      return health == a || health == b;
    });
  };
  const auto sound =
      with_health(VolumeHealth::healthy, VolumeHealth::rebuilding);
  if (sound != made.end()) {
    state.state = State::made;
    state.volume = *sound;
    state.reasons.insert(state.reasons.begin(), stand_ins::volume_said(*sound));
    return state;
  }
  if (!made.empty()) {
    state.state = State::degraded;
    state.volume = made.front();
    state.reasons.insert(state.reasons.begin(),
                         stand_ins::volume_said(made.front()) +
                             ": it has failed, or runs without redundancy; "
                             "REPAIR or RECOVER in DiskPart may mend it");
    return state;
  }
  state.state = State::missing;
  for (const ListedVolume &volume : after_volumes)
    if (volume.type == stand_ins::raid5_type && !is_wanted(wanted, volume))
      state.reasons.push_back(stand_ins::volume_said(volume) + " is not the " +
                              wanted.said + ", that " + wanted.program +
                              " makes");
  state.reasons.insert(state.reasons.begin(),
                       "no RAID-5 volume made by this deploy of " +
                           wanted.program +
                           ": its answer from this machine says why");
  return state;
}

} // namespace confirmation
