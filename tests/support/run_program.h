// Runs a program to its end with a chosen environment, standard input and
// folder, and keeps what it printed. SIGPIPE is as the default has it, even
// where the test was started ignoring it.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

struct ProgramRun {
  int exit_code = -1;
  std::string out;
  std::string err;
  long long started_ns = 0; // monotonic clock, comparable across processes
  long long ended_ns = 0;
  long long elapsed_ms() const { return (ended_ns - started_ns) / 1000000; }
};

struct ProgramSetup {
  std::vector<std::string> args; // after the program's own name
  std::map<std::string, std::optional<std::string>> env; // nullopt: unset
  std::string stdin_path = "/dev/null"; // empty: start with no standard input
  std::string folder;                   // empty: the test's own
  bool output_read = true; // false: its output's reader has gone at start
};

ProgramRun run_program(const std::string &program, const ProgramSetup &setup);
