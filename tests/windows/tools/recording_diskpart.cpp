// Sits at DiskPart's path in the tests under Wine and writes down what it
// was given: each piece read from standard input with the wall-clock time it
// came, end of input, and its own start and end, in the report format of the
// native recording_tool. The report goes beside the program, with
// ".report" added to its name. At end of input it prints one line, so that
// the caller's console shows whether the tool's output reaches it. It then
// stays a second longer and fails with status 3, so that a caller that does
// not wait for it, or passes its status on, shows.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <stdio.h>
#include <windows.h>

namespace {

constexpr DWORD linger_ms = 1000;
constexpr int exit_status = 3;
constexpr int report_failed = 125;

// Nanoseconds since the Unix epoch, comparable with the host's own clock.
long long unix_time_ns() {
  constexpr unsigned long long ticks_from_1601_to_1970 = 116444736000000000ULL;
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  const unsigned long long ticks =
      (static_cast<unsigned long long>(now.dwHighDateTime) << 32) |
      now.dwLowDateTime;
  return static_cast<long long>(ticks - ticks_from_1601_to_1970) * 100;
}

FILE *open_report() {
  char path[MAX_PATH + 8];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return nullptr;
  lstrcpyA(path + length, ".report");
  return fopen(path, "w");
}

} // namespace

int main() {
  FILE *const report = open_report();
  if (report == nullptr)
    return report_failed;
  fprintf(report, "start %lld\n", unix_time_ns());
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  static char chunk[65536];
  DWORD count;
  unsigned long total = 0;
  // Raw reads: no runtime translation stands between the pipe and the report.
  while (ReadFile(input, chunk, sizeof chunk, &count, nullptr) && count > 0) {
    fprintf(report, "chunk %lld ", unix_time_ns());
    for (DWORD i = 0; i < count; ++i)
      fprintf(report, "%02x", static_cast<unsigned char>(chunk[i]));
    fprintf(report, "\n");
    total += count;
  }
  fprintf(report, "eof %lld\n", unix_time_ns());
  printf("recording DiskPart: end of input after %lu bytes\n", total);
  fflush(stdout);
  Sleep(linger_ms); // it lingers on purpose
  fprintf(report, "end %lld\n", unix_time_ns());
  return fclose(report) == 0 ? exit_status : report_failed;
}
