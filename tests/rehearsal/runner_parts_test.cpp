// The rehearsal runner's parts on their own: on values, on files of the
// test's own, and with plain shell children in place of the programs.
#include "fleet.h"
#include "machine_run.h"
#include "machines.h"
#include "report.h"
#include "temp_folder.h"
#include "work_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <filesystem>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

using rehearsal::Machine;
namespace fs = std::filesystem;

const nlohmann::ordered_json a_report = {{"machines", {"srv"}}};

// What kind of file is at `path`, not following a link.
mode_t kind_at(const std::string &path) {
  struct stat status;
  return lstat(path.c_str(), &status) == 0 ? status.st_mode & S_IFMT : 0;
}

TEST(Report, IsWrittenIntoWhatIsNotARegularFileWhichStaysInPlace) {
  const TempFolder folder;
  const std::string pipe = folder / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_NE(reader, -1);
  rehearsal::Report(pipe).write(a_report);
  char text[256] = {};
  EXPECT_GT(read(reader, text, sizeof text - 1), 0);
  close(reader);
  EXPECT_EQ(nlohmann::ordered_json::parse(text), a_report);
  EXPECT_EQ(kind_at(pipe), S_IFIFO);

  // A link's file is written, the link kept.
  folder.write("earlier.json", "an earlier report");
  fs::create_symlink("earlier.json", folder / "link");
  const rehearsal::Report linked(folder / "link");
  EXPECT_EQ(folder.read("earlier.json"), "") << "the earlier report is gone";
  linked.write(a_report);
  EXPECT_EQ(kind_at(folder / "link"), S_IFLNK);
  EXPECT_EQ(nlohmann::ordered_json::parse(folder.read("earlier.json")),
            a_report);

  // A device node of the test's own, with the numbers of the null device.
  const std::string device = folder / "null";
  if (mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)) != 0)
    GTEST_SKIP() << "cannot make a device node here: " << strerror(errno);
  rehearsal::Report(device).write(a_report);
  EXPECT_EQ(kind_at(device), S_IFCHR);
}

TEST(Report, KeepsEachNameDistinctAndFindable) {
  const std::vector<Machine> machines = {{"B\xFCro01", "f/B\xFCro01.txt", ""},
                                         {"B\xE4ro01", "f/B\xE4ro01.txt", ""},
                                         {"B\\xFCro01", "f/B\\xFCro01.txt", ""},
                                         {"\xC2\x9B\x1B", "", ""}};
  const std::vector<rehearsal::Outcome> outcomes(machines.size());
  const auto report = rehearsal::report_of("p", "", machines, outcomes);
  const std::vector<std::string> names = {"B\\xFCro01", "B\\xE4ro01",
                                          "B\\\\xFCro01", "\\xC2\\x9B\\x1B"};
  for (std::size_t i = 0; i < names.size(); ++i)
    EXPECT_EQ(report["machines"][i]["machine"], names[i]);
  EXPECT_EQ(report["machines"][0]["capture"], "f/B\\xFCro01.txt");
  EXPECT_EQ(report["machines"][3]["capture"], nullptr);
}

// An output is judged on the files after links: where it would remove or
// overwrite a capture, that capture's path as given.
TEST(Outputs, AreJudgedOnTheCapturesAfterLinks) {
  const TempFolder folder;
  folder.write("archive/srv.txt", "capture");
  fs::create_directory(folder / "batch");
  fs::create_symlink("../archive/srv.txt", folder / "batch/srv.txt");
  fs::create_hard_link(folder / "archive/srv.txt", folder / "hard.txt");
  const std::vector<std::string> disks = {folder / "batch"};
  const auto captures =
      rehearsal::capture_files(rehearsal::machines_named(disks).list);
  const std::pair<std::string, std::string> cases[] = {
      {"archive/srv.txt", folder / "batch/srv.txt"},
      {"hard.txt", folder / "batch/srv.txt"},
      {"batch/report.json", folder / "batch"},
      {"batch/.report.json", ""},
      {"archive/other.txt", ""}};
  for (const auto &[output, taken] : cases)
    EXPECT_EQ(rehearsal::capture_at(folder / output, captures, disks), taken)
        << output;
}

TEST(Progress, StaysOneLineAtTheTerminalsWidth) {
  rehearsal::Tally tally;
  tally.add(rehearsal::Conclusion::refused);
  const std::string whole = "rehearse: 1 of 1000 machines done: 0 created, "
                            "1 refused, 0 unusable, 0 failed";
  EXPECT_EQ(rehearsal::progress_line(tally, 1000, 0), whole);
  EXPECT_EQ(rehearsal::progress_line(tally, 1000, 40), whole.substr(0, 39));
  EXPECT_EQ(rehearsal::progress_line(tally, 1000, 120),
            whole + std::string(119 - whole.size(), ' '));
}

