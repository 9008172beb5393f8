// Clocks that tests and the processes they start read alike.
#pragma once

#include <ctime>

// Nanoseconds on `clock`: the monotonic clock compares across processes, the
// realtime one (since the Unix epoch) with Wine's programs too.
inline long long now_ns(clockid_t clock = CLOCK_MONOTONIC) {
  timespec now;
  clock_gettime(clock, &now);
  return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// Whole milliseconds from one reading of a clock to a later one.
inline long long ms_between(long long from_ns, long long to_ns) {
  return (to_ns - from_ns) / 1000000;
}
