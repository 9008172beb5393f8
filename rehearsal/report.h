// The verdicts as JSON, for a provisioning pipeline: written whole once all
// have run, or not at all.
#pragma once

#include "machine_verdict.h"
#include "machines.h"

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace rehearsal {

// The path that --report takes for standard output.
constexpr char standard_output[] = "-";

class Report {
public:
  // Where the report is to go, checked before anything runs: a folder, or a
  // path whose folder does not exist, is refused (a bad input). Throws Stop
  // where it is refused.
  explicit Report(std::string path);

  // Removes an earlier report at the path, a regular file, or empties one
  // behind a link, and what a killed rehearsal left unfinished beside it.
  // Throws Stop (failed) where it cannot.
  void remove_earlier() const;

  // A regular file, or nothing, at the path is replaced whole, in one
  // rename; a link, a named pipe or a device is written into, as a shell's >
  // would; "-" is standard output. Throws Stop (failed) where it cannot.
  void write(const nlohmann::ordered_json &report) const;

private:
  void replace(const std::string &text) const;
  void write_into(const std::string &text) const;

  std::string path_;
  bool replaced_ = false;
};

// `name`, a machine's name or a capture's path, as a report gives it: a
// backslash as \\, and each byte that is not UTF-8, and each control
// character, as \xNN, which printf's %b reads back.
std::string findable(const std::string &name);

// A report of the rehearsal and of the confirmation alike: the program,
// the project's version, the build's commit (empty: not known) and the
// list of `machines`.
nlohmann::ordered_json fleet_report(const std::string &program,
                                    const std::string &commit,
                                    nlohmann::ordered_json machines);

// `commit` empty: not known. Names and paths are given so that each stays
// distinct and findable: a backslash as \\, and each byte that is not
// UTF-8, and each control character, as \xNN, which printf's %b reads back.
nlohmann::ordered_json report_of(const std::string &program,
                                 const std::string &commit,
                                 const std::vector<Machine> &machines,
                                 const std::vector<MachineVerdict> &verdicts);

} // namespace rehearsal
