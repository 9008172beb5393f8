#include "delivery_contract.h"

#include "recording_tool_says.h"

#include <gtest/gtest.h>

void expect_delivery_contract(const Deliverable &deliverable,
                              const ProgramRun &run, const Recording &tool,
                              bool pause_measured) {
  EXPECT_EQ(run.exit_code, 0) << "the tool's own status is not passed on";
  EXPECT_EQ(run.out, recording_tool_says);
  EXPECT_EQ(run.err, "");
  ASSERT_TRUE(tool.found) << "the tool was not started";
  ASSERT_EQ(tool.chunks.size(), 1u);
  EXPECT_EQ(tool.chunks[0].bytes, deliverable.script);
  if (pause_measured) {
    EXPECT_GE(ms_between(run.started_ns, tool.chunks[0].at_ns), pause_ms);
  }
  EXPECT_GT(tool.eof_ns, 0) << "end of input follows the script";
  ASSERT_GT(tool.end_ns, 0) << "the tool had not ended with the program";
  EXPECT_GT(run.ended_ns, tool.end_ns) << "the program waits for the tool";
}
