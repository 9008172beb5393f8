// Drive-letter paths of the rehearsed machine, found in a folder of this host
// that holds one folder per drive: c:\ is <drives>/c.
#pragma once

#include <string>

namespace stand_ins {

enum class DrivePathOutcome {
  found,
  not_found,
  outside_drive, // ".." would climb above the drive's root
};

struct DrivePath {
  DrivePathOutcome outcome;
  std::string host_path; // set when found
};

// True for paths that start with a drive letter and a colon, such as "c:\x".
bool is_drive_path(const std::string &path);

// Finds `windows_path`, a drive path, under `drives_folder`, each component
// matched without regard to case against the entries that are there, an exact
// match first. Both \ and / separate components; "." and ".." are resolved
// first.
DrivePath find_drive_path(const std::string &windows_path,
                          const std::string &drives_folder);

} // namespace stand_ins
