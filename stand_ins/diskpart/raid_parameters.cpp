#include "raid_parameters.h"

#include "ascii_case.h"
#include "whole_number.h"

#include <algorithm>

namespace stand_ins {
namespace {

std::string read_size(const std::string &text, RaidParameters &parameters) {
  switch (text::read_whole_number(text, parameters.size_mb)) {
  case text::WholeNumber::read:
    break;
  case text::WholeNumber::malformed:
    return "SIZE must be a whole number of megabytes, such as SIZE=1000.";
  case text::WholeNumber::too_large:
    return "SIZE=" + text + " is more than any disk holds.";
  }
  if (parameters.size_mb == 0)
    return "SIZE must be at least 1 MB.";
  parameters.size_given = true;
  return "";
}

std::string read_disk_list(const std::string &text,
                           RaidParameters &parameters) {
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    const std::string entry = text.substr(start, comma - start);
    unsigned long long disk = 0;
    switch (text::read_whole_number(entry, disk)) {
    case text::WholeNumber::read:
      break;
    case text::WholeNumber::malformed:
      return "DISK takes disk numbers separated by commas, such as "
             "DISK=0,1,2.";
    case text::WholeNumber::too_large:
      return "There is no disk " + entry + ".";
    }
    if (std::find(parameters.disks.begin(), parameters.disks.end(), disk) !=
        parameters.disks.end())
      return "Disk " + std::to_string(disk) + " is named more than once.";
    parameters.disks.push_back(disk);
    if (comma == std::string::npos)
      return "";
    start = comma + 1;
  }
}

} // namespace

std::string read_raid_parameters(const std::vector<std::string> &words,
                                 RaidParameters &parameters) {
  bool disks_given = false;
  for (const std::string &word : words) {
    const std::size_t equals = word.find('=');
    const std::string name = word.substr(0, equals);
    if (equals == std::string::npos)
      return "'" + word +
             "' is not a parameter; they take the form NAME=value.";
    const std::string value = word.substr(equals + 1);
    std::string problem;
    if (text::equal_ignoring_case(name, "SIZE")) {
      if (parameters.size_given)
        return "SIZE is given more than once.";
      problem = read_size(value, parameters);
    } else if (text::equal_ignoring_case(name, "DISK")) {
      if (disks_given)
        return "DISK is given more than once.";
      disks_given = true;
      problem = read_disk_list(value, parameters);
    } else {
      return "CREATE VOLUME RAID has no parameter " + name +
             "; it takes SIZE= and DISK=.";
    }
    if (!problem.empty())
      return problem;
  }
  if (!disks_given)
    return "CREATE VOLUME RAID needs the disks to use, such as DISK=0,1,2.";
  return "";
}

} // namespace stand_ins
