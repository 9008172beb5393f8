#include "conclusion.h"

#include "verdict.h"

namespace rehearsal {

std::string_view conclusion_word(Conclusion conclusion) {
  switch (conclusion) {
  case Conclusion::created:
    return stand_ins::verdict_word(stand_ins::Verdict::created);
  case Conclusion::refused:
    return stand_ins::verdict_word(stand_ins::Verdict::refused);
  case Conclusion::unusable:
    return stand_ins::verdict_word(stand_ins::Verdict::unusable);
  case Conclusion::failed:
    break;
  }
  return "failed";
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
    text += (i == 0 ? "" : ", ") + std::to_string(counts_[i]) + " " +
            std::string(conclusion_word(static_cast<Conclusion>(i)));
  return text;
}

} // namespace rehearsal
