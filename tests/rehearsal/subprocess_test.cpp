// The process set and the fleet on it, with plain shell children in place
// of the programs, in milliseconds: as ninja's subprocess_test takes its own.
#include "fleet.h"
#include "subprocess.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using rehearsal::Machine;
using rehearsal::SubprocessSet;
using Clock = std::chrono::steady_clock;
using Kind = SubprocessSet::Event::Kind;
namespace fs = std::filesystem;

const auto long_ago = Clock::time_point();
// Generous: a child that has not ended by then is taken for one that hangs.
Clock::time_point in_ten_seconds() {
  return Clock::now() + std::chrono::seconds(10);
}

// Ends the test program with `message` unless destroyed within ten seconds:
// a fleet whose loop can no longer end would otherwise spin until CTest's
// limit, saying nothing.
class EndsWithin {
public:
  explicit EndsWithin(const char *message) {
    message_ = message;
    std::signal(SIGALRM, fail);
    alarm(10);
  }
  ~EndsWithin() { alarm(0); }

private:
  static void fail(int) {
    const ssize_t written =
        write(STDERR_FILENO, message_, std::strlen(message_));
    _exit(written > 0 ? 1 : 2);
  }
  static inline const char *message_ = "";
};

rehearsal::Subprocess shell(const std::string &command) {
  rehearsal::Subprocess child;
  EXPECT_TRUE(child.start({"/bin/sh", "-c", command}, {}, "/", -1, true))
      << std::strerror(errno);
  return child;
}

// Its own end, as the caller has seen it, without taking it from the set.
void await_end(const rehearsal::Subprocess &child) {
  siginfo_t ended;
  ASSERT_EQ(waitid(P_PID, child.pid(), &ended, WEXITED | WNOWAIT), 0);
}

// Children that start with the caller's descriptors or blocked signals, or
// ends that one SIGCHLD stands for, or a caller that ignored SIGCHLD: each
// child's end is given once, with its status.
TEST(SubprocessSet, GivesEachEndOnceWithItsStatus) {
  std::signal(SIGCHLD, SIG_IGN); // as after `trap '' CHLD` in the caller
  const int inherited = dup2(STDIN_FILENO, 9);
  ASSERT_EQ(inherited, 9);
  std::map<std::size_t, int> statuses;
  {
    SubprocessSet children;
    const auto a = shell("test -e /dev/fd/9 && exit 9; exit 3");
    const auto b = shell("kill -TERM $$; exit 0");
    children.add(a, 1, in_ten_seconds());
    children.add(b, 2, in_ten_seconds());
    // Both have ended before the set looks: one SIGCHLD for the two.
    await_end(a);
    await_end(b);
    for (std::size_t left : {1, 0}) {
      const auto event = children.next();
      ASSERT_EQ(event.kind, Kind::ended);
      statuses[event.id] = event.status;
      EXPECT_EQ(children.running(), left) << "an end not given is running";
    }
    EXPECT_EQ(children.running(), 0u);
  }
  close(inherited);
  std::signal(SIGCHLD, SIG_DFL);
  EXPECT_TRUE(WIFEXITED(statuses[1]) && WEXITSTATUS(statuses[1]) == 3)
      << "descriptor 9 reached the child";
  EXPECT_TRUE(WIFSIGNALED(statuses[2]) && WTERMSIG(statuses[2]) == SIGTERM)
      << "the child started with SIGTERM blocked";
}

// A child past its deadline, and every child on an ending signal, is ended
// with its whole process group: a grandchild that ignores its input is not
// waited out.
TEST(SubprocessSet, EndsWholeChainsPastTheirDeadlineAndWhenInterrupted) {
  const auto started = Clock::now();
  SubprocessSet children;
  children.add(shell("sleep 20 & exec sleep 20"), 1, long_ago);
  children.add(shell("sleep 20 & kill -HUP $PPID; exec sleep 20"), 2,
               in_ten_seconds());
  const auto overdue = children.next();
  EXPECT_EQ(overdue.kind, Kind::overdue);
  EXPECT_EQ(overdue.id, 1u);
  const auto interrupted = children.next();
  EXPECT_EQ(interrupted.kind, Kind::interrupted);
  EXPECT_EQ(interrupted.status, SIGHUP);
  EXPECT_EQ(children.end_all(), std::vector<std::size_t>{2});
  EXPECT_LT(Clock::now() - started, std::chrono::seconds(10));
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "a child outlived end_all";
}

