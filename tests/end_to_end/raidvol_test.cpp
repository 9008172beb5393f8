// The real programs, run to their end against the recording tool or
// the stand-in machine. Each run takes the full five-second pause.
#include "deliverables.h"
#include "delivery_contract.h"
#include "disk_captures.h"
#include "recording.h"
#include "run_program.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

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
// status that a pipeline gates on, what it says, its report, and what it
// leaves. No setting of the caller's that steers the stand-ins plays a part.
struct Rehearsal {
  const char *name;
  std::vector<std::string> args;
  std::map<std::string, std::string> files; // saved in the caller's folder
  int status;
  std::string said;
  // report.json's machines, each reason the start of the one given; null
  // where no report may be left.
  nlohmann::json machines = nullptr;
  // DiskPart is wrapped (below), so that a capture's name can make it fail.
  bool wrapped = false;
  // Sent once its machines run: SIGINT to its process group, as Ctrl-C
  // sends it, any other to it alone.
  int signal = 0;
  // Symbolic links made in the caller's folder, to their targets.
  std::map<std::string, std::string> links = {};
  // Named pipes made in the caller's folder: each is one still afterwards.
  std::vector<std::string> pipes = {};
  // Once its machines run, the build's program is replaced by one that hands
  // DiskPart nothing, as a rebuild beside the rehearsal would.
  bool rebuilt = false;
};

void PrintTo(const Rehearsal &rehearsal, std::ostream *out) {
  *out << rehearsal.name;
}

// Stands in for DiskPart where a capture's file name says: "silent" gives no
// verdict, "idle" the verdict of a DiskPart handed no CREATE, "asleep" says
// it runs on the pipe @asleep@ and holds that open until it ends. Any other
// is the simulated DiskPart's.
constexpr char wrapped_diskpart[] = R"(case ${RAIDVOL_DISKS##*/} in
silent*) cat >/dev/null ;;
idle*) echo unchanged >"$RAIDVOL_VERDICT" ;;
asleep*) exec 3>"@asleep@"; echo >&3; exec cat >/dev/null ;;
*) exec ")" DISKPART_STAND_IN R"(" ;;
esac)";

// A build folder of the rehearsal's, with DiskPart wrapped.
std::string wrapped_build(const TempFolder &folder, const std::string &asleep) {
  namespace fs = std::filesystem;
  const std::string build = folder / "build";
  fs::create_directory(build);
  // Each finds what it needs beside its own file, so these are copies.
  for (const std::string program : {REHEARSAL_RUNNER, CMD_STAND_IN})
    fs::copy_file(program, build + "/" + fs::path(program).filename().string());
  fs::create_symlink(RAIDVOL_SIZED, build + "/raidvol-sized");
  std::string body = wrapped_diskpart;
  const std::string marker = "@asleep@";
  body.replace(body.find(marker), marker.size(), asleep);
  folder.script("build/drives/" + path_on_drive(), body);
  return build;
}

// The pids of the processes whose current folder is in `folder`.
std::vector<std::string> processes_in(const std::string &folder) {
  std::vector<std::string> found;
  std::error_code error;
  for (const auto &entry : std::filesystem::directory_iterator("/proc", error))
    if (std::filesystem::read_symlink(entry.path() / "cwd", error)
            .string()
            .rfind(folder, 0) == 0)
      found.push_back(entry.path().filename());
  return found;
}

