// The file through which a run of the simulated DiskPart tells a rehearsal
// how it ended: the settings that name it, its format, and what a rehearsal
// makes of it. The simulated DiskPart writes it and the rehearsal runner
// reads it, both through this header alone.
//
// The file: DiskPart's verdict, one word on a line of its own, then each of
// its reasons on a line of its own.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace verdict_file {

// Name the saved LIST DISK to simulate, the file to write the verdict to,
// and the file to keep the machine in as the run left it (its LIST DISK and
// LIST VOLUME, as a capture after a deploy).
constexpr char disks_setting[] = "RAIDVOL_DISKS";
constexpr char verdict_setting[] = "RAIDVOL_VERDICT";
constexpr char after_setting[] = "RAIDVOL_AFTER";

// How a run of the simulated DiskPart ended.
enum class DiskPartVerdict {
  created,   // a CREATE made the volume, and no command failed
  refused,   // a command failed: DiskPart said why
  unchanged, // no command failed, and no volume was made
  unusable,  // the saved LIST DISK cannot be used: why, on standard error
  existing,  // the capture lists a RAID-5 volume already: a second would be
             // made beside it
};

struct Written {
  DiskPartVerdict verdict;
  std::vector<std::string> reasons; // each a line
};

// Writes `written` to the file at `path`; false, with errno set, if it cannot.
bool write(const std::string &path, const Written &written);

// What the file at `path` holds; nullopt if it cannot be read or does not
// begin with a verdict's word.
std::optional<Written> read(const std::string &path);

// A rehearsal's verdict on a machine, in order of seriousness: a rehearsal
// exits with the status of the most serious among its machines.
enum class Verdict { created, refused, existing, unusable, failed };

// "created", "refused", "existing", "unusable" or "failed", as the user
// reads it.
std::string_view verdict_word(Verdict verdict);

// 0 created, 1 refused or existing, 2 unusable, 3 failed: a machine whose
// RAID-5 volume stands already fails a gate on the status as a refusal
// does, and the statuses of the others stay what they were.
constexpr int exit_status(Verdict verdict) {
  return verdict == Verdict::created                                   ? 0
         : verdict == Verdict::refused || verdict == Verdict::existing ? 1
         : verdict == Verdict::unusable                                ? 2
                                                                       : 3;
}

// The verdict that DiskPart's verdict gives its machine: as DiskPart says,
// but that a DiskPart left unchanged means the program never handed it its
// script, so the machine's rehearsal failed.
Verdict verdict_of(DiskPartVerdict verdict);

// Why a capture that is a pipe, a device or a folder is unusable: the
// simulated DiskPart says it on opening one, and a rehearsal says it of one
// that it need not hand over.
constexpr char not_a_regular_file[] =
    "is not a regular file: save LIST DISK's output to a file, and name that";

} // namespace verdict_file
