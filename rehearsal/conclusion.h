// What a rehearsal concludes for one machine, and why.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rehearsal {

// In order of seriousness. A rehearsal exits with the number of the most
// serious conclusion among its machines; --help says what each means.
enum class Conclusion { created, refused, unusable, failed };

// A bad command line exits as an unusable capture does, and a rehearsal
// that cannot run as one whose machine failed.
constexpr int bad_input_status = static_cast<int>(Conclusion::unusable);
constexpr int not_run_status = static_cast<int>(Conclusion::failed);

std::string_view conclusion_word(Conclusion conclusion);

// How many machines have each conclusion.
class Tally {
public:
  void add(Conclusion conclusion);
  std::size_t total() const;
  // "2 created, 1 refused, 0 unusable, 0 failed"
  std::string text() const;

private:
  std::size_t counts_[static_cast<int>(Conclusion::failed) + 1] = {};
};

struct Outcome {
  Conclusion conclusion = Conclusion::failed;
  std::vector<std::string> reasons; // each a line, as the verdict gave it
};

} // namespace rehearsal
