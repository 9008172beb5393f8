// Runs the machines side by side, waiting on their programs and on the
// signals that end the rehearsal.
#pragma once

#include "conclusion.h"
#include "machine_run.h"
#include "machines.h"

#include <csignal>
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

// At most `jobs` machines at once; a progress line on standard error if
// `progress`. An interrupted fleet's runs are all ended, each whole process
// group, before it returns.
FleetRun run_fleet(const std::vector<Machine> &machines, MachineRuns &runs,
                   unsigned jobs, bool progress);

} // namespace rehearsal
