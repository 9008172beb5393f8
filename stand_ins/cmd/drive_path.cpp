#include "drive_path.h"

#include "ascii_case.h"

#include <cerrno>
#include <dirent.h>
#include <vector>

namespace stand_ins {
namespace {

bool is_letter(char c) {
  return text::to_lower(c) >= 'a' && text::to_lower(c) <= 'z';
}

// The components after "x:", with "." dropped and ".." taken back; false if
// a ".." has nothing left to take back.
bool resolve_components(const std::string &after_drive,
                        std::vector<std::string> &components) {
  std::string component;
  for (std::size_t i = 0; i <= after_drive.size(); ++i) {
    const bool at_separator = i == after_drive.size() ||
                              after_drive[i] == '\\' || after_drive[i] == '/';
    if (!at_separator) {
      component += after_drive[i];
      continue;
    }
    if (component == "..") {
      if (components.empty())
        return false;
      components.pop_back();
    } else if (!component.empty() && component != ".") {
      components.push_back(component);
    }
    component.clear();
  }
  return true;
}

// The entry of `folder` that `component` names: the one spelt the same if
// there is one, else the first in byte order that differs only in case.
bool find_entry(const std::string &folder, const std::string &component,
                std::string &entry) {
  DIR *const listing = opendir(folder.c_str());
  if (listing == nullptr)
    return false;
  entry.clear();
  errno = 0;
  while (const dirent *const item = readdir(listing)) {
    const std::string name = item->d_name;
    if (name == component) {
      entry = name;
      break;
    }
    if (text::equal_ignoring_case(name, component) &&
        (entry.empty() || name < entry))
      entry = name;
  }
  const bool listed = errno == 0;
  closedir(listing);
  return listed && !entry.empty();
}

} // namespace

bool is_drive_path(const std::string &path) {
  return path.size() >= 2 && is_letter(path[0]) && path[1] == ':';
}

DrivePath find_drive_path(const std::string &windows_path,
                          const std::string &drives_folder) {
  std::vector<std::string> components;
  if (!resolve_components(windows_path.substr(2), components))
    return {DrivePathOutcome::outside_drive, ""};
  std::string host_path = drives_folder + "/" + text::to_lower(windows_path[0]);
  for (const std::string &component : components) {
    std::string entry;
    if (!find_entry(host_path, component, entry))
      return {DrivePathOutcome::not_found, ""};
    host_path += "/" + entry;
  }
  return {DrivePathOutcome::found, host_path};
}

} // namespace stand_ins
