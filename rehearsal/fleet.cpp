#include "fleet.h"

#include "stop.h"

#include <cerrno>
#include <cstdio>
#include <map>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>

namespace rehearsal {
namespace {

// Machines done of all, and how many of each conclusion.
void show_progress(const Tally &tally, std::size_t all) {
  std::fprintf(stderr, "\rrehearse: %zu of %zu machines done: %s",
               tally.total(), all, tally.text().c_str());
  std::fflush(stderr);
}

} // namespace

sigset_t ending_signals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGCHLD})
    sigaddset(&signals, signal);
  return signals;
}

FleetRun run_fleet(const std::vector<Machine> &machines, MachineRuns &runs,
                   unsigned jobs, bool progress) {
  // A program's children that outlive it come back to the rehearsal.
  if (prctl(PR_SET_CHILD_SUBREAPER, 1) != 0)
    throw Stop(not_run_status, with_error("cannot adopt orphaned processes"));
  FleetRun fleet{std::vector<Outcome>(machines.size()), 0};
  std::map<pid_t, std::size_t> running; // pid to machine
  std::size_t next = 0;
  Tally tally;
  const sigset_t signals = ending_signals();
  while (tally.total() < machines.size()) {
    for (; next < machines.size() && running.size() < jobs; ++next) {
      const pid_t pid = runs.start(machines[next], next, fleet.outcomes[next]);
      if (pid == -1)
        tally.add(fleet.outcomes[next].conclusion);
      else
        running[pid] = next;
    }
    if (progress)
      show_progress(tally, machines.size());
    if (running.empty())
      continue;
    const int signal = sigwaitinfo(&signals, nullptr);
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
      if (ended == running.end())
        continue;
      fleet.outcomes[ended->second] = runs.finish(ended->second, status);
      tally.add(fleet.outcomes[ended->second].conclusion);
      running.erase(ended);
    }
  }
  // Each run's whole chain, the interpreter and DiskPart with the program;
  // orphans come back to the rehearsal, so all are waited for.
  for (const auto &[pid, machine] : running) {
    runs.end(pid);
    runs.abandon(machines[machine]);
  }
  while (!running.empty() && (waitpid(-1, nullptr, 0) > 0 || errno == EINTR)) {
  }
  if (progress) {
    show_progress(tally, machines.size());
    std::fputs("\n", stderr);
  }
  return fleet;
}

} // namespace rehearsal
