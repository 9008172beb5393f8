// Stops the fuzz target when an expectation fails, so that libFuzzer reports
// it as a crash and keeps the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline void require(bool holds, const char *expectation) {
  if (holds)
    return;
  std::fprintf(stderr, "expectation failed: %s\n", expectation);
  std::abort();
}

} // namespace fuzz
