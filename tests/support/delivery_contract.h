// What a deliverable owes the disk tool on every run, wherever it runs: its
// script in one piece, no sooner than the pause after the start, then end of
// input; nothing printed of its own; and its end after the tool's, with
// status 0 whatever the tool's.
#pragma once

#include "deliverables.h"
#include "recording.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

// The recording tool's settings for a run that shows it: the tool stays a
// second after end of input, so that a program that does not wait for it
// ends first, and fails, so that one that passes its status on shows.
inline const std::map<std::string, std::string> lingering_failing_tool = {
    {"RECORDING_TOOL_LINGER_MS", "1000"}, {"RECORDING_TOOL_EXIT_CODE", "3"}};

// Where code runs emulated, the wall clock tells nothing of the pause.
inline void expect_delivery_contract(const Deliverable &deliverable,
                                     const ProgramRun &run,
                                     const Recording &tool,
                                     bool pause_measured = true) {
  EXPECT_EQ(run.exit_code, 0) << "the tool's own status is not passed on";
  EXPECT_EQ(run.out + run.err, "") << "the program prints nothing of its own";
  ASSERT_TRUE(tool.found) << "the tool was not started";
  ASSERT_GT(tool.end_ns, 0) << "the tool had not ended with the program";
  EXPECT_GT(run.ended_ns, tool.end_ns) << "the program waits for the tool";
  EXPECT_GT(tool.eof_ns, 0) << "end of input follows the script";
  ASSERT_EQ(tool.chunks.size(), 1u) << "the script in one piece";
  EXPECT_EQ(tool.chunks[0].bytes, deliverable.script);
  if (pause_measured) {
    EXPECT_GE(ms_between(run.started_ns, tool.chunks[0].at_ns), pause_ms);
  }
}
