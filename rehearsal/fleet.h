// Runs the machines side by side, waiting on their programs and on the
// signals that end the rehearsal.
#pragma once

#include "machine_run.h"
#include "machine_verdict.h"
#include "machines.h"

#include <chrono>
#include <string>
#include <vector>

namespace rehearsal {

struct FleetRun {
  std::vector<MachineVerdict> verdicts; // in the machines' order
  int interrupted_by = 0;               // the signal that ended it, if one did
};

struct FleetSetup {
  unsigned jobs;                       // at most this many machines at once
  std::chrono::nanoseconds time_limit; // for each machine's run
  bool progress;                       // a progress line on standard error
};

// At most `setup.jobs` runs at once. A run past its time limit is ended, its
// whole process group, and its machine failed. An interrupted fleet's runs
// are all ended, each whole process group, and what they kept removed,
// before it returns.
FleetRun run_fleet(const std::vector<Machine> &machines, MachineRuns &runs,
                   const FleetSetup &setup);

// "rehearse: 2 of 5 machines done: ...", cut or padded to one column short
// of `width` (0: as it is), so that it stays one line on the terminal.
std::string progress_line(const Tally &tally, std::size_t all,
                          std::size_t width);

} // namespace rehearsal
