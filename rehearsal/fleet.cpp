#include "fleet.h"

#include "subprocess.h"

#include <cstdio>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

namespace rehearsal {
namespace {

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

FleetRun run_fleet(const std::vector<Machine> &machines, MachineRuns &runs,
                   const FleetSetup &setup) {
  SubprocessSet children;
  FleetRun fleet{std::vector<MachineVerdict>(machines.size()), 0};
  std::size_t next = 0;
  Tally tally;
  const std::string overdue =
      "did not end within " +
      std::to_string(
          std::chrono::duration_cast<std::chrono::seconds>(setup.time_limit)
              .count()) +
      " s";
  while (tally.total() < machines.size()) {
    for (; next < machines.size() && children.running() < setup.jobs; ++next) {
      Subprocess child;
      if (runs.start(machines[next], next, child, fleet.verdicts[next]))
        children.add(child, next,
                     SubprocessSet::Clock::now() + setup.time_limit);
      else
        tally.add(fleet.verdicts[next].verdict);
    }
    if (setup.progress)
      show_progress(tally, machines.size());
    if (children.running() == 0)
      continue;
    const SubprocessSet::Event event = children.next();
    if (event.kind == SubprocessSet::Event::Kind::interrupted) {
      fleet.interrupted_by = event.status;
      // What the runs ended before their time kept would pass for a result.
      for (const std::size_t ended : children.end_all())
        runs.abandon(machines[ended]);
      break;
    }
    fleet.verdicts[event.id] =
        event.kind == SubprocessSet::Event::Kind::ended
            ? runs.finish(machines[event.id], event.id, event.status)
            : MachineVerdict{Verdict::failed, {overdue}};
    tally.add(fleet.verdicts[event.id].verdict);
  }
  // The chains of runs ended at their deadline.
  children.end_all();
  if (setup.progress) {
    show_progress(tally, machines.size());
    std::fputs("\n", stderr);
  }
  return fleet;
}

} // namespace rehearsal
