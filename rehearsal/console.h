// What a rehearsal says on the console once its machines have run.
#pragma once

#include "conclusion.h"
#include "machines.h"

#include <string>
#include <vector>

namespace rehearsal {

// One machine, as a rehearsal of one capture has always said it: the
// program's own console has been shown, and what the verdict means follows.
void show_verdict(const std::string &program, const Outcome &outcome);

// A fleet: one row a machine, its verdict and its reasons, then the tally.
void show_table(const std::string &program,
                const std::vector<Machine> &machines,
                const std::vector<Outcome> &outcomes);

// Copies the file at `path` to standard output; false if it cannot.
bool show_file(const std::string &path);

} // namespace rehearsal
