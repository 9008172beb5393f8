// Runs a program to its end with a chosen environment, standard input and
// folder, and keeps what it printed. SIGPIPE is as the default has it, even
// where the test was started ignoring it.
#pragma once

#include "clock.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

struct ProgramRun {
  int exit_code = -1;
  std::string out;
  std::string err;
  long long started_ns = 0; // on the setup's clock, before the start
  long long ended_ns = 0;   // and after the end
  long long elapsed_ms() const { return ms_between(started_ns, ended_ns); }
};

struct ProgramSetup {
  std::vector<std::string> args; // after the program's own name
  std::map<std::string, std::optional<std::string>> env; // nullopt: unset
  std::string stdin_path = "/dev/null"; // empty: start with no standard input
  std::string folder;                   // empty: the test's own
  bool output_read = true; // false: its output's reader has gone at start
  clockid_t clock = CLOCK_MONOTONIC; // what started_ns and ended_ns read
  // If set, the program starts in a process group of its own, and this is
  // called with its pid before its output is read.
  std::function<void(pid_t)> while_running = nullptr;
};

ProgramRun run_program(const std::string &program, const ProgramSetup &setup);
