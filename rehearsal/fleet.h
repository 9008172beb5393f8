// Runs the machines side by side, waiting on their programs and on the
// signals that end the rehearsal.
#pragma once

#include "conclusion.h"
#include "machine_run.h"
#include "machines.h"

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

namespace rehearsal {

// The signals that end a rehearsal. They are blocked from its start, so that
// none is lost before the fleet runs, and are taken in turn with the ends of
// the machines' programs.
sigset_t ending_signals();

struct FleetRun {
  std::vector<Outcome> outcomes; // in the machines' order
  int interrupted_by = 0;        // the signal that ended it, if one did
};

struct FleetSetup {
  unsigned jobs;                       // at most this many machines at once
  std::chrono::nanoseconds time_limit; // for each machine's run
  bool progress;                       // a progress line on standard error
};

// A run past its time limit is ended, its whole process group, and its
// machine failed. An interrupted fleet's runs are all ended, each whole
// process group, before it returns.
FleetRun run_fleet(const std::vector<Machine> &machines, MachineRuns &runs,
                   const FleetSetup &setup);

// "rehearse: 2 of 5 machines done: ...", cut or padded to one column short
// of `width` (0: as it is), so that it stays one line on the terminal.
std::string progress_line(const Tally &tally, std::size_t all,
                          std::size_t width);

} // namespace rehearsal
