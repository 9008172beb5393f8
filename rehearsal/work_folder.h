// A folder of the rehearsal's own, in TMPDIR (else /tmp), removed with all
// in it when the rehearsal ends, whichever way.
#pragma once

#include <string>

namespace rehearsal {

class WorkFolder {
public:
  WorkFolder(); // throws Stop where it cannot be made
  ~WorkFolder();
  WorkFolder(const WorkFolder &) = delete;
  WorkFolder &operator=(const WorkFolder &) = delete;

  const std::string &path() const { return path_; }

private:
  std::string path_;
};

} // namespace rehearsal
