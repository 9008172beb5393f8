#include "work_folder.h"

#include "conclusion.h"
#include "stop.h"

#include <cstdlib>
#include <filesystem>

namespace rehearsal {

WorkFolder::WorkFolder() {
  const char *const set = std::getenv("TMPDIR");
  const std::string base = set != nullptr && *set != '\0' ? set : "/tmp";
  path_ = base + "/raidvol-rehearsal-XXXXXX";
  if (mkdtemp(path_.data()) == nullptr)
    throw Stop(not_run_status,
               with_error("cannot make a temporary folder in " + base));
  // The machines' programs run in folders inside it, where a relative
  // TMPDIR would lead elsewhere.
  std::error_code error;
  const std::string made = path_;
  path_ = std::filesystem::absolute(made, error).string();
  if (error) {
    std::filesystem::remove(made, error);
    throw Stop(not_run_status,
               "cannot tell where the temporary folder " + made + " is");
  }
}

WorkFolder::~WorkFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

} // namespace rehearsal
