// A rehearsal's verdict on one machine, and why; and the tally of a fleet's.
#pragma once

#include "verdict_file.h"

#include <string>
#include <vector>

namespace rehearsal {

using verdict_file::Verdict;

// A bad command line exits as an unusable capture does, and a rehearsal
// that cannot run as one whose machine failed.
constexpr int bad_input_status = verdict_file::exit_status(Verdict::unusable);
constexpr int not_run_status = verdict_file::exit_status(Verdict::failed);

struct MachineVerdict {
  Verdict verdict = Verdict::failed;
  std::vector<std::string> reasons; // each a line, as DiskPart gave it
};

// The most serious of `verdicts`, which a rehearsal exits with; created for
// none.
Verdict most_serious(const std::vector<MachineVerdict> &verdicts);

// How many machines have each verdict.
class Tally {
public:
  void add(Verdict verdict);
  std::size_t total() const;
  // "2 created, 1 refused, 0 unusable, 0 failed", with "1 existing" after
  // the refused where a machine has a RAID-5 volume already
  std::string text() const;

private:
  std::size_t counts_[static_cast<int>(Verdict::failed) + 1] = {};
};

} // namespace rehearsal
