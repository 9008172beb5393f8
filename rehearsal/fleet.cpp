#include "fleet.h"

#include "stop.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <map>
#include <set>
#include <string>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rehearsal {
namespace {

using Clock = std::chrono::steady_clock;

struct Running {
  std::size_t machine;
  Clock::time_point deadline;
};

// The terminal's columns, or 0 where it does not say.
std::size_t terminal_width() {
  winsize size{};
  return ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}

void show_progress(const Tally &tally, std::size_t all) {
  std::fprintf(stderr, "\r%s",
               progress_line(tally, all, terminal_width()).c_str());
  std::fflush(stderr);
}

// How long until the earliest deadline of `running`, for sigtimedwait.
timespec time_to_first(const std::map<pid_t, Running> &running) {
  auto first = Clock::time_point::max();
  for (const auto &[pid, run] : running)
    first = std::min(first, run.deadline);
  const auto left = std::max(first - Clock::now(), Clock::duration::zero());
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
  return {
      static_cast<time_t>(seconds.count()),
      static_cast<long>(
          std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds)
              .count())};
}

} // namespace

std::string progress_line(const Tally &tally, std::size_t all,
                          std::size_t width) {
  std::string line = "rehearse: " + std::to_string(tally.total()) + " of " +
                     std::to_string(all) + " machines done: " + tally.text();
  // One column short of the width: a line that fills it wraps on some
  // terminals. Spaces cover what a longer line before it left.
  if (width > 1)
    line.resize(width - 1, ' ');
  return line;
}

sigset_t ending_signals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD})
    sigaddset(&signals, signal);
  return signals;
}

FleetRun run_fleet(const std::vector<Machine> &machines, MachineRuns &runs,
                   const FleetSetup &setup) {
  // A program's children that outlive it come back to the rehearsal.
  if (prctl(PR_SET_CHILD_SUBREAPER, 1) != 0)
    throw Stop(not_run_status, with_error("cannot adopt orphaned processes"));
  FleetRun fleet{std::vector<Outcome>(machines.size()), 0};
  std::map<pid_t, Running> running;
  std::set<pid_t> overdue; // ended at their deadline, not yet waited for
  std::size_t next = 0;
  Tally tally;
  const sigset_t signals = ending_signals();
  while (tally.total() < machines.size() || !overdue.empty()) {
    for (; next < machines.size() && running.size() < setup.jobs; ++next) {
      const pid_t pid = runs.start(machines[next], next, fleet.outcomes[next]);
      if (pid == -1)
        tally.add(fleet.outcomes[next].conclusion);
      else
        running[pid] = {next, Clock::now() + setup.time_limit};
    }
    if (setup.progress)
      show_progress(tally, machines.size());
    if (running.empty() && overdue.empty())
      continue;
    const timespec wait = time_to_first(running);
    const int signal =
        sigtimedwait(&signals, nullptr, running.empty() ? nullptr : &wait);
    if (signal == -1 && errno == EAGAIN) {
      // Each run past its deadline is ended, whole chain, and failed.
      for (auto run = running.begin(); run != running.end();) {
        if (run->second.deadline > Clock::now()) {
          ++run;
          continue;
        }
        runs.end(run->first);
        fleet.outcomes[run->second.machine] = {
            Conclusion::failed,
            {"did not end within " +
             std::to_string(std::chrono::duration_cast<std::chrono::seconds>(
                                setup.time_limit)
                                .count()) +
             " s"}};
        tally.add(Conclusion::failed);
        overdue.insert(run->first);
        run = running.erase(run);
      }
      continue;
    }
    if (signal == -1) // interrupted by another signal, which has been handled
      continue;
    if (signal != SIGCHLD) {
      fleet.interrupted_by = signal;
      break;
    }
    int status;
    pid_t pid;
    while ((pid = waitpid(-1, &status, WNOHANG)) > 0) {
      const auto ended = running.find(pid);
      if (ended == running.end()) {
        overdue.erase(pid);
        continue;
      }
      const std::size_t machine = ended->second.machine;
      fleet.outcomes[machine] = runs.finish(machines[machine], machine, status);
      tally.add(fleet.outcomes[machine].conclusion);
      running.erase(ended);
    }
  }
  // Each run's whole chain, the interpreter and DiskPart with the program;
  // orphans come back to the rehearsal, so all are waited for.
  for (const auto &[pid, run] : running) {
    runs.end(pid);
    runs.abandon(machines[run.machine]);
  }
  while ((!running.empty() || !overdue.empty()) &&
         (waitpid(-1, nullptr, 0) > 0 || errno == EINTR)) {
  }
  if (setup.progress) {
    show_progress(tally, machines.size());
    std::fputs("\n", stderr);
  }
  return fleet;
}

} // namespace rehearsal
