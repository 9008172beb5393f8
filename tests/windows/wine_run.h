// Runs a Windows program to its end under Wine, in the test prefix, the way
// a user's console would: no COMSPEC, so Wine's own cmd.exe is the
// interpreter, and no display.
#pragma once

#include "deliverables.h"
#include "run_program.h"

#include <map>
#include <string>
#include <vector>

// Its times are on the wall clock, which Wine's programs read too; the
// environment variables in `settings` reach the program and what it starts.
ProgramRun
run_under_wine(const std::string &program,
               const std::vector<std::string> &args = {},
               const std::map<std::string, std::string> &settings = {});

// The path under which Windows programs in the prefix see a host file.
std::string windows_path(const std::string &host_path);

// Both deliverables, as a Windows build in `folder` holds them.
inline auto windows_deliverables(const std::string &folder) {
  return both_deliverables(folder + "/raidvol-sized.exe",
                           folder + "/raidvol-nosize.exe");
}
