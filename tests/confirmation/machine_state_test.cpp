#include "disk_captures.h"
#include "expected_run.h"
#include "machine_state.h"

#include <gtest/gtest.h>

namespace {

using confirmation::State;

const std::string header =
    "DISKPART> list volume\n\n"
    "  Volume ###  Ltr  Label        Fs     Type        Size     Status     "
    "Info\n"
    "  ----------  ---  -----------  -----  ----------  -------  ---------  "
    "--------\n"
    "  Volume 0     C   Windows      NTFS   Partition     99 GB  Healthy    "
    "Boot\n";

std::string raid5(const char *number, const char *size, const char *status) {
  return std::string("  Volume ") + number +
         "                             RAID-5      " + size + "  " + status +
         "\n";
}

// The state's word, then each reason, a line each.
std::string judged(const confirmation::WantedVolume &wanted,
                   const std::string &after,
                   const std::string *before = nullptr) {
  const confirmation::MachineState state =
      confirmation::state_of(wanted, after, before);
  std::string said(confirmation::state_word(state.state));
  for (const std::string &reason : state.reasons)
    said += "\n" + reason;
  return said;
}

TEST(MachineState, AsksForTheSizeThatTheProgramsLineGives) {
  const auto sized = confirmation::wanted_by("raidvol-sized", sized_line);
  EXPECT_EQ(sized.usable_mb, 3000u);
  EXPECT_EQ(confirmation::size_allowance(sized, 3000ull << 20), 31ull << 20);
  EXPECT_EQ(confirmation::wanted_by("raidvol-nosize", nosize_line).usable_mb,
            0u);
}

TEST(MachineState, JudgesEachMachineOnTheVolumeThatTheDeployMade) {
  const auto sized = confirmation::wanted_by("raidvol-sized", sized_line);
  const auto nosize = confirmation::wanted_by("raidvol-nosize", nosize_line);
  const std::string made = header + raid5("1", "3000 MB", "Rebuild");
  const std::string missing =
      "missing\nno RAID-5 volume made by this deploy of raidvol-sized: its "
      "answer from this machine says why";
  const std::string before_made = header + raid5("4", "3000 MB", "Healthy");
  const struct {
    const confirmation::WantedVolume &wanted;
    std::string after;
    const std::string *before;
    std::string said;
  } cases[] = {
      {sized, made, nullptr, "made\nVolume 1 (RAID-5, 3000 MB, Rebuild)"},
      {sized, header + raid5("1", "2970 MB", "Healthy"), nullptr,
       "made\nVolume 1 (RAID-5, 2970 MB, Healthy)"},
      {sized, header + raid5("1", "2968 MB", "Healthy"), nullptr,
       missing + "\nVolume 1 (RAID-5, 2968 MB, Healthy) is not the 3000 MB, "
                 "1000 MB on each of 4 disks less one disk's share of parity, "
                 "that raidvol-sized makes"},
      {nosize, header + raid5("7", "21 GB", "Healthy"), nullptr,
       "made\nVolume 7 (RAID-5, 21 GB, Healthy)"},
      {sized, header + raid5("2", "3000 MB", "Failed Rd"), nullptr,
       "degraded\nVolume 2 (RAID-5, 3000 MB, Failed Rd): it has failed, or "
       "runs without redundancy; REPAIR or RECOVER in DiskPart may mend it"},
      {sized, header, nullptr, missing},
      {sized, made, &before_made,
       missing + "\nVolume 1 (RAID-5, 3000 MB, Rebuild) stood before the "
                 "deploy, so this deploy did not make it"},
      {sized, made, &header, "made\nVolume 1 (RAID-5, 3000 MB, Rebuild)"},
      {sized, capture(), nullptr,
       "unusable\nholds no LIST VOLUME table: no line of eight runs of "
       "dashes, as under LIST VOLUME's header"},
  };
  for (const auto &[wanted, after, before, said] : cases)
    EXPECT_EQ(judged(wanted, after, before), said) << after;
  const std::string list_disk_only = capture();
  EXPECT_EQ(judged(sized, made, &list_disk_only),
            "unusable\nthe capture before the deploy holds no LIST VOLUME "
            "table: no line of eight runs of dashes, as under LIST VOLUME's "
            "header");
}

} // namespace
