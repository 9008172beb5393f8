// What each deliverable must hand to the disk tool, and where it finds it.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

inline constexpr char disk_tool_command[] = "c:\\vel\\kelvox\\diskpart.exe";
inline constexpr long long pause_ms = 5000;
inline constexpr char sized_script[] =
    "CREATE VOLUME RAID SIZE=1000 DISK=0,1,2,3\r\nEXIT\r\n";
inline constexpr char nosize_script[] =
    "CREATE VOLUME RAID DISK=0,1,2,3\r\nEXIT\r\n";

struct Deliverable {
  const char *name;    // names the test instance
  const char *program; // the built program
  const char *script;  // the bytes it must deliver
};

inline void PrintTo(const Deliverable &deliverable, std::ostream *out) {
  *out << deliverable.program;
}

// Both deliverables, built at the given paths, for INSTANTIATE_TEST_SUITE_P
// together with deliverable_name.
inline auto both_deliverables(const char *sized, const char *nosize) {
  return ::testing::Values(Deliverable{"Sized", sized, sized_script},
                           Deliverable{"Nosize", nosize, nosize_script});
}

inline std::string
deliverable_name(const ::testing::TestParamInfo<Deliverable> &info) {
  return info.param.name;
}
