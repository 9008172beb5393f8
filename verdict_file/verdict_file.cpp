#include "verdict_file.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace verdict_file {
namespace {

constexpr std::string_view verdict_words[] = {"created", "refused", "existing",
                                              "unusable", "failed"};
constexpr std::string_view unchanged_word = "unchanged";

constexpr DiskPartVerdict written_verdicts[] = {
    DiskPartVerdict::created, DiskPartVerdict::refused,
    DiskPartVerdict::unchanged, DiskPartVerdict::unusable,
    DiskPartVerdict::existing};

// The word the file holds for `verdict`: a rehearsal's own where they agree.
std::string_view written_word(DiskPartVerdict verdict) {
  return verdict == DiskPartVerdict::unchanged
             ? unchanged_word
             : verdict_word(verdict_of(verdict));
}

} // namespace

std::string_view verdict_word(Verdict verdict) {
  return verdict_words[static_cast<int>(verdict)];
}

Verdict verdict_of(DiskPartVerdict verdict) {
  switch (verdict) {
  case DiskPartVerdict::created:
    return Verdict::created;
  case DiskPartVerdict::refused:
    return Verdict::refused;
  case DiskPartVerdict::unusable:
    return Verdict::unusable;
  case DiskPartVerdict::existing:
    return Verdict::existing;
  case DiskPartVerdict::unchanged:
    break;
  }
  return Verdict::failed;
}

bool write(const std::string &path, const Written &written) {
  std::string text(written_word(written.verdict));
  text += "\n";
  for (const std::string &reason : written.reasons)
    text += reason + "\n";
  std::FILE *const file = std::fopen(path.c_str(), "wb");
  if (file == nullptr)
    return false;
  const bool whole =
      std::fwrite(text.data(), 1, text.size(), file) == text.size();
  const int error = errno;
  if (std::fclose(file) != 0)
    return false;
  errno = error;
  return whole;
}

std::optional<Written> read(const std::string &path) {
  std::ifstream file(path, std::ios::binary);
  std::string word;
  if (!std::getline(file, word))
    return std::nullopt;
  for (const DiskPartVerdict verdict : written_verdicts)
    if (written_word(verdict) == word) {
      Written written{verdict, {}};
      for (std::string reason; std::getline(file, reason);)
        written.reasons.push_back(reason);
      return written;
    }
  return std::nullopt;
}

} // namespace verdict_file
