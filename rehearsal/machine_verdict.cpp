#include "machine_verdict.h"

#include <algorithm>

namespace rehearsal {

Verdict most_serious(const std::vector<MachineVerdict> &verdicts) {
  Verdict worst = Verdict::created;
  for (const MachineVerdict &verdict : verdicts)
    worst = std::max(worst, verdict.verdict);
  return worst;
}

void Tally::add(Verdict verdict) { ++counts_[static_cast<int>(verdict)]; }

std::size_t Tally::total() const {
  std::size_t total = 0;
  for (const std::size_t count : counts_)
    total += count;
  return total;
}

std::string Tally::text() const {
  std::string text;
  for (int i = 0; i <= static_cast<int>(Verdict::failed); ++i)
    if (static_cast<Verdict>(i) != Verdict::existing || counts_[i] > 0)
      text += (i == 0 ? "" : ", ") + std::to_string(counts_[i]) + " " +
              std::string(verdict_word(static_cast<Verdict>(i)));
  return text;
}

} // namespace rehearsal
