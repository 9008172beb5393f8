// Stands in for the command interpreter (and so for the tool) in tests, and
// writes down what it was given: its arguments, each piece read from standard
// input with the time it came, end of input, and how many other descriptors
// share its input pipe. RECORDING_TOOL_REPORT names the report;
// RECORDING_TOOL_EXIT_AT_ONCE makes it end without reading;
// RECORDING_TOOL_LINGER_MS keeps it alive after end of input;
// RECORDING_TOOL_EXIT_CODE is its exit status.
#include "clock.h"
#include "process_state.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

int env_number(const char *name) {
  const char *const value = std::getenv(name);
  return value ? std::atoi(value) : 0;
}

} // namespace

int main(int argc, char **argv) {
  const char *const report_path = std::getenv("RECORDING_TOOL_REPORT");
  if (report_path == nullptr)
    return 125;
  FILE *const report = std::fopen(report_path, "w");
  if (report == nullptr)
    return 125;
  std::fprintf(report, "start %lld\n", now_ns());
  for (int i = 0; i < argc; ++i)
    std::fprintf(report, "arg %s\n", argv[i]);
  // Any other end of its input pipe would keep it from reaching end of input.
  std::fprintf(report, "other_ends %d\n", descriptors_on(getpid(), 0) - 1);
  if (std::getenv("RECORDING_TOOL_EXIT_AT_ONCE") == nullptr) {
    static char chunk[65536]; // off the stack: a test may start it with little
    ssize_t n;
    while ((n = read(STDIN_FILENO, chunk, sizeof chunk)) > 0) {
      std::fprintf(report, "chunk %lld ", now_ns());
      for (ssize_t i = 0; i < n; ++i)
        std::fprintf(report, "%02x", static_cast<unsigned char>(chunk[i]));
      std::fprintf(report, "\n");
    }
    std::fprintf(report, "eof %lld\n", now_ns());
    const auto linger_ms = env_number("RECORDING_TOOL_LINGER_MS");
    usleep(static_cast<useconds_t>(linger_ms) * 1000); // lingers on purpose
  }
  std::fprintf(report, "end %lld\n", now_ns());
  return std::fclose(report) == 0 ? env_number("RECORDING_TOOL_EXIT_CODE")
                                  : 125;
}
