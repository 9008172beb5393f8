// The recording tool, which stands in for the interpreter and writes down
// what it was given, and its report read back.
#pragma once

#include "run_program.h"
#include "temp_folder.h"

#include <map>
#include <string>
#include <vector>

struct Recording {
  bool found = false;
  std::vector<std::string> args;
  struct Chunk {
    long long at_ns;
    std::string bytes;
  };
  std::vector<Chunk> chunks;
  int other_ends = -1;
  long long eof_ns = 0, end_ns = 0;
  std::string all_bytes() const;
};

Recording read_recording(const std::string &report_path);

// The recording tool as the interpreter of one program's run, with a report
// of its own.
class RecordingTool {
public:
  // A run with COMSPEC naming the tool, and these RECORDING_TOOL_* settings.
  ProgramSetup
  setup(const std::map<std::string, std::string> &settings = {}) const;
  std::string report_path() const { return folder_ / "report"; }
  Recording recording() const { return read_recording(report_path()); }

private:
  TempFolder folder_;
};
