// The real programs, run to their end against the recording tool or
// the stand-in machine. Each run takes the full five-second pause.
#include "deliverables.h"
#include "delivery_contract.h"
#include "disk_captures.h"
#include "recording.h"
#include "run_program.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace {

class RunsAgainstARecordingTool : public ::testing::TestWithParam<Deliverable> {
};

TEST_P(RunsAgainstARecordingTool,
       DeliversItsScriptInOnePieceAfterThePauseWhateverTheArguments) {
  const RecordingTool recorder;
  ProgramSetup setup = recorder.setup(lingering_failing_tool);
  setup.args = {"/?", "", "SIZE=5", "c:\\other.exe", "--help"};
  const ProgramRun run = run_program(GetParam().program, setup);
  const Recording tool = recorder.recording();

  expect_delivery_contract(GetParam(), run, tool);
  EXPECT_EQ(tool.args, (std::vector<std::string>{RECORDING_TOOL, "/c",
                                                 disk_tool_command}));
  EXPECT_EQ(tool.other_ends, 0);
}

INSTANTIATE_TEST_SUITE_P(Deliverables, RunsAgainstARecordingTool,
                         both_deliverables(RAIDVOL_SIZED, RAIDVOL_NOSIZE),
                         deliverable_name);
TEST(Runs, EndsAtOnceWithoutStandardInput) {
  const RecordingTool recorder;
  ProgramSetup setup = recorder.setup();
  setup.stdin_path = "";
  const ProgramRun run = run_program(RAIDVOL_SIZED, setup);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_LT(run.elapsed_ms(), pause_ms / 2);
  EXPECT_FALSE(recorder.recording().found) << "no interpreter was started";
  EXPECT_EQ(run.out + run.err, "");
}

TEST(Runs, EndsWithZeroWhenTheToolEndsBeforeReading) {
  const RecordingTool recorder;
  const ProgramRun run = run_program(
      RAIDVOL_NOSIZE, recorder.setup({{"RECORDING_TOOL_EXIT_AT_ONCE", "1"},
                                      {"RECORDING_TOOL_EXIT_CODE", "2"}}));
  EXPECT_EQ(run.exit_code, 0) << "a pipe with no reader must not kill it";
  EXPECT_GE(run.elapsed_ms(), pause_ms);
  EXPECT_TRUE(recorder.recording().chunks.empty());
}

TEST(Runs, EndsWithZeroAfterThePauseWhenNoToolIsAtThePath) {
  TempFolder empty_drives;
  ProgramSetup setup;
  setup.env = {{"COMSPEC", CMD_STAND_IN},
               {"RAIDVOL_DRIVES", empty_drives.path()}};
  const ProgramRun run = run_program(RAIDVOL_SIZED, setup);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_GE(run.elapsed_ms(), pause_ms);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("is not recognized"), std::string::npos)
      << "the interpreter's own message: " << run.err;
}

TEST(Runs, CreatesTheVolumeOnTheSimulatedMachineWithNoEnvironmentSet) {
  ProgramSetup setup;
  setup.folder = BUILD_FOLDER;
  setup.env = {{"COMSPEC", std::nullopt},
               {"RAIDVOL_DRIVES", std::nullopt},
               {"RAIDVOL_DISKS", std::nullopt},
               {"PATH", "/nonexistent"}};
  const ProgramRun run = run_program(RAIDVOL_SIZED, setup);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_NE(run.out.find(sized_volume_made), std::string::npos)
      << run.out << run.err;
  EXPECT_EQ(run.err, "");
}

// scripts/rehearse run in a folder of the caller's, on this build: the exit
// status that a pipeline gates on, and what it says. The RAIDVOL_DISKS of
// the caller's environment plays no part.
struct Rehearsal {
  const char *name;
  std::vector<std::string> args;
  std::string capture; // saved as disks.txt in the caller's folder
  int status;
  std::string said;
};

void PrintTo(const Rehearsal &rehearsal, std::ostream *out) {
  *out << rehearsal.name;
}

class Rehearses : public ::testing::TestWithParam<Rehearsal> {};

TEST_P(Rehearses, ExitsWithTheVerdictOfTheSimulatedDiskPart) {
  const Rehearsal &rehearsal = GetParam();
  TempFolder caller;
  caller.write("disks.txt", rehearsal.capture);
  ProgramSetup setup;
  setup.args = rehearsal.args;
  setup.folder = caller.path();
  setup.env = {{"RAIDVOL_REHEARSAL_BUILD", BUILD_FOLDER},
               {"RAIDVOL_DISKS", caller / "none"},
               {"COMSPEC", std::nullopt},
               {"RAIDVOL_DRIVES", std::nullopt}};
  const ProgramRun run = run_program(REHEARSE, setup);
  EXPECT_EQ(run.exit_code, rehearsal.status) << run.out << run.err;
  EXPECT_NE((run.out + run.err).find(rehearsal.said), std::string::npos)
      << run.out << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Verdicts, Rehearses,
    ::testing::Values(
        Rehearsal{"MadeUpDisks",
                  {},
                  "",
                  0,
                  std::string(sized_volume_made) +
                      "\n\nDISKPART> \nLeaving DiskPart.\n\nrehearse: "
                      "raidvol-sized would create the volume on this machine."
                      "\n"},
        Rehearsal{"Described",
                  {"--nosize", "--disks", "disks.txt"},
                  capture(),
                  0,
                  "rehearse: raidvol-nosize would create the volume"},
        Rehearsal{"Refused",
                  {"--disks", "disks.txt"},
                  capture({{2, disk_row("Disk 2", "Online", "100 GB", "100 GB",
                                        "")}}),
                  1,
                  "Disk 2 is a basic disk"},
        Rehearsal{"Unusable",
                  {"--disks", "disks.txt"},
                  "There are no fixed disks to show.\n",
                  2,
                  "/disks.txt: holds no LIST DISK table"},
        Rehearsal{"BadOption", {"--size=1000"}, "", 2, "unknown option"},
        Rehearsal{"Help", {"--help"}, "", 0, "usage: scripts/rehearse"}),
    [](const ::testing::TestParamInfo<Rehearsal> &info) {
      return info.param.name;
    });

} // namespace