// A setup whose "program" is a shell script in `folder`.
rehearsal::RunSetup script_setup(const TempFolder &folder,
                                 const std::string &body,
                                 const std::string &transcripts = "") {
  folder.script("build/program", body);
  fs::create_directory(folder / "work");
  return {.build = folder / "build",
          .program = "program",
          .work = folder / "work",
          .transcripts = transcripts,
          .console_shown = false,
          .console = STDOUT_FILENO};
}

// With --jobs 1, the second machine starts only once the first has ended:
// the first waits for a line that only the second writes, so it runs to its
// time limit. The pipe is held open by the test, so that the line waits in
// it whichever opens it first. The second keeps the environment it was
// handed.
TEST(Fleet, RunsAtMostItsJobsAndEndsARunPastItsTimeLimit) {
  const TempFolder folder;
  setenv("RAIDVOL_DISKS", "the caller's", 1);
  rehearsal::MachineRuns runs(script_setup(folder, R"(
case $PWD in */0) sleep 30 & read -r line <../gate; exit ;; esac
echo go >../gate
tr '\0' '\n' </proc/$$/environ | grep ^RAIDVOL_DISKS= >../disks)"));
  unsetenv("RAIDVOL_DISKS");
  const std::string gate = folder / "work/gate";
  ASSERT_EQ(mkfifo(gate.c_str(), 0600), 0);
  const int held = open(gate.c_str(), O_RDWR | O_CLOEXEC);
  const std::vector<Machine> machines = {{"never", "", ""},
                                         {"idle", "idle.txt", "/c/idle.txt"}};
  const auto started = Clock::now();
  const auto fleet = rehearsal::run_fleet(
      machines, runs,
      {.jobs = 1, .time_limit = std::chrono::seconds(1), .progress = false});
  const auto took = Clock::now() - started;
  EXPECT_EQ(fleet.verdicts[0].reasons,
            std::vector<std::string>{"did not end within 1 s"});
  EXPECT_EQ(fleet.verdicts[1].reasons,
            std::vector<std::string>{"the simulated DiskPart gave no verdict"});
  EXPECT_EQ(folder.read("work/disks"), "RAIDVOL_DISKS=/c/idle.txt\n");
  close(held);
  EXPECT_GE(took, std::chrono::seconds(1));
  EXPECT_LT(took, std::chrono::seconds(20)) << "its chain was awaited";
}

// An interrupted fleet leaves no transcript, earlier or partial, that could
// pass for its result; a program that cannot start fails its machine.
TEST(Fleet, LeavesNoTranscriptWhenInterrupted) {
  const TempFolder folder;
  folder.write("transcripts/first.txt", "an earlier transcript");
  folder.write("transcripts/second.txt", "an earlier transcript");
  const std::string transcripts = folder / "transcripts";
  rehearsal::MachineRuns runs(script_setup(
      folder, "echo partial; kill -TERM $PPID; exec sleep 20", transcripts));
  const std::vector<Machine> machines = {{"first", "", ""}, {"second", "", ""}};
  runs.prepare_kept(machines, {}, {});
  const auto fleet = rehearsal::run_fleet(
      machines, runs,
      {.jobs = 1, .time_limit = std::chrono::seconds(60), .progress = false});
  EXPECT_EQ(fleet.interrupted_by, SIGTERM);
  EXPECT_FALSE(folder.has("transcripts/first.txt"));
  EXPECT_FALSE(folder.has("transcripts/second.txt"));

  const TempFolder other;
  rehearsal::MachineRuns unstartable(script_setup(other, ""));
  fs::remove(other / "build/program");
  const EndsWithin bound("a fleet of programs that cannot start did not end "
                         "within ten seconds\n");
  const auto unstarted = rehearsal::run_fleet(
      machines, unstartable,
      {.jobs = 1, .time_limit = std::chrono::seconds(60), .progress = false});
  for (const auto &verdict : unstarted.verdicts)
    EXPECT_EQ(verdict.reasons,
              std::vector<std::string>{"cannot start program: No such file or "
                                       "directory"});
}

} // namespace
