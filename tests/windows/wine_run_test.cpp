// A Windows build of the deliverables, in PROGRAMS, run to its end under Wine
// with Wine's own command interpreter, against a tool from the 64-bit build,
// in TOOLS, at DiskPart's path in the test prefix. Built once per width.
// Each run takes the full five-second pause, and far longer where 32-bit code
// is emulated, so each run checks as much as it can.
#include "deliverables.h"
#include "delivery_contract.h"
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
  place_tool(std::string(TOOLS) + "/recording_tool.exe");
  const RecordingTool recorder;
  auto settings = lingering_failing_tool;
  settings["RECORDING_TOOL_REPORT"] = windows_path(recorder.report_path());

  const ProgramRun run =
      run_under_wine(GetParam().program, arguments_for(GetParam()), settings);
  expect_delivery_contract(GetParam(), run, recorder.recording(), NATIVE);
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
