// What a rehearsal concludes for one machine, and why.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rehearsal {

// In order of seriousness. A rehearsal exits with the status of the most
// serious conclusion among its machines; --help says what each means.
enum class Conclusion { created, refused, existing, unusable, failed };

// 0 created, 1 refused or existing, 2 unusable, 3 failed: a machine whose
// RAID-5 volume stands already fails a gate on the status as a refusal
// does, and the statuses of the others stay what they were.
int exit_status(Conclusion conclusion);

// A bad command line exits as an unusable capture does, and a rehearsal
// that cannot run as one whose machine failed.
constexpr int bad_input_status = 2;
constexpr int not_run_status = 3;

std::string_view conclusion_word(Conclusion conclusion);

// How many machines have each conclusion.
class Tally {
public:
  void add(Conclusion conclusion);
  std::size_t total() const;
  // "2 created, 1 refused, 0 unusable, 0 failed", with "1 existing" after
  // the refused where a machine has a RAID-5 volume already
  std::string text() const;

private:
  std::size_t counts_[static_cast<int>(Conclusion::failed) + 1] = {};
};

struct Outcome {
  Conclusion conclusion = Conclusion::failed;
  std::vector<std::string> reasons; // each a line, as the verdict gave it
};

} // namespace rehearsal
