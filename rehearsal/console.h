// What a rehearsal says on the console once its machines have run.
#pragma once

#include "conclusion.h"
#include "machines.h"

#include <cstdio>
#include <string>
#include <vector>

namespace rehearsal {

// Each shows on `console`: standard output, or standard error where
// standard output carries the report. A failed machine's reasons go to
// standard error.

// One machine, as a rehearsal of one capture has always said it: the
// program's own console has been shown, and what the verdict means follows.
void show_verdict(std::FILE *console, const std::string &program,
                  const Outcome &outcome);

// A fleet: one row a machine, its verdict and its reasons, then the tally.
void show_table(std::FILE *console, const std::string &program,
                const std::vector<Machine> &machines,
                const std::vector<Outcome> &outcomes);

// Copies the file at `path` to `console`; false if it cannot.
bool show_file(std::FILE *console, const std::string &path);

} // namespace rehearsal
