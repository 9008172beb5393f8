#include "tool_pipe.h"

#include <cerrno>
#include <ctime>

namespace tool_pipe {

// Sleeps to a fixed deadline, so a signal that wakes it early only makes it
// go back to sleep for what is left.
void Sleep(unsigned long milliseconds) {
  timespec deadline;
  if (clock_gettime(CLOCK_MONOTONIC, &deadline) != 0)
    return;
  deadline.tv_sec += static_cast<time_t>(milliseconds / 1000);
  deadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
  if (deadline.tv_nsec >= 1000000000L) {
    deadline.tv_sec += 1;
    deadline.tv_nsec -= 1000000000L;
  }
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) ==
         EINTR) {
  }
}

} // namespace tool_pipe
