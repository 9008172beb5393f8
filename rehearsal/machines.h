// The machines that the --disks paths name: a capture each.
#pragma once

#include <map>
#include <string>
#include <sys/types.h>
#include <utility>
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

// `path` from the folder that the rehearsal was started in, as the
// machines' programs run elsewhere.
std::string from_start_folder(const std::string &path);

// The made-up disks without paths. Throws Stop (a bad input) for a path
// that does not exist, and a folder that cannot be read or holds no capture.
Machines machines_named(const std::vector<std::string> &paths);

// Throws Stop (a bad input) where two captures give one machine name.
void check_names_apart(const Machines &machines);

// The captures' files, after links, each to its path as given.
using FileId = std::pair<dev_t, ino_t>;
using CaptureFiles = std::map<FileId, std::string>;
CaptureFiles capture_files(const std::vector<Machine> &machines);

// What writing `path` would remove or overwrite of what --disks `paths`
// handed over, judged on the files after links: the capture that `path`
// is, or the folder of captures that it lies directly in, under a name
// that does not begin with a dot. Empty where nothing.
std::string capture_at(const std::string &path, const CaptureFiles &captures,
                       const std::vector<std::string> &paths);

// Whether `path` is `folder`, or an entry whose name does not begin with a
// dot directly in it.
bool lies_in(const std::string &path, const std::string &folder);

} // namespace rehearsal
