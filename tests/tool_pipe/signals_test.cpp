// Signals with handlers, which cut system calls short, arriving while the
// program pauses and while it waits for the tool.
#include "clock.h"
#include "recording.h"
#include "run_program.h"
#include "temp_folder.h"
#include "tool_pipe.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// SIGALRM every millisecond, and SIGCHLD from a child the tool pipe has
// nothing to do with, ending `unrelated_child_ms` from now.
class SignalStorm {
public:
  explicit SignalStorm(unsigned unrelated_child_ms) {
    struct sigaction counting {};
    counting.sa_handler = [](int) { ++caught; }; // no SA_RESTART
    sigaction(SIGALRM, &counting, &saved_alarm_);
    sigaction(SIGCHLD, &counting, &saved_child_);
    unrelated_ = fork();
    if (unrelated_ == 0) {
      usleep(unrelated_child_ms * 1000);
      _exit(42);
    }
    const itimerval every_millisecond{{0, 1000}, {0, 1000}};
    setitimer(ITIMER_REAL, &every_millisecond, nullptr);
  }

  ~SignalStorm() {
    const itimerval stop{};
    setitimer(ITIMER_REAL, &stop, nullptr);
    sigaction(SIGALRM, &saved_alarm_, nullptr);
    sigaction(SIGCHLD, &saved_child_, nullptr);
  }

  // The unrelated child's exit code, if it was left for its parent to reap.
  int reap_unrelated() {
    int status;
    while (waitpid(unrelated_, &status, 0) < 0)
      if (errno != EINTR)
        return -1;
    return WEXITSTATUS(status);
  }

  static inline volatile sig_atomic_t caught = 0;

private:
  pid_t unrelated_;
  struct sigaction saved_alarm_, saved_child_;
};

TEST(Signals, CannotShortenThePause) {
  SignalStorm storm(100);
  const long long start = monotonic_ns();
  tool_pipe::Sleep(5000);
  const long long slept_ms = (monotonic_ns() - start) / 1000000;
  EXPECT_GE(slept_ms, 5000);
  EXPECT_GT(SignalStorm::caught, 100);
  EXPECT_EQ(storm.reap_unrelated(), 42);
}

TEST(Signals, CannotMakeTheCloseLoseTheToolsExitCode) {
  TempFolder folder;
  setenv("COMSPEC", RECORDING_TOOL, 1);
  setenv("RECORDING_TOOL_REPORT", (folder / "report").c_str(), 1);
  setenv("RECORDING_TOOL_LINGER_MS", "500", 1);
  setenv("RECORDING_TOOL_EXIT_CODE", "9", 1);
  tool_pipe::Stream *const stream = tool_pipe::_popen("tool", "w");
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(tool_pipe::fputs("EXIT\n", stream), 0);
  {
    SignalStorm storm(100);
    EXPECT_EQ(tool_pipe::_pclose(stream), 9);
    EXPECT_GT(SignalStorm::caught, 100);
    EXPECT_EQ(storm.reap_unrelated(), 42) << "the close took another's child";
  }
  EXPECT_EQ(read_recording(folder / "report").all_bytes(), "EXIT\r\n");
  for (const char *name :
       {"COMSPEC", "RECORDING_TOOL_REPORT", "RECORDING_TOOL_LINGER_MS",
        "RECORDING_TOOL_EXIT_CODE"})
    unsetenv(name);
}

} // namespace
