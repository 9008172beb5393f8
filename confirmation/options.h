// The confirmation's command line.
#pragma once

#include <string>
#include <vector>

namespace confirmation {

struct Options {
  bool nosize = false;
  std::vector<std::string> volumes; // each --volumes PATH, as given
  std::vector<std::string> before;  // each --before PATH, as given
  std::string report;               // empty: none written; "-": standard output
  bool help = false;
  std::string refusal; // why the command line cannot be used, if it cannot
};

Options parse_options(const std::vector<std::string> &args);

// What --help prints: the reference for the options, the states and the
// exit statuses.
std::string usage();

} // namespace confirmation
