// A folder of the rehearsal's own, removed with all in it when the
// rehearsal ends. One that a rehearsal ended by SIGKILL left is removed by
// the next rehearsal that makes one beside it: each is locked (flock) by
// its rehearsal while it lives, and one that holds something and whose lock
// is free has lost its rehearsal.
#pragma once

#include <string>

namespace rehearsal {

class WorkFolder {
public:
  // Named `prefix` and six characters, in the folder `parent`, made if need
  // be. Throws Stop where it cannot be made.
  WorkFolder(const std::string &parent, const std::string &prefix);
  ~WorkFolder();
  WorkFolder(const WorkFolder &) = delete;
  WorkFolder &operator=(const WorkFolder &) = delete;

  const std::string &path() const { return path_; }
  int lock() const { return lock_; } // the descriptor that holds its lock

private:
  std::string path_;
  int lock_ = -1;
};

// Removes each file or folder named `prefix` and six characters in `parent`
// that holds something and whose lock is free: what a rehearsal ended by
// SIGKILL left. Its rehearsal locks each before it writes into it.
void remove_abandoned(const std::string &parent, const std::string &prefix);

// TMPDIR, else /tmp, from the root: the machines' programs run in folders
// inside it, where a relative TMPDIR would lead elsewhere.
std::string temporary_folder();

// Copies what a rehearsal runs, `program`, the interpreter and its drives,
// from the build folder `build` into `copy`, so that a rebuild beside the
// rehearsal changes nothing it starts. Throws Stop where it cannot.
void copy_build(const std::string &build, const std::string &program,
                const std::string &copy);

// Closes each descriptor above standard error but those of `kept`: what the
// rehearsal was handed open, such as the build's lock, which
// scripts/rehearse holds until the rehearsal has its own copy.
void close_handed_descriptors(int kept_first, int kept_second);

} // namespace rehearsal
