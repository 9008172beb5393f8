// The rehearsal's command line.
#pragma once

#include <string>
#include <vector>

namespace rehearsal {

// How long a machine's run may take, in seconds, when --time-limit does not
// say: well above the programs' five-second pause, on a loaded machine too.
constexpr unsigned default_time_limit = 60;

struct Options {
  bool nosize = false;
  std::vector<std::string> disks; // each --disks PATH, as given
  unsigned jobs = 0;              // 0: chosen from the account's limits
  unsigned time_limit = default_time_limit; // seconds a machine's run may take
  std::string report;      // empty: none written; "-": standard output
  std::string transcripts; // empty: none kept
  std::string after;       // empty: no capture of the machines kept
  bool help = false;
  std::string refusal; // why the command line cannot be used, if it cannot
};

Options parse_options(const std::vector<std::string> &args);

// What --help prints: the reference for the options and the exit statuses.
std::string usage();

} // namespace rehearsal
