#include "work_folder.h"

#include "machine_verdict.h"
#include "stop.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rehearsal {
namespace fs = std::filesystem;

void remove_abandoned(const std::string &parent, const std::string &prefix) {
  std::error_code error;
  for (const auto &entry : fs::directory_iterator(parent, error)) {
    const std::string name = entry.path().filename();
    const auto kind = entry.symlink_status(error).type();
    if (name.rfind(prefix, 0) != 0 || name.size() != prefix.size() + 6 ||
        (kind != fs::file_type::regular && kind != fs::file_type::directory))
      continue;
    const int held = open(entry.path().c_str(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (held == -1)
      continue;
    // Empty, it may be one whose rehearsal is about to lock it.
    if (flock(held, LOCK_EX | LOCK_NB) == 0 && !fs::is_empty(entry, error))
      fs::remove_all(entry.path(), error);
    close(held);
  }
}

WorkFolder::WorkFolder(const std::string &parent, const std::string &prefix) {
  if (mkdir(parent.c_str(), 0777) != 0 && errno != EEXIST)
    throw Stop(not_run_status, with_error("cannot make the folder " + parent));
  remove_abandoned(parent, prefix);
  path_ = parent + "/" + prefix + "XXXXXX";
  if (mkdtemp(path_.data()) == nullptr)
    throw Stop(not_run_status,
               with_error("cannot make a temporary folder in " + parent));
  lock_ = open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (lock_ == -1 || flock(lock_, LOCK_EX) != 0) {
    const std::string why = with_error("cannot lock the folder " + path_);
    if (lock_ != -1)
      close(lock_);
    rmdir(path_.c_str());
    throw Stop(not_run_status, why);
  }
}

WorkFolder::~WorkFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
  if (lock_ != -1)
    close(lock_);
}

std::string temporary_folder() {
  const char *const set = std::getenv("TMPDIR");
  const std::string folder = set != nullptr && *set != '\0' ? set : "/tmp";
  std::error_code error;
  const std::string from_root = fs::absolute(folder, error).string();
  if (error)
    throw Stop(not_run_status,
               "cannot tell where the temporary folder " + folder + " is");
  return from_root;
}

void copy_build(const std::string &build, const std::string &program,
                const std::string &copy) {
  std::error_code error;
  for (const std::string &name : {program, std::string(INTERPRETER)})
    if (!error)
      fs::copy_file(build + "/" + name, copy + "/" + name, error);
  if (!error)
    fs::copy(build + "/drives", copy + "/drives", fs::copy_options::recursive,
             error);
  if (error)
    throw Stop(not_run_status, "cannot copy the programs from " + build +
                                   " to " + copy + ": " + error.message());
}

void close_handed_descriptors(int kept_first, int kept_second) {
  const unsigned first =
      static_cast<unsigned>(std::min(kept_first, kept_second));
  const unsigned second =
      static_cast<unsigned>(std::max(kept_first, kept_second));
  unsigned from = STDERR_FILENO + 1;
  for (const unsigned kept : {first, second}) {
    if (kept > from)
      close_range(from, kept - 1, 0);
    from = std::max(from, kept + 1);
  }
  close_range(from, ~0U, 0);
}

} // namespace rehearsal
