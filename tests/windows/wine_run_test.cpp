// A Windows build of the deliverables, in PROGRAMS, run to its end under Wine
// with Wine's own command interpreter, against a tool from the 64-bit build,
// in TOOLS, at DiskPart's path in the test prefix. Built once per width.
// Each run takes the full five-second pause, and far longer where 32-bit code
// is emulated, so each run checks as much as it can.
#include "deliverables.h"
#include "recording.h"
#include "run_program.h"
#include "wine_run.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string programs = PROGRAMS;
// The Wine prefix holds drive c: in drive_c.
const fs::path tool_path = fs::path(WINE_PREFIX) / ("drive_" + path_on_drive());

void place_tool(const std::string &program) {
  fs::create_directories(tool_path.parent_path());
  fs::copy_file(program, tool_path, fs::copy_options::overwrite_existing);
}

// Where 32-bit code is emulated, a wall-clock bound on the pause means
// nothing: those runs check it only where the code runs natively.
class UnderWine : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    std::printf("Wine runs these programs %s.\n", EXECUTION);
  }
};

class RunsUnderWine : public UnderWine,
                      public ::testing::WithParamInterface<Deliverable> {};

// Arguments change nothing. Only one of the two runs is given them: runs are
// costly where 32-bit code is emulated.
std::vector<std::string> arguments_for(const Deliverable &deliverable) {
  if (deliverable.script == sized_script)
    return {"/?", "SIZE=5", "two words", "c:\\other.exe"};
  return {};
}

TEST_P(RunsUnderWine, DeliversItsScriptInOnePieceAndWaitsForTheTool) {
  const Deliverable &deliverable = GetParam();
  place_tool(std::string(TOOLS) + "/recording_diskpart.exe");
  const std::string report = tool_path.string() + ".report";
  fs::remove(report);

  const ProgramRun run =
      run_under_wine(deliverable.program, arguments_for(deliverable));
  const Recording tool = read_recording(report);

  EXPECT_EQ(run.exit_code, 0) << "the tool's own status is not passed on";
  ASSERT_TRUE(tool.found) << "the tool was not started";
  ASSERT_EQ(tool.chunks.size(), 1u);
  EXPECT_EQ(tool.chunks[0].bytes, deliverable.script);
  EXPECT_GT(tool.eof_ns, 0) << "end of input follows the script";
  if (NATIVE) {
    EXPECT_GE(ms_between(run.started_ns, tool.chunks[0].at_ns), pause_ms);
  }
  // The tool stays a second after end of input: a program that does not
  // wait for it ends first.
  ASSERT_GT(tool.end_ns, 0) << "the tool had not ended with the program";
  EXPECT_GT(run.ended_ns, tool.end_ns);
  const std::string tool_line = "recording DiskPart: end of input after " +
                                std::to_string(tool.chunks[0].bytes.size()) +
                                " bytes";
  EXPECT_NE(run.out.find(tool_line), std::string::npos)
      << "the tool's output reaches the console:\n"
      << run.out;
  EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(Deliverables, RunsUnderWine,
                         windows_deliverables(programs), deliverable_name);

TEST_F(UnderWine, EndsWithZeroWhenNoToolIsAtThePath) {
  fs::remove(tool_path);
  const ProgramRun run = run_under_wine(programs + "/raidvol-nosize.exe");
  EXPECT_EQ(run.exit_code, 0);
  if (NATIVE) {
    EXPECT_GE(run.elapsed_ms(), pause_ms);
  }
  EXPECT_NE((run.out + run.err).find(disk_tool_command), std::string::npos)
      << "the interpreter names what it could not start:\n"
      << run.out << run.err;
}

TEST_F(UnderWine, CreatesTheVolumeOnTheSimulatedDiskPart) {
  place_tool(std::string(TOOLS) + "/drives/" + path_on_drive());
  const ProgramRun run = run_under_wine(programs + "/raidvol-sized.exe");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_NE(run.out.find(sized_volume_made), std::string::npos)
      << run.out << run.err;
  EXPECT_EQ(run.err, "");
}

} // namespace
