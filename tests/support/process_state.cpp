#include "process_state.h"

#include <cstdio>
#include <dirent.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int open_descriptors() {
  int count = 0;
  DIR *const fds = opendir("/proc/self/fd");
  while (fds != nullptr && readdir(fds) != nullptr)
    ++count;
  if (fds != nullptr)
    closedir(fds);
  return count;
}

std::string children() {
  const std::string list =
      "/proc/self/task/" + std::to_string(getpid()) + "/children";
  FILE *const file = std::fopen(list.c_str(), "r");
  std::string pids;
  for (int c; file != nullptr && (c = std::fgetc(file)) != EOF;)
    pids += static_cast<char>(c);
  if (file != nullptr)
    std::fclose(file);
  return pids;
}

} // namespace

ProcessState process_state() {
  struct stat input {};
  if (fstat(STDIN_FILENO, &input) != 0)
    input = {};
  return {open_descriptors(), children(), input.st_dev, input.st_ino};
}

std::string what_changed(const ProcessState &before,
                         const ProcessState &after) {
  std::string changes;
  if (after.descriptors != before.descriptors)
    changes += "descriptors open: " + std::to_string(before.descriptors) +
               " before, " + std::to_string(after.descriptors) + " after; ";
  if (after.children != before.children)
    changes += "children: [" + before.children + "] before, [" +
               after.children + "] after; ";
  if (after.input_device != before.input_device ||
      after.input_inode != before.input_inode)
    changes += "standard input is another file; ";
  return changes;
}

int descriptors_on(pid_t process, int fd) {
  struct stat ours;
  if (fstat(fd, &ours) != 0)
    return -1;
  int count = 0;
  const auto fds = "/proc/" + std::to_string(process) + "/fd";
  for (const auto &entry : std::filesystem::directory_iterator(fds)) {
    struct stat theirs;
    count += stat(entry.path().c_str(), &theirs) == 0 &&
             theirs.st_dev == ours.st_dev && theirs.st_ino == ours.st_ino;
  }
  return count;
}
