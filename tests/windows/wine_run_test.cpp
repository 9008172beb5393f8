// The 64-bit Windows build of the deliverables, run to its end under Wine
// with Wine's own command interpreter, against what sits at DiskPart's path
// in the test prefix. Each run takes the full five-second pause.
#include "recording.h"
#include "run_program.h"
#include "temp_folder.h"

#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <ostream>

namespace {

namespace fs = std::filesystem;

constexpr long long pause_ms = 5000;
constexpr char sized_script[] =
    "CREATE VOLUME RAID SIZE=1000 DISK=0,1,2,3\r\nEXIT\r\n";
constexpr char nosize_script[] = "CREATE VOLUME RAID DISK=0,1,2,3\r\nEXIT\r\n";

const fs::path tool_path =
    fs::path(WINE_PREFIX) / "drive_c/vel/kelvox/diskpart.exe";

// Wall-clock nanoseconds: the clock that Wine's programs see as well.
long long realtime_ns() {
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return now.tv_sec * 1000000000LL + now.tv_nsec;
}

struct WineRun {
  int exit_code = -1;
  std::string out;
  std::string err;
  long long started_ns = 0; // wall clock, before Wine was started
  long long ended_ns = 0;   // wall clock, after the program had ended
};

// Wine's services outlive the program and hold on to what it writes to, so
// its output goes to files rather than to pipes that would stay open.
WineRun run_under_wine(const std::string &program) {
  TempFolder output;
  ProgramSetup setup;
  const std::string to_files = "exec \"$0\" \"$1\" >\"$2\" 2>\"$3\"";
  setup.args = {"-c",    to_files,       WINE64,
                program, output / "out", output / "err"};
  setup.env = {{"WINEPREFIX", WINE_PREFIX},
               {"WINEDEBUG", "-all"},
               {"COMSPEC", std::nullopt},
               {"DISPLAY", std::nullopt},
               {"WAYLAND_DISPLAY", std::nullopt}};
  WineRun run;
  run.started_ns = realtime_ns();
  run.exit_code = run_program("/bin/sh", setup).exit_code;
  run.ended_ns = realtime_ns();
  run.out = output.read("out");
  run.err = output.read("err");
  return run;
}

void place_tool(const char *program) {
  fs::copy_file(program, tool_path, fs::copy_options::overwrite_existing);
}

long long ms_between(long long from_ns, long long to_ns) {
  return (to_ns - from_ns) / 1000000;
}

struct Deliverable {
  const char *program;
  const char *script;
};

void PrintTo(const Deliverable &deliverable, std::ostream *out) {
  *out << deliverable.program;
}

class RunsUnderWine : public ::testing::TestWithParam<Deliverable> {};

TEST_P(RunsUnderWine, DeliversItsScriptInOnePieceAfterThePause) {
  const Deliverable &deliverable = GetParam();
  place_tool(RECORDING_TOOL);
  const std::string report = tool_path.string() + ".report";
  fs::remove(report);

  const WineRun run = run_under_wine(deliverable.program);
  const Recording tool = read_recording(report);

  EXPECT_EQ(run.exit_code, 0) << "the tool's own status is not passed on";
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
  ASSERT_TRUE(tool.found) << "the tool was not started";
  ASSERT_EQ(tool.chunks.size(), 1u);
  EXPECT_EQ(tool.chunks[0].bytes, deliverable.script);
  EXPECT_GE(ms_between(run.started_ns, tool.chunks[0].at_ns), pause_ms);
  EXPECT_GT(tool.eof_ns, 0) << "end of input follows the script";
  // The tool stays a second after end of input: a program that does not
  // wait for it ends first.
  ASSERT_GT(tool.end_ns, 0) << "the tool had not ended with the program";
  EXPECT_GT(run.ended_ns, tool.end_ns);
}

INSTANTIATE_TEST_SUITE_P(
    Deliverables, RunsUnderWine,
    ::testing::Values(Deliverable{RAIDVOL_SIZED, sized_script},
                      Deliverable{RAIDVOL_NOSIZE, nosize_script}),
    [](const auto &info) {
      return std::string(info.param.script == sized_script ? "Sized"
                                                           : "Nosize");
    });

TEST(RunUnderWine, EndsWithZeroAfterThePauseWhenNoToolIsAtThePath) {
  fs::remove(tool_path);
  const WineRun run = run_under_wine(RAIDVOL_NOSIZE);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_GE(ms_between(run.started_ns, run.ended_ns), pause_ms);
  EXPECT_NE((run.out + run.err).find("c:\\vel\\kelvox\\diskpart.exe"),
            std::string::npos)
      << "the interpreter names what it could not start:\n"
      << run.out << run.err;
}

TEST(RunUnderWine, CreatesTheVolumeOnTheSimulatedDiskPart) {
  place_tool(DISKPART_STAND_IN);
  const WineRun run = run_under_wine(RAIDVOL_SIZED);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_NE(run.out.find("Created RAID-5 volume 1 with 1000 MB on each of "
                         "disks 0, 1, 2, 3."),
            std::string::npos)
      << run.out << run.err;
  EXPECT_EQ(run.err, "");
}

} // namespace
