// What each deliverable must hand to the disk tool, and where it finds it.
#pragma once

#include "expected_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <ostream>
#include <string>

struct Deliverable {
  const char *name;    // names the test instance
  std::string program; // the built program
  const char *script;  // the bytes it must deliver
};

inline void PrintTo(const Deliverable &deliverable, std::ostream *out) {
  *out << deliverable.program;
}

// Both deliverables, built at the given paths, for INSTANTIATE_TEST_SUITE_P
// together with deliverable_name.
inline auto both_deliverables(const std::string &sized,
                              const std::string &nosize) {
  return ::testing::Values(Deliverable{"Sized", sized, sized_script},
                           Deliverable{"Nosize", nosize, nosize_script});
}

inline std::string
deliverable_name(const ::testing::TestParamInfo<Deliverable> &info) {
  return info.param.name;
}

// What the simulated DiskPart answers to raidvol-sized's script.
inline constexpr char sized_volume_made[] =
    "DiskPart successfully created the volume.";

// The disk tool's path below a folder of drives: "c/vel/..." for "c:\vel\...".
inline std::string path_on_drive() {
  std::string path = disk_tool_command;
  path.erase(1, 1);
  path[0] = static_cast<char>(std::tolower(path[0]));
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}
