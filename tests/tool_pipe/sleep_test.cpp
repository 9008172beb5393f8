#include "run_program.h"
#include "tool_pipe.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/time.h>

namespace {

TEST(Sleep, LastsItsFullTimeThroughAStormOfSignals) {
  struct sigaction on_alarm {};
  on_alarm.sa_handler = [](int) {};
  ASSERT_EQ(sigaction(SIGALRM, &on_alarm, nullptr), 0); // no SA_RESTART
  const itimerval every_millisecond{{0, 1000}, {0, 1000}};
  ASSERT_EQ(setitimer(ITIMER_REAL, &every_millisecond, nullptr), 0);
  const long long start = monotonic_ns();
  tool_pipe::Sleep(300);
  const long long slept_ms = (monotonic_ns() - start) / 1000000;
  const itimerval stop{};
  setitimer(ITIMER_REAL, &stop, nullptr);
  EXPECT_GE(slept_ms, 300);
}

} // namespace
