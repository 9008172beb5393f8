// The verdicts as JSON, for a provisioning pipeline: written whole, in one
// rename, or not at all.
#pragma once

#include "conclusion.h"
#include "machines.h"

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace rehearsal {

class Report {
public:
  // Removes any earlier file at `path`, so that none passes for this
  // report, and makes the unfinished file beside it that the report is
  // written to. Throws Stop where it cannot.
  explicit Report(std::string path);
  // Removes the unfinished file, unless the report was written.
  ~Report();
  Report(const Report &) = delete;
  Report &operator=(const Report &) = delete;

  void write(const nlohmann::ordered_json &report);

private:
  std::string path_;
  std::string unfinished_;
  int file_;
};

// `commit` empty: not known.
nlohmann::ordered_json report_of(const std::string &program,
                                 const std::string &commit,
                                 const std::vector<Machine> &machines,
                                 const std::vector<Outcome> &outcomes);

} // namespace rehearsal
