// What a rehearsal says on the console once its machines have run.
#pragma once

#include "machine_verdict.h"
#include "machines.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace rehearsal {

// Each shows on `console`: standard output, or standard error where
// standard output carries the report.

// One machine, as a rehearsal of one capture has always said it: the
// program's own console has been shown, and what the verdict means follows;
// a failed machine's reasons go to `errors`, standard error.
void show_verdict(std::FILE *console, std::FILE *errors,
                  const std::string &program, const MachineVerdict &verdict);

// One row of a fleet's table: a machine's name, its word and its reasons.
struct TableRow {
  std::string name;
  std::string_view word;
  const std::vector<std::string> &reasons;
};

// A fleet's table, for the rehearsal and the confirmation alike: one row a
// machine under the headings machine, `word_heading` and reasons, the
// words' column as wide as the widest of `words`.
void show_rows(std::FILE *console, const std::string &word_heading,
               const std::vector<std::string_view> &words,
               const std::vector<TableRow> &rows);

// A fleet: one row a machine, its verdict and its reasons, then the tally.
void show_table(std::FILE *console, const std::string &program,
                const std::vector<Machine> &machines,
                const std::vector<MachineVerdict> &verdicts);

// Copies the file at `path` to `console`; false if it cannot.
bool show_file(std::FILE *console, const std::string &path);

} // namespace rehearsal
