#include "disk_listing.h"

#include "ascii_case.h"

namespace stand_ins {
namespace {

// English DiskPart's words, from real captures of LIST VOLUME and public
// guides to Windows' software RAID; no capture in another language with a
// volume's status was found.
const struct {
  const char *word;
  VolumeHealth health;
} volume_statuses[] = {
    {"Healthy", VolumeHealth::healthy},   {"Rebuild", VolumeHealth::rebuilding},
    {"Failed Rd", VolumeHealth::failing}, {"Failed", VolumeHealth::failing},
    {"No Media", VolumeHealth::other},
};

} // namespace

VolumeHealth volume_health(const std::string &status) {
  for (const auto &known : volume_statuses)
    if (text::equal_ignoring_case(status, known.word))
      return known.health;
  return VolumeHealth::unknown;
}

} // namespace stand_ins
