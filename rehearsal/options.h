// The rehearsal's command line.
#pragma once

#include <string>
#include <vector>

namespace rehearsal {

struct Options {
  bool nosize = false;
  std::vector<std::string> disks; // each --disks PATH, as given
  unsigned jobs = 0;              // 0: chosen from the account's limits
  std::string report;             // empty: none written
  std::string transcripts;        // empty: none kept
  bool help = false;
  std::string refusal; // why the command line cannot be used, if it cannot
};

Options parse_options(const std::vector<std::string> &args);

// What --help prints: the reference for the options and the exit statuses.
std::string usage();

} // namespace rehearsal
