// Stands in for DiskPart: reads commands from standard input, one a line,
// and answers each on standard output. Exits with 1 if any command failed.
//
// RAIDVOL_DISKS names a saved LIST DISK of the machine to simulate, with its
// LIST VOLUME where the capture holds one. Where RAIDVOL_VERDICT names a
// file, the verdict is written there (verdict_file.h), so that a rehearsal
// learns it without reading the console. Where RAIDVOL_AFTER names a file,
// the machine's LIST DISK and LIST VOLUME are written there once the
// session ends, as a capture of the machine after the deploy.
#include "capture_file.h"
#include "disk_listing.h"
#include "diskpart_session.h"
#include "line_reader.h"
#include "standard_streams.h"
#include "verdict_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr char prompt[] = "DISKPART> ";

// False once any write has failed, so that a lost answer is not a success.
bool output_ok = true;

void say(const std::string &text) {
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
    output_ok = false;
}

// Shows what has been said before waiting for the next command.
void show() {
  if (std::fflush(stdout) != 0)
    output_ok = false;
}

const char *set_value(const char *name) {
  const char *const value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : nullptr;
}

// Writes `verdict` and its reasons where RAIDVOL_VERDICT says, if it says;
// false if it cannot, as then no one learns the outcome.
bool give_verdict(verdict_file::DiskPartVerdict verdict,
                  const std::vector<std::string> &reasons) {
  const char *const path = set_value(verdict_file::verdict_setting);
  if (path == nullptr)
    return true;
  const bool written = verdict_file::write(path, {verdict, reasons});
  if (!written)
    std::fprintf(stderr, "diskpart: cannot write the verdict to %s: %s\n", path,
                 std::strerror(errno));
  return written;
}

// The machine that RAIDVOL_DISKS describes, or the made-up one. None if the
// file cannot be used: why is then said, and given as the verdict, unless
// the verdict would overwrite the file itself.
std::optional<stand_ins::DiskPartSession> load_machine() {
  const char *const listing = set_value(verdict_file::disks_setting);
  if (listing == nullptr)
    return stand_ins::DiskPartSession();
  const char *const verdict = set_value(verdict_file::verdict_setting);
  std::error_code unknown;
  if (verdict != nullptr &&
      std::filesystem::equivalent(listing, verdict, unknown)) {
    std::fprintf(stderr,
                 "diskpart: %s names %s, the saved LIST DISK itself: its "
                 "verdict would overwrite it\n",
                 verdict_file::verdict_setting, verdict);
    return std::nullopt;
  }
  std::string bytes;
  std::vector<stand_ins::Disk> disks;
  std::vector<stand_ins::ListedVolume> volumes;
  std::string problem = stand_ins::read_capture_file(listing, bytes);
  if (problem.empty())
    problem = stand_ins::read_disk_listing(bytes, disks);
  if (problem.empty() && stand_ins::holds_volume_listing(bytes))
    problem = stand_ins::read_volume_listing(bytes, volumes);
  if (!problem.empty()) {
    std::fprintf(stderr, "diskpart: %s: %s\n", listing, problem.c_str());
    give_verdict(verdict_file::DiskPartVerdict::unusable, {problem});
    return std::nullopt;
  }
  return stand_ins::DiskPartSession(
      disks, std::string("Its disks are those that ") + listing + " lists.",
      volumes);
}

// Writes the machine as it stands where RAIDVOL_AFTER says, if it says;
// false if it cannot, and then nothing is left there to pass for it.
bool keep_state(const stand_ins::DiskPartSession &session) {
  const char *const path = set_value(verdict_file::after_setting);
  if (path == nullptr)
    return true;
  const std::string text = session.state_capture();
  std::FILE *const file = std::fopen(path, "wb");
  bool written = file != nullptr &&
                 std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (file != nullptr)
    written = std::fclose(file) == 0 && written;
  if (!written) {
    std::fprintf(stderr,
                 "diskpart: cannot write the machine's state to %s: %s\n", path,
                 std::strerror(errno));
    std::remove(path);
  }
  return written;
}

// Prompts for commands and answers them until EXIT or the end of input;
// false if the input could not be read.
bool run_session(stand_ins::DiskPartSession &session) {
  say(session.banner());
  while (!session.has_exited()) {
    say(prompt);
    show();
    const stand_ins::InputLine line =
        stand_ins::read_line(stdin, stand_ins::max_line_bytes);
    // The command is not echoed, so the prompt's line ends here.
    say("\n");
    if (line.status == stand_ins::LineStatus::end_of_input) {
      say("No more commands: leaving DiskPart.\n");
      break;
    }
    if (line.status == stand_ins::LineStatus::read_failed) {
      std::fprintf(stderr, "diskpart: cannot read commands: %s\n",
                   std::strerror(errno));
      return false;
    }
    const std::string answer =
        line.status == stand_ins::LineStatus::too_long
            ? session.refuse_long_line(stand_ins::max_line_bytes)
            : session.run(line.text);
    if (!answer.empty())
      say(answer + "\n");
  }
  return true;
}

} // namespace

int main() {
  if (!stand_ins::read_stdin_as_bytes()) {
    std::fprintf(stderr, "diskpart: cannot read standard input as bytes: %s\n",
                 std::strerror(errno));
    return 1;
  }
  if (!stand_ins::fail_writes_without_reader()) {
    std::fprintf(stderr,
                 "diskpart: cannot keep lost output from ending it: %s\n",
                 std::strerror(errno));
    return 1;
  }
  std::optional<stand_ins::DiskPartSession> session = load_machine();
  if (!session)
    return 1;
  const bool input_ok = run_session(*session);
  show();
  const bool state_kept = keep_state(*session);
  const bool verdict_given =
      give_verdict(session->verdict(), session->verdict_reasons());
  return session->any_command_failed() || !input_ok || !output_ok ||
                 !state_kept || !verdict_given
             ? 1
             : 0;
}