TEST(WorkFolder, RemovesWhatAKilledRehearsalLeftAndNoMore) {
  const TempFolder parent;
  for (const std::string name : {"run-killed", "run-locked", "run-emptyx"})
    fs::create_directory(parent / name);
  parent.write("run-killed/verdict", "");
  parent.write("run-locked/verdict", "");
  parent.write("run-report", "{");
  const int held = open((parent / "run-locked").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  {
    const rehearsal::WorkFolder work(parent.path(), "run-");
    EXPECT_TRUE(fs::is_directory(work.path()));
    EXPECT_FALSE(parent.has("run-killed"));
    EXPECT_FALSE(parent.has("run-report"));
    EXPECT_TRUE(parent.has("run-locked")) << "its rehearsal still runs";
    EXPECT_TRUE(parent.has("run-emptyx")) << "its rehearsal may be starting";
  }
  close(held);
  EXPECT_EQ(std::distance(fs::directory_iterator(parent.path()), {}), 2);
}

// A setup whose "program" is a shell script in `folder`.
rehearsal::RunSetup script_setup(const TempFolder &folder,
                                 const std::string &body) {
  folder.script("build/program", body);
  fs::create_directory(folder / "work");
  return {folder / "build", "program", folder / "work", "", false,
          STDOUT_FILENO};
}

TEST(Fleet, EndsARunPastItsTimeLimitWithItsChainAndGoesOn) {
  const TempFolder folder;
  // The first machine's chain never ends; the second's program hands
  // DiskPart nothing.
  rehearsal::MachineRuns runs(script_setup(
      folder, "case $PWD in */0) sleep 30 & exec sleep 30 ;; esac"));
  const std::vector<Machine> machines = {{"never", "", ""}, {"idle", "", ""}};
  const sigset_t signals = rehearsal::ending_signals();
  sigset_t before;
  sigprocmask(SIG_BLOCK, &signals, &before);
  const auto started = std::chrono::steady_clock::now();
  const auto fleet =
      rehearsal::run_fleet(machines, runs, {2, std::chrono::seconds(1), false});
  const auto took = std::chrono::steady_clock::now() - started;
  sigprocmask(SIG_SETMASK, &before, nullptr);
  EXPECT_EQ(fleet.outcomes[0].conclusion, rehearsal::Conclusion::failed);
  EXPECT_EQ(fleet.outcomes[0].reasons,
            std::vector<std::string>{"did not end within 1 s"});
  EXPECT_EQ(fleet.outcomes[1].reasons,
            std::vector<std::string>{"the simulated DiskPart gave no verdict"});
  EXPECT_GE(took, std::chrono::seconds(1));
  EXPECT_LT(took, std::chrono::seconds(20)) << "its chain was awaited";
}

// In a mount namespace of the test's own, so that the machine's mounts are
// untouched: a file system of 8 KiB, filled.
TEST(FullFileSystem, IsNamedAsTheCauseOfWhatItLost) {
  const TempFolder folder;
  const std::string full = folder / "full";
  fs::create_directory(full);
  if (unshare(CLONE_NEWNS) != 0 ||
      mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("tmpfs", full.c_str(), "tmpfs", 0, "size=8k") != 0)
    GTEST_SKIP() << "cannot mount a small file system of the test's own: "
                 << strerror(errno);
  const std::string filler = full + "/filler";
  const int file = open(filler.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  const std::string block(4096, 'x');
  while (write(file, block.data(), block.size()) > 0) {
  }
  close(file);
  fs::create_directory(full + "/0");
  const Machine machine{"srv", "", ""};
  const rehearsal::MachineRuns transcripts(
      {"", "p", folder.path(), full, false, STDOUT_FILENO});
  EXPECT_EQ(transcripts.finish(machine, 0, 0).reasons,
            std::vector<std::string>{"its transcript " + full +
                                     "/srv.txt may not be whole: it is on a "
                                     "full file system"});
  const rehearsal::MachineRuns verdicts(
      {"", "p", full, "", false, STDOUT_FILENO});
  EXPECT_EQ(verdicts.finish(machine, 0, 0).reasons,
            std::vector<std::string>{
                "the simulated DiskPart gave no verdict: the temporary "
                "folder " +
                full + " is on a full file system"});
  umount(full.c_str());
}

} // namespace