// Whether `pipe` has something to read, or has lost its last writer, within
// a minute: a wait whose event cannot come fails, saying so.
bool ready_within_a_minute(int pipe) {
  pollfd ready{pipe, POLLIN, 0};
  int count;
  while ((count = poll(&ready, 1, 60'000)) == -1 && errno == EINTR) {
  }
  return count > 0;
}

// The pipe `asleep`, open, once each of the `count` "asleep" DiskParts has
// said it runs; -1, the rehearsal `rehearsal` ended and the test failed,
// where they do not within a minute each.
int once_asleep(pid_t rehearsal, const std::string &asleep, std::size_t count) {
  const int pipe = open(asleep.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  std::size_t started = 0;
  char byte;
  while (pipe != -1 && started < count && ready_within_a_minute(pipe)) {
    const ssize_t read_count = read(pipe, &byte, 1);
    if (read_count == 0)
      break;
    started += read_count == 1 ? 1 : 0;
  }
  if (started == count)
    return pipe;
  ADD_FAILURE() << started << " of " << count
                << " asleep DiskParts started within a minute";
  kill(-rehearsal, SIGKILL);
  if (pipe != -1)
    close(pipe);
  return -1;
}

// Once every "asleep" DiskPart of the rehearsal with pid `rehearsal` runs,
// sends it `signal`, then waits until all have ended.
void interrupt(pid_t rehearsal, int signal, const std::string &asleep,
               std::size_t count) {
  const int pipe = once_asleep(rehearsal, asleep, count);
  if (pipe == -1)
    return;
  kill(signal == SIGINT ? -rehearsal : rehearsal, signal);
  char byte;
  while (ready_within_a_minute(pipe) && read(pipe, &byte, 1) != 0) {
  }
  EXPECT_EQ(read(pipe, &byte, 1), 0) << "an asleep DiskPart outlived a minute";
  close(pipe);
}

// Once every "asleep" DiskPart runs, replaces the program in `build`.
void rebuild(pid_t rehearsal, const std::string &asleep, std::size_t count,
             const std::string &build) {
  const int pipe = once_asleep(rehearsal, asleep, count);
  if (pipe == -1)
    return;
  std::filesystem::remove(build + "/raidvol-sized");
  std::filesystem::create_symlink("/bin/true", build + "/raidvol-sized");
  close(pipe);
}

class Rehearses : public ::testing::TestWithParam<Rehearsal> {};

TEST_P(Rehearses, ExitsWithTheVerdictOfTheSimulatedDiskPart) {
  const Rehearsal &rehearsal = GetParam();
  TempFolder caller;
  for (const auto &[name, content] : rehearsal.files)
    caller.write(name, content);
  for (const auto &[name, target] : rehearsal.links) {
    std::filesystem::create_directories(
        std::filesystem::path(caller / name).parent_path());
    std::filesystem::create_symlink(target, caller / name);
  }
  for (const std::string &pipe : rehearsal.pipes)
    ASSERT_EQ(mkfifo((caller / pipe).c_str(), 0600), 0);
  const std::string asleep = caller / "asleep";
  ASSERT_EQ(mkfifo(asleep.c_str(), 0600), 0);
  std::filesystem::create_directory(caller / "tmp");
  const std::string build =
      rehearsal.wrapped ? wrapped_build(caller, asleep) : BUILD_FOLDER;
  ProgramSetup setup;
  setup.args = rehearsal.args;
  setup.folder = caller.path();
  setup.env = {{"RAIDVOL_REHEARSAL_BUILD", build},
               // Relative, as a caller may set it.
               {"TMPDIR", "tmp"},
               {"RAIDVOL_DISKS", caller / "none"},
               {"RAIDVOL_VERDICT", caller / "none"},
               {"COMSPEC", "/bin/false"},
               {"RAIDVOL_DRIVES", caller / "none"}};
  const std::size_t asleep_count = std::count_if(
      rehearsal.files.begin(), rehearsal.files.end(), [](const auto &file) {
        return file.first.find("asleep") != std::string::npos;
      });
  if (rehearsal.signal != 0)
    setup.while_running = [&](pid_t pid) {
      interrupt(pid, rehearsal.signal, asleep, asleep_count);
    };
  if (rehearsal.rebuilt)
    setup.while_running = [&](pid_t pid) {
      rebuild(pid, asleep, asleep_count, build);
    };
  const ProgramRun run = run_program(REHEARSE, setup);
  EXPECT_EQ(run.exit_code, rehearsal.status) << run.out << run.err;
  EXPECT_NE((run.out + run.err).find(rehearsal.said), std::string::npos)
      << run.out << run.err;
  if (rehearsal.signal != 0) {
    EXPECT_LT(run.elapsed_ms(), pause_ms) << "its runs are ended, not awaited";
  }
  EXPECT_TRUE(std::filesystem::is_empty(caller / "tmp"));
  // What the caller handed over is left as it was; only an earlier report
  // may go.
  for (const auto &[name, content] : rehearsal.files)
    if (name != "report.json") {
      EXPECT_EQ(caller.read(name), content) << name;
    }
  for (const std::string &pipe : rehearsal.pipes)
    EXPECT_TRUE(std::filesystem::is_fifo(caller / pipe)) << pipe;
  EXPECT_FALSE(caller.has("-")) << "- is standard output";
  EXPECT_EQ(run.err.find("machines done"), std::string::npos)
      << "progress on a standard error that is no terminal";
  EXPECT_EQ(processes_in(caller.path()), std::vector<std::string>{});
  if (rehearsal.machines.is_null()) {
    EXPECT_FALSE(caller.has("report.json"));
    return;
  }
  // A fleet's machines' consoles are kept, or dropped: only its table shows.
  const auto given = [&](const std::string &arg) {
    return std::count(rehearsal.args.begin(), rehearsal.args.end(), arg) > 0;
  };
  const bool keeps_transcripts = given("--transcripts");
  if (rehearsal.machines.size() > 1) {
    EXPECT_EQ((run.out + run.err).find("DISKPART>"), std::string::npos);
  }
  const auto report =
      nlohmann::json::parse(given("-") ? run.out : caller.read("report.json"));
  EXPECT_EQ(report["program"],
            given("--nosize") ? "raidvol-nosize" : "raidvol-sized");
  ASSERT_EQ(report["machines"].size(), rehearsal.machines.size()) << report;
  for (std::size_t i = 0; i < rehearsal.machines.size(); ++i) {
    nlohmann::json machine = report["machines"][i];
    const nlohmann::json expected = rehearsal.machines[i];
    ASSERT_EQ(machine["reasons"].size(), expected["reasons"].size()) << machine;
    for (std::size_t r = 0; r < expected["reasons"].size(); ++r)
      EXPECT_EQ(machine["reasons"][r].get<std::string>().rfind(
                    expected["reasons"][r].get<std::string>(), 0),
                0u)
          << machine;
    machine["reasons"] = expected["reasons"];
    EXPECT_EQ(machine, expected);
    EXPECT_EQ(caller.has("transcripts/" +
                         machine["machine"].get<std::string>() + ".txt"),
              keeps_transcripts);
  }
}

// Disk 2 basic: refused.
std::string refused_capture() {
  return capture({{2, disk_row("Disk 2", "Online", "100 GB", "100 GB", "")}});
}

const std::map<std::string, std::string> asleep_fleet = {
    {"fleet/asleep-1.txt", capture()},
    {"fleet/asleep-2.txt", capture()},
    {"report.json", "an earlier report"}};

const std::vector<std::string> fleet_args = {"--disks",       "fleet",
                                             "--report",      "report.json",
                                             "--transcripts", "transcripts"};

INSTANTIATE_TEST_SUITE_P(
    Verdicts, Rehearses,
    ::testing::Values(
        Rehearsal{
            .name = "MadeUpDisks",
            .args = {"--report", "-"},
            .status = 0,
            .said = std::string(sized_volume_made) +
                    "\n\nDISKPART> \nLeaving DiskPart.\n\nrehearse: "
                    "raidvol-sized would create the volume on this machine."
                    "\n",
            .machines = nlohmann::json::parse(R"([
  {"machine": "made-up disks", "capture": null, "verdict": "created",
   "reasons": []}])")},
        Rehearsal{.name = "Refused",
                  .args = {"--nosize", "--disks", "disks.txt", "--report",
                           "report.json", "--transcripts", "transcripts"},
                  .files = {{"disks.txt", refused_capture()}},
                  .status = 1,
                  .said = "Disk 2 is a basic disk",
                  .machines = nlohmann::json::parse(R"([
  {"machine": "disks", "capture": "disks.txt", "verdict": "refused",
   "reasons": ["Disk 2 is a basic disk"]}])")},
        Rehearsal{
            .name = "Fleet",
            .args = {"--disks", "fleet", "--disks", "idle.txt", "--report",
                     "report.json"},
            .files = {{"fleet/created.txt", capture()},
                      {"fleet/refused.txt", refused_capture()},
                      {"fleet/unusable.txt", "There are no fixed disks.\n"},
                      {"fleet/silent.txt", capture()},
                      {"fleet/.hidden.txt", "not a capture"},
                      {"idle.txt", capture()},
                      {"report.json", "an earlier report"}},
            .status = 3,
            .said = "machine   verdict   reasons\n"
                    "created   created\n"
                    "gone      unusable  cannot be read",
            .machines = nlohmann::json::parse(R"([
  {"machine": "created", "capture": "fleet/created.txt",
   "verdict": "created", "reasons": []},
  {"machine": "gone", "capture": "fleet/gone.txt", "verdict": "unusable",
   "reasons": ["cannot be read"]},
  {"machine": "idle", "capture": "idle.txt", "verdict": "failed",
   "reasons": ["the simulated DiskPart was asked to create no volume"]},
  {"machine": "refused", "capture": "fleet/refused.txt",
   "verdict": "refused", "reasons": ["Disk 2 is a basic disk"]},
  {"machine": "silent", "capture": "fleet/silent.txt", "verdict": "failed",
   "reasons": ["the simulated DiskPart gave no verdict"]},
  {"machine": "unusable", "capture": "fleet/unusable.txt",
   "verdict": "unusable", "reasons": ["holds no LIST DISK table"]}
])"),
            .wrapped = true,
            .links = {{"fleet/gone.txt", "none.txt"}}},
        Rehearsal{
            .name = "OneMachineName",
            .args = {"--disks", "a", "--disks", "b", "--report", "report.json"},
            .files = {{"a/srv.txt", capture()},
                      {"b/srv.log", capture()},
                      {"report.json", "an earlier report"}},
            .status = 2,
            .said = "a/srv.txt and b/srv.log both name the machine srv\n"},
        Rehearsal{
            .name = "TranscriptsAmongCaptures",
            .args = {"--disks", "fleet", "--transcripts", "fleet/"},
            .files = {{"fleet/srv.txt", capture()}},
            .status = 2,
            .said = "--transcripts fleet/ would put transcripts among the "
                    "captures"},
        Rehearsal{
            .name = "ReportOnACapture",
            .args = {"--disks", "fleet", "--report", "./fleet/srv.txt"},
            .files = {{"fleet/srv.txt", capture()}},
            .status = 2,
            .said = "--report ./fleet/srv.txt would lie among the captures"},
        Rehearsal{.name = "ReportAmongTranscripts",
                  .args = {"--disks", "srv.txt", "--report", "t",
                           "--transcripts", "t"},
                  .files = {{"srv.txt", capture()}},
                  .status = 2,
                  .said = "--report t would lie among the transcripts"},
        Rehearsal{
            .name = "TranscriptsOverLinkedCaptures",
            .args = {"--disks", "batch", "--transcripts", "archive"},
            .files = {{"archive/srv.txt", capture()}},
            .status = 2,
            .said = "--transcripts archive would put transcripts among the "
                    "captures (archive/srv.txt would take the place of "
                    "batch/srv.txt)",
            .links = {{"batch/srv.txt", "../archive/srv.txt"}}},
        Rehearsal{
            .name = "ReportOnALinkedCapture",
            .args = {"--disks", "batch/srv.txt", "--report", "archive/srv.txt"},
            .files = {{"archive/srv.txt", capture()}},
            .status = 2,
            .said = "--report archive/srv.txt would lie among the captures "
                    "(batch/srv.txt)",
            .links = {{"batch/srv.txt", "../archive/srv.txt"}}},
        Rehearsal{
            .name = "ReportInAMissingFolder",
            .args = {"--disks", "srv.txt", "--report", "none/report.json"},
            .files = {{"srv.txt", capture()}},
            .status = 2,
            .said = "--report none/report.json: there is no folder none/"},
        Rehearsal{
            .name = "ReportIntoAPipeNoOneReads",
            .args = {"--disks", "fleet", "--report", "pipe"},
            .files = {{"fleet/created.txt", capture()}},
            .status = 3,
            .said = "1 created, 0 refused, 1 unusable, 0 failed.\nrehearse: "
                    "cannot write the report pipe: no one reads from it\n",
            .pipes = {"pipe", "fleet/pipe.txt"}},
        Rehearsal{.name = "NamesInMessagesAsTheTerminalShowsThem",
                  .args = {"--disks", "a", "--disks", "b"},
                  .files = {{"a/\x1B[2Kx\r.txt", capture()},
                            {"b/\x1B[2Kx\r.log", capture()}},
                  .status = 2,
                  .said = "a/\\x1B[2Kx\\x0D.txt and b/\\x1B[2Kx\\x0D.log both "
                          "name the machine \\x1B[2Kx\\x0D\n"},
        Rehearsal{.name = "RebuiltBesideAFleet",
                  .args = {"--disks", "fleet", "--jobs", "1", "--report",
                           "report.json"},
                  .files = {{"fleet/asleep-1.txt", capture()},
                            {"fleet/created.txt", capture()}},
                  .status = 3,
                  .said = "created   created",
                  .machines = nlohmann::json::parse(R"([
  {"machine": "asleep-1", "capture": "fleet/asleep-1.txt", "verdict": "failed",
   "reasons": ["the simulated DiskPart gave no verdict"]},
  {"machine": "created", "capture": "fleet/created.txt",
   "verdict": "created", "reasons": []}])"),
                  .wrapped = true,
                  .rebuilt = true},
        Rehearsal{.name = "EmptyFolder",
                  .args = {"--disks", "fleet"},
                  .files = {{"fleet/.hidden", capture()}},
                  .status = 2,
                  .said = "fleet: holds no capture"},
        Rehearsal{.name = "NoSuchPath",
                  .args = {"--disks", "none"},
                  .status = 2,
                  .said = "none: No such"},
        Rehearsal{.name = "InterruptedFleet",
                  .args = fleet_args,
                  .files = asleep_fleet,
                  .status = 130,
                  .said = "interrupted",
                  .wrapped = true,
                  .signal = SIGINT},
        Rehearsal{.name = "TerminatedFleet",
                  .args = fleet_args,
                  .files = asleep_fleet,
                  .status = 143,
                  .said = "interrupted",
                  .wrapped = true,
                  .signal = SIGTERM},
        Rehearsal{.name = "TerminatedMachine",
                  .args = {"--disks", "asleep.txt", "--report", "report.json"},
                  .files = {{"asleep.txt", capture()},
                            {"report.json", "an earlier report"}},
                  .status = 143,
                  .said = "interrupted",
                  .wrapped = true,
                  .signal = SIGTERM},
        Rehearsal{.name = "HungUpFleet",
                  .args = fleet_args,
                  .files = asleep_fleet,
                  .status = 129,
                  .said = "interrupted",
                  .wrapped = true,
                  .signal = SIGHUP},
        Rehearsal{.name = "QuitFleet",
                  .args = fleet_args,
                  .files = asleep_fleet,
                  .status = 131,
                  .said = "interrupted",
                  .wrapped = true,
                  .signal = SIGQUIT},
        Rehearsal{.name = "BadOption",
                  .args = {"--size=1000"},
                  .status = 2,
                  .said = "unknown option"},
        Rehearsal{.name = "Help",
                  .args = {"--help", "--report", "kept.json"},
                  .files = {{"kept.json", "an earlier report"}},
                  .status = 0,
                  .said = "usage: scripts/rehearse"}),
    [](const ::testing::TestParamInfo<Rehearsal> &info) {
      return info.param.name;
    });

// The build path, with a stand-in cmake that makes a stand-in runner: the
// lock is held while building, and handed to the runner, which lets go of it
// once it has its own copy of the programs; the runner runs in an
// environment of its own, wherever the script is linked.
TEST(RehearseScript, BuildsUnderItsLockAndHandsItOver) {
  namespace fs = std::filesystem;
  TempFolder clone;
  fs::create_directory(clone / "scripts");
  for (const std::string script : {"rehearse", "runner-front-door.sh",
                                   "install-packages", "fresh-if-moved"})
    fs::copy_file(fs::path(REHEARSE).parent_path() / script,
                  clone / "scripts/" + script);
  clone.script("bin/cmake", R"(
flock -n build/rehearsal.lock true && echo free >build/while-building
mkdir -p build/rehearsal
cat >build/rehearsal/rehearse <<'RUNNER'
#!/bin/sh
flock -n "${0%/*}/../rehearsal.lock" true || echo "lock held"
ls -l /proc/$$/fd/ | grep rehearsal.lock
echo "args: $*"
env
RUNNER
chmod +x build/rehearsal/rehearse)");
  fs::create_directory_symlink(clone / "scripts", clone / "linked");
  // A clone whose files differ from its commit, as after adding a status.
  ASSERT_EQ(std::system(("cd '" + clone.path() +
                         "' && git init -q && git add scripts && git -c "
                         "user.name=t -c user.email=t commit -qm t && echo "
                         ">>scripts/fresh-if-moved")
                            .c_str()),
            0);
  // Started outside the clone: the command line's paths are the caller's.
  const TempFolder caller;
  ProgramSetup setup;
  setup.folder = caller.path();
  setup.args = {"--disks", "x y"};
  setup.env = {{"PATH", clone / "bin:" + std::getenv("PATH")},
               {"RAIDVOL_REHEARSAL_BUILD", std::nullopt},
               {"COMSPEC", "cmd"},
               {"RAIDVOL_DRIVES", "drives"},
               {"RAIDVOL_DISKS", "disks"},
               {"RAIDVOL_VERDICT", "verdict"},
               {"RAIDVOL_AFTER", "after"}};
  const ProgramRun run = run_program(clone / "linked/rehearse", setup);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_FALSE(clone.has("build/while-building")) << "built without the lock";
  EXPECT_NE(run.out.find("args: --disks x y\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("-dirty\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("lock held"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("PWD=" + caller.path() + "\n"), std::string::npos)
      << run.out;
  for (const char *left : {"COMSPEC", "RAIDVOL_DRIVES", "RAIDVOL_DISKS",
                           "RAIDVOL_VERDICT", "RAIDVOL_AFTER"})
    EXPECT_EQ(run.out.find(left), std::string::npos) << run.out;
}

} // namespace
