// How a run of the simulated DiskPart ended, as it writes it, one word, to
// the file that RAIDVOL_VERDICT names, and as a rehearsal reads it back.
#pragma once

#include <iterator>
#include <optional>
#include <string_view>

namespace stand_ins {

enum class Verdict {
  created,   // a CREATE made the volume, and no command failed
  refused,   // a command failed: DiskPart said why
  unchanged, // no command failed, and no volume was made
  unusable,  // the saved LIST DISK cannot be used: why, on standard error
  existing,  // the capture lists a RAID-5 volume already: a second would be
             // made beside it
};

constexpr std::string_view verdict_words[] = {"created", "refused", "unchanged",
                                              "unusable", "existing"};

constexpr std::string_view verdict_word(Verdict verdict) {
  return verdict_words[static_cast<int>(verdict)];
}

// The verdict that `word` names, if any.
constexpr std::optional<Verdict> verdict_named(std::string_view word) {
  for (int i = 0; i < static_cast<int>(std::size(verdict_words)); ++i)
    if (verdict_words[i] == word)
      return static_cast<Verdict>(i);
  return std::nullopt;
}

// Why a capture that is a pipe, a device or a folder is unusable: the
// simulated DiskPart says it on opening one, and a rehearsal says it of one
// that it need not hand over.
constexpr char not_a_regular_file[] =
    "is not a regular file: save LIST DISK's output to a file, and name that";

} // namespace stand_ins
