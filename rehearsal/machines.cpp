#include "machines.h"

#include "machine_verdict.h"
#include "stop.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace rehearsal {
namespace {

// The name the made-up disks go by in a report.
constexpr char made_up_machine[] = "made-up disks";

[[noreturn]] void refuse(const std::string &why) {
  throw Stop(bad_input_status, why);
}

Machine machine_of(const std::string &capture) {
  return {std::filesystem::path(capture).filename().stem().string(), capture,
          from_start_folder(capture)};
}

// The folder that holds `path`'s entry, and the entry's name there.
std::pair<std::string, std::string> entry_of(const std::string &path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos)
    return {".", path};
  return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

std::optional<FileId> file_id(const std::string &path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0)
    return std::nullopt;
  return FileId{status.st_dev, status.st_ino};
}

bool same_file(const std::string &a, const std::string &b) {
  const auto first = file_id(a);
  return first && first == file_id(b);
}

bool is_folder(const std::string &path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// A capture for each entry directly in `folder`, but its folders, whose name
// does not begin with a dot: a named pipe or a device there is a machine
// whose capture cannot be used, not dropped unsaid.
std::vector<Machine> folder_machines(const std::string &folder) {
  const std::unique_ptr<DIR, int (*)(DIR *)> entries(opendir(folder.c_str()),
                                                     closedir);
  if (!entries)
    refuse(with_error(folder + ": cannot be read"));
  const std::string prefix = folder.back() == '/' ? folder : folder + "/";
  std::vector<Machine> found;
  errno = 0;
  while (const dirent *const entry = readdir(entries.get())) {
    const std::string path = prefix + entry->d_name;
    if (entry->d_name[0] != '.' && !is_folder(path))
      found.push_back(machine_of(path));
    errno = 0;
  }
  if (errno != 0)
    refuse(with_error(folder + ": cannot be read"));
  if (found.empty())
    refuse(folder + ": holds no capture (a regular file whose name does not "
                    "begin with a dot)");
  return found;
}

} // namespace

std::string from_start_folder(const std::string &path) {
  if (path[0] == '/')
    return path;
  // The folder as the caller's shell names it (PWD), where that is right.
  const std::unique_ptr<char, void (*)(void *)> folder(get_current_dir_name(),
                                                       std::free);
  if (!folder)
    throw Stop(not_run_status,
               with_error("cannot tell the folder it was started in"));
  return std::string(folder.get()) + "/" + path;
}

Machines machines_named(const std::vector<std::string> &paths) {
  if (paths.empty())
    return {{{made_up_machine, "", ""}}, false};
  Machines machines{{}, paths.size() > 1};
  for (const std::string &path : paths) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0)
      refuse(with_error(path));
    if (!S_ISDIR(status.st_mode)) {
      machines.list.push_back(machine_of(path));
      continue;
    }
    machines.fleet = true;
    for (Machine &machine : folder_machines(path))
      machines.list.push_back(std::move(machine));
  }
  std::sort(machines.list.begin(), machines.list.end(),
            [](const Machine &a, const Machine &b) { return a.name < b.name; });
  return machines;
}

void check_names_apart(const Machines &machines) {
  const auto same = std::adjacent_find(
      machines.list.begin(), machines.list.end(),
      [](const Machine &a, const Machine &b) { return a.name == b.name; });
  if (same != machines.list.end())
    refuse(same->capture + " and " + same[1].capture +
           " both name the machine " + same->name);
}

CaptureFiles capture_files(const std::vector<Machine> &machines) {
  CaptureFiles files;
  for (const Machine &machine : machines)
    if (const auto id = file_id(machine.path))
      files.emplace(*id, machine.capture);
  return files;
}

std::string capture_at(const std::string &path, const CaptureFiles &captures,
                       const std::vector<std::string> &paths) {
  if (const auto id = file_id(path)) {
    const auto capture = captures.find(*id);
    if (capture != captures.end())
      return capture->second;
  }
  for (const std::string &folder : paths)
    if (is_folder(folder) && lies_in(path, folder))
      return folder;
  return "";
}

bool lies_in(const std::string &path, const std::string &folder) {
  const auto [holder, name] = entry_of(path);
  return same_file(path, folder) ||
         (name[0] != '.' && same_file(holder, folder));
}

} // namespace rehearsal
