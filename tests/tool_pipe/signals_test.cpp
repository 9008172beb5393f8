// Signals with handlers, which cut system calls short, arriving while the
// program pauses and while it waits for the tool.
#include "clock.h"
#include "environment_guard.h"
#include "pipe_records.h"
#include "recording.h"
#include "temp_folder.h"
#include "tool_pipe.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// SIGALRM every millisecond, counted from zero for each storm. After
// `release_after` of them a child that the tool pipe has nothing to do with
// ends, and the SIGCHLD that brings lets `held`, a process that the test has
// stopped, go on.
class SignalStorm {
public:
  explicit SignalStorm(int release_after, pid_t held = 0) {
    caught = 0;
    release_at = release_after;
    held_pid = held;
    // The unrelated child lives until its input pipe is closed.
    int keep_alive[2];
    if (pipe2(keep_alive, O_CLOEXEC) != 0 || (unrelated_ = fork()) < 0)
      std::abort();
    if (unrelated_ == 0) {
      char byte;
      dup2(keep_alive[0], STDIN_FILENO);
      close_range(STDERR_FILENO + 1, ~0U, 0);
      _exit(read(STDIN_FILENO, &byte, 1) == 0 ? 42 : 1);
    }
    close(keep_alive[0]);
    release_fd = keep_alive[1];
    struct sigaction counting {};
    counting.sa_handler = on_signal; // no SA_RESTART
    counting.sa_flags = SA_NOCLDSTOP;
    sigaction(SIGALRM, &counting, &saved_alarm_);
    sigaction(SIGCHLD, &counting, &saved_child_);
    const itimerval every_millisecond{{0, 1000}, {0, 1000}};
    setitimer(ITIMER_REAL, &every_millisecond, nullptr);
  }

  ~SignalStorm() {
    const itimerval stop{};
    setitimer(ITIMER_REAL, &stop, nullptr);
    sigaction(SIGALRM, &saved_alarm_, nullptr);
    sigaction(SIGCHLD, &saved_child_, nullptr);
    release();
  }

  // Ends the unrelated child if the storm has not, and gives its exit code if
  // it was left for its parent to reap. Each test calls it once.
  int reap_unrelated() {
    release();
    int status;
    while (waitpid(unrelated_, &status, 0) < 0)
      if (errno != EINTR)
        return -1;
    return WEXITSTATUS(status);
  }

  static inline volatile sig_atomic_t caught = 0;

private:
  static void release() {
    const int fd = release_fd;
    release_fd = -1;
    if (fd >= 0)
      close(fd);
  }

  static void on_signal(int signal) {
    ++caught;
    if (signal == SIGALRM && caught >= release_at)
      release();
    if (signal == SIGCHLD && held_pid != 0) {
      kill(held_pid, SIGCONT);
      held_pid = 0;
    }
  }

  static inline volatile sig_atomic_t release_at, release_fd = -1, held_pid;
  pid_t unrelated_;
  struct sigaction saved_alarm_, saved_child_;
};

TEST(Signals, CannotShortenThePause) {
  SignalStorm storm(100);
  // Its 999 ms carry the deadline into the next second, unless the clock
  // happens to read within a millisecond past a whole second.
  const long long start = now_ns();
  tool_pipe::Sleep(1999); // the pause under test: it sleeps on purpose
  EXPECT_GE(ms_between(start, now_ns()), 1999);
  EXPECT_GT(SignalStorm::caught, 100);
  EXPECT_EQ(storm.reap_unrelated(), 42);
}

// Stopped until the storm lets it go, the tool keeps `wait` (a read or the
// close) waiting through a hundred signals and the end of another child.
template <typename Wait> void wait_through_storm(pid_t tool, Wait wait) {
  siginfo_t stopped;
  ASSERT_EQ(waitid(P_PID, tool, &stopped, WSTOPPED | WNOWAIT), 0);
  SignalStorm storm(100, tool);
  wait();
  EXPECT_GT(SignalStorm::caught, 100);
  EXPECT_EQ(storm.reap_unrelated(), 42) << "the wait took another's child";
}

TEST(Signals, CannotCutAReadShortNorMakeTheCloseLoseTheToolsExitCode) {
  TempFolder folder;
  EnvironmentGuard guard{"COMSPEC", "RECORDING_TOOL_REPORT",
                         "RECORDING_TOOL_EXIT_CODE"};
  setenv("COMSPEC",
         folder.script("talker.exe", "kill -STOP $$; echo said").c_str(), 1);
  tool_pipe::Stream *const talker = tool_pipe::_popen("tool", "r");
  ASSERT_NE(talker, nullptr);
  char line[8];
  wait_through_storm(tool_pipe::find_pipe_record(talker)->child, [&] {
    EXPECT_STREQ(tool_pipe::fgets(line, sizeof line, talker), "said\n");
  });
  EXPECT_EQ(tool_pipe::_pclose(talker), 0);

  setenv("COMSPEC", RECORDING_TOOL, 1);
  setenv("RECORDING_TOOL_REPORT", (folder / "report").c_str(), 1);
  setenv("RECORDING_TOOL_EXIT_CODE", "9", 1);
  tool_pipe::Stream *const stream = tool_pipe::_popen("tool", "w");
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(tool_pipe::fputs("EXIT\n", stream), 0);
  const pid_t tool = tool_pipe::find_pipe_record(stream)->child;
  ASSERT_EQ(kill(tool, SIGSTOP), 0);
  wait_through_storm(tool, [&] { EXPECT_EQ(tool_pipe::_pclose(stream), 9); });
  EXPECT_EQ(read_recording(folder / "report").all_bytes(), "EXIT\r\n");
}

} // namespace
