// Stands in for the command interpreter, or for DiskPart behind Windows' own,
// in tests, and writes down what it was given: its arguments, each piece read
// from standard input with the time it came, end of input, and its own end.
// RECORDING_TOOL_REPORT names the report; RECORDING_TOOL_EXIT_AT_ONCE makes
// it end without reading; RECORDING_TOOL_LINGER_MS keeps it alive after end
// of input; RECORDING_TOOL_EXIT_CODE is its exit status.
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
// Built for the tests under Wine, where its times are on the wall clock that
// the host reads too.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

long long now_ns() {
  constexpr unsigned long long ticks_from_1601_to_1970 = 116444736000000000ULL;
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  const ULARGE_INTEGER ticks{{now.dwLowDateTime, now.dwHighDateTime}};
  return static_cast<long long>(ticks.QuadPart - ticks_from_1601_to_1970) * 100;
}

// Raw reads: no runtime translation stands between the pipe and the report.
long read_input(char *buffer, unsigned long size) {
  DWORD count;
  if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, size, &count, nullptr))
    return -1;
  return static_cast<long>(count);
}

// As a slow DiskPart would.
void sleep_ms(int ms) {
  Sleep(static_cast<DWORD>(ms)); // lingers on purpose
}

// Windows tells a process nothing of who else holds its input pipe.
void record_other_ends(FILE *) {}

} // namespace
#else
#include "clock.h"
#include "process_state.h"

#include <unistd.h>

namespace {

long read_input(char *buffer, unsigned long size) {
  return read(STDIN_FILENO, buffer, size);
}

// As a slow DiskPart would.
void sleep_ms(int ms) {
  usleep(static_cast<useconds_t>(ms) * 1000U); // lingers on purpose
}

// Any other end of its input pipe would keep it from reaching end of input.
void record_other_ends(FILE *report) {
  std::fprintf(report, "other_ends %d\n", descriptors_on(getpid(), 0) - 1);
}

} // namespace
#endif

namespace {

int env_number(const char *name) {
  const char *const value = std::getenv(name);
  return value ? std::atoi(value) : 0;
}

} // namespace

int main(int argc, char **argv) {
  // It lets go of the caller's output at once, so that the caller, reading
  // that output to its end, sees the program's end and not the tool's.
  std::fclose(stdout);
  std::fclose(stderr);
  const char *const report_path = std::getenv("RECORDING_TOOL_REPORT");
  if (report_path == nullptr)
    return 125;
  FILE *const report = std::fopen(report_path, "w");
  if (report == nullptr)
    return 125;
  for (int i = 0; i < argc; ++i)
    std::fprintf(report, "arg %s\n", argv[i]);
  record_other_ends(report);
  if (std::getenv("RECORDING_TOOL_EXIT_AT_ONCE") == nullptr) {
    static char chunk[65536]; // off the stack: a test may start it with little
    long n;
    while ((n = read_input(chunk, sizeof chunk)) > 0) {
      std::fprintf(report, "chunk %lld ", now_ns());
      for (long i = 0; i < n; ++i)
        std::fprintf(report, "%02x", static_cast<unsigned char>(chunk[i]));
      std::fprintf(report, "\n");
    }
    std::fprintf(report, "eof %lld\n", now_ns());
    sleep_ms(env_number("RECORDING_TOOL_LINGER_MS")); // lingers on purpose
  }
  std::fprintf(report, "end %lld\n", now_ns());
  return std::fclose(report) == 0 ? env_number("RECORDING_TOOL_EXIT_CODE")
                                  : 125;
}
