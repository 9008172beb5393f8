// The machines that the --disks paths name: a capture each.
#pragma once

#include <string>
#include <vector>

namespace rehearsal {

struct Machine {
  std::string name;    // the capture's file name without its last extension
  std::string capture; // its path as given; empty for the made-up disks
  std::string path;    // its path from anywhere
};

struct Machines {
  std::vector<Machine> list; // sorted by name
  bool fleet;                // more than one capture, or a folder of them
};

// The made-up disks without paths. Throws Stop (a bad input) for a path
// that does not exist, a folder that cannot be read or holds no capture,
// and two captures that give one machine name.
Machines machines_named(const std::vector<std::string> &paths);

// Whether `path` is one of `paths`, or an entry, whose name does not begin
// with a dot, directly in one of those that are folders: where a capture
// that --disks `paths` name is or would be, a report or transcript written
// there would take its place.
bool lies_among(const std::string &path, const std::vector<std::string> &paths);

} // namespace rehearsal
