#include "options.h"

#include "disk_listing.h"
#include "jobs.h"
#include "whole_number.h"

#include <climits>
#include <set>

namespace rehearsal {
namespace {

std::string joined(const std::vector<const char *> &words) {
  std::string text;
  for (const char *word : words)
    text += (text.empty() ? "" : ", ") + std::string(word);
  return text;
}

// The reader's own table of status words, so that the list shown is the
// one it reads by.
std::string status_words() {
  std::string text;
  for (const stand_ins::StatusWords &language :
       stand_ins::known_status_words()) {
    text += "  " + std::string(language.languages) + ", in code page " +
            std::to_string(language.console_page) + "\n";
    if (!language.online.empty())
      text += "    online:   " + joined(language.online) + "\n";
    if (!language.cannot_take_part.empty())
      text += "    kept out: " + joined(language.cannot_take_part) + "\n";
  }
  return text;
}

} // namespace

std::string usage() {
  return std::string(
             R"(usage: scripts/rehearse [--nosize] [--disks PATH]... [--jobs N]
                        [--time-limit S] [--report FILE] [--transcripts DIR]
                        [--after DIR]

Runs raidvol-sized (with --nosize, raidvol-nosize) against the simulated
DiskPart, on the machine that a capture describes: the output of DiskPart's
LIST DISK there (and of LIST VOLUME, which tells of a RAID-5 volume there
already), saved to a file. Without --disks, on four made-up disks.

  --disks PATH       a capture, or a folder standing for each regular file
                     directly in it whose name does not begin with a dot
                     (and each link there that leads nowhere, named pipe
                     or device, a machine whose capture cannot be used).
                     Each capture is a machine, named by its file name
                     without its last extension. Given more than once, or
                     naming a folder, it rehearses a fleet: the machines run
                     side by side, and a table of their verdicts follows.
  --jobs N           at most N machines at once (default: a quarter of the
                     account's process limit, at most )") +
         std::to_string(most_jobs) + R"()
  --time-limit S     ends a machine's run, with its whole chain, that has not
                     ended within S seconds: its machine failed (default: )" +
         std::to_string(default_time_limit) + R"()
  --report FILE      writes the verdicts as JSON to FILE once all have run,
                     after the table: a regular file there is replaced whole,
                     in one rename; a link, a named pipe or a device is
                     written into, as a shell's > would. With -, to standard
                     output, and the table to standard error.
  --transcripts DIR  keeps each machine's console in DIR/<machine>.txt
  --after DIR        keeps each machine as the run left it in
                     DIR/<machine>.txt: its LIST DISK and LIST VOLUME, as
                     docs/rehearsing.md's recipe collects them after a
                     deploy, for scripts/confirm
  --nosize           rehearses raidvol-nosize

A disk's status is read by its word, as each language's DiskPart writes it
(in the code page that it writes): an online disk can take part, one kept
out cannot, and any other word makes the capture unusable.
)" + status_words() +
         R"(
Exit status, that of the most serious verdict among the machines:
  0    created: DiskPart would create the volume on every machine
  1    refused: DiskPart would refuse it on a machine; its reasons are shown.
       Or existing: a machine's capture lists a RAID-5 volume already, so
       that a deploy would make a second one there (raidvol-nosize's would
       take all the space left); the reasons name the volume. Like a
       refusal, it fails a gate on the status, and its word keeps it out
       of the machines that passed (those whose verdict is created), yet
       it is no fault of the capture or the rehearsal, which 2 and 3 say
  2    unusable: a capture cannot be used, or an option is bad; the message
       says why
  3    failed: a machine's rehearsal could not run, or the rehearsal itself
       failed (its temporary folder, the build, its output); the message
       says why
  130  interrupted by SIGINT (143 by SIGTERM, 129 by SIGHUP, 131 by
       SIGQUIT): every run it started is ended, and no report is written
)";
}

namespace {

// A whole number from 1 up, or 0 if `text` is none.
unsigned whole_number(const std::string &text) {
  unsigned long long value = 0;
  return text::read_whole_number(text, value) == text::WholeNumber::read &&
                 value <= UINT_MAX
             ? static_cast<unsigned>(value)
             : 0;
}

} // namespace

Options parse_options(const std::vector<std::string> &args) {
  Options options;
  std::set<std::string> given; // the options that take one value only
  for (std::size_t i = 0; i < args.size() && options.refusal.empty(); ++i) {
    const std::string &option = args[i];
    const bool has_value = i + 1 < args.size() && !args[i + 1].empty();
    const std::string value = has_value ? args[i + 1] : "";
    if (option == "--nosize") {
      options.nosize = true;
      continue;
    }
    if (option == "--help" || option == "-h") {
      options.help = true;
      continue;
    }
    if (option != "--disks" && option != "--jobs" && option != "--report" &&
        option != "--transcripts" && option != "--time-limit" &&
        option != "--after") {
      options.refusal = "unknown option: " + option;
      continue;
    }
    if (!has_value) {
      options.refusal = option + " needs a value";
      continue;
    }
    // A second value would silently replace the first.
    if (option != "--disks" && !given.insert(option).second) {
      options.refusal = option + " is given twice";
      continue;
    }
    ++i;
    if (option == "--disks")
      options.disks.push_back(value);
    else if (option == "--report")
      options.report = value;
    else if (option == "--transcripts")
      options.transcripts = value;
    else if (option == "--after")
      options.after = value;
    else if (option == "--time-limit" &&
             (options.time_limit = whole_number(value)) == 0)
      options.refusal =
          "--time-limit takes a whole number from 1 up, not " + value;
    else if (option == "--jobs" && (options.jobs = whole_number(value)) == 0)
      options.refusal = "--jobs takes a whole number from 1 up, not " + value;
  }
  return options;
}

} // namespace rehearsal
