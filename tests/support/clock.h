// Clocks that tests and the processes they start read alike.
#pragma once

#include <ctime>

// Nanoseconds on the monotonic clock, comparable across processes.
inline long long monotonic_ns() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// Nanoseconds since the Unix epoch: the clock Wine's programs see as well.
inline long long realtime_ns() {
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return now.tv_sec * 1000000000LL + now.tv_nsec;
}
