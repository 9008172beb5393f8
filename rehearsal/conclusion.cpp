#include "conclusion.h"

#include "verdict.h"

namespace rehearsal {

std::string_view conclusion_word(Conclusion conclusion) {
  switch (conclusion) {
  case Conclusion::created:
    return stand_ins::verdict_word(stand_ins::Verdict::created);
  case Conclusion::refused:
    return stand_ins::verdict_word(stand_ins::Verdict::refused);
  case Conclusion::existing:
    return stand_ins::verdict_word(stand_ins::Verdict::existing);
  case Conclusion::unusable:
    return stand_ins::verdict_word(stand_ins::Verdict::unusable);
  case Conclusion::failed:
    break;
  }
  return "failed";
}

int exit_status(Conclusion conclusion) {
  switch (conclusion) {
  case Conclusion::created:
    return 0;
  case Conclusion::refused:
  case Conclusion::existing:
    return 1;
  case Conclusion::unusable:
    return bad_input_status;
  case Conclusion::failed:
    break;
  }
  return not_run_status;
}

void Tally::add(Conclusion conclusion) {
  ++counts_[static_cast<int>(conclusion)];
}

std::size_t Tally::total() const {
  std::size_t total = 0;
  for (const std::size_t count : counts_)
    total += count;
  return total;
}

std::string Tally::text() const {
  std::string text;
  for (int i = 0; i <= static_cast<int>(Conclusion::failed); ++i)
    if (static_cast<Conclusion>(i) != Conclusion::existing || counts_[i] > 0)
      text += (i == 0 ? "" : ", ") + std::to_string(counts_[i]) + " " +
              std::string(conclusion_word(static_cast<Conclusion>(i)));
  return text;
}

} // namespace rehearsal
