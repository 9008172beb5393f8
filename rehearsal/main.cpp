// The rehearsal runner: runs raidvol-sized (or raidvol-nosize) against the
// simulated DiskPart for each machine that a capture describes, side by
// side, and exits with the most serious verdict, so that a provisioning
// pipeline can gate on it. scripts/rehearse builds it and starts it in an
// environment of its own; --help says what it takes.
#include "console.h"
#include "fleet.h"
#include "jobs.h"
#include "machine_run.h"
#include "machine_verdict.h"
#include "machines.h"
#include "options.h"
#include "own_folder.h"
#include "report.h"
#include "shown_text.h"
#include "stop.h"
#include "subprocess.h"
#include "work_folder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace rehearsal {
namespace {

// The folder of this program, where the build put the programs and the
// stand-ins beside it.
std::string own_folder() {
  std::string folder;
  if (!find_own_folder(folder))
    throw Stop(not_run_status, with_error("cannot tell where it is"));
  return folder;
}

// Standard error and input, if closed, hold /dev/null, so that no file the
// rehearsal opens takes their place; a closed standard output is refused.
void check_standard_streams() {
  if (fcntl(STDOUT_FILENO, F_GETFD) == -1)
    throw Stop(not_run_status, "standard output is closed");
  for (const int stream : {STDIN_FILENO, STDERR_FILENO})
    if (fcntl(stream, F_GETFD) == -1 && open("/dev/null", O_RDWR) != stream)
      throw Stop(not_run_status, with_error("cannot open /dev/null"));
}

// The report, refused where it would take the place of a capture of
// `captures` or lie among the transcripts; none without --report.
std::optional<Report> placed_report(const Options &options,
                                    const CaptureFiles &captures) {
  if (options.report.empty())
    return std::nullopt;
  const auto refusal = [&](const std::string &among) {
    return Stop(bad_input_status, "--report " + options.report +
                                      " would lie among the " + among +
                                      ": name a file elsewhere");
  };
  if (options.report != standard_output) {
    const std::string capture =
        capture_at(options.report, captures, options.disks);
    if (!capture.empty())
      throw refusal("captures (" + capture + ")");
    if (!options.transcripts.empty() &&
        lies_in(options.report, options.transcripts))
      throw refusal("transcripts");
    if (!options.after.empty() && lies_in(options.report, options.after))
      throw refusal("captures after the runs");
  }
  return std::optional<Report>(std::in_place, options.report);
}

int rehearse(const std::vector<std::string> &args) {
  check_standard_streams();
  const Options options = parse_options(args);
  // Help rehearses nothing, so it leaves any earlier report be.
  if (options.help && options.refusal.empty()) {
    std::fputs(usage().c_str(), stdout);
    return 0;
  }
  if (!options.refusal.empty())
    throw Stop(bad_input_status,
               options.refusal + " (see scripts/rehearse --help)");
  const Machines machines = machines_named(options.disks);
  const CaptureFiles captures = capture_files(machines.list);
  const std::string program = options.nosize ? NOSIZE_PROGRAM : SIZED_PROGRAM;
  // The programs are copied first, and the build's lock that
  // scripts/rehearse handed over let go: a rebuild waits only for the copy.
  const std::string build = own_folder();
  const WorkFolder copy(build + "/copies", "rehearsal-");
  copy_build(build, program, copy.path());
  const WorkFolder work(temporary_folder(), "raidvol-rehearsal-");
  close_handed_descriptors(copy.lock(), work.lock());
  // With the report on standard output, what is shown goes to standard error.
  std::FILE *const console =
      options.report == standard_output ? stderr : stdout;
  MachineRuns runs({copy.path(), program, work.path(), options.transcripts,
                    !machines.fleet, fileno(console), options.after});
  runs.prepare_kept(machines.list, captures, options.disks);
  const std::optional<Report> report = placed_report(options, captures);
  // An earlier report goes before anything else can fail or be interrupted:
  // a rehearsal that ends without its own leaves none to pass for it.
  if (report)
    report->remove_earlier();
  check_names_apart(machines);
  const FleetRun fleet =
      run_fleet(machines.list, runs,
                {options.jobs ? options.jobs : default_jobs(),
                 std::chrono::seconds(options.time_limit),
                 machines.fleet && isatty(STDERR_FILENO)});
  if (fleet.interrupted_by != 0) {
    std::fprintf(stderr,
                 "rehearse: interrupted: every run it started is ended%s\n",
                 report ? ", and no report is written" : "");
    return 128 + fleet.interrupted_by;
  }
  // The verdicts are shown first: a report that cannot be written loses
  // none of them.
  if (machines.fleet) {
    show_table(console, program, machines.list, fleet.verdicts);
  } else {
    const std::string kept = runs.transcript(machines.list[0]);
    if (!kept.empty() && !show_file(console, kept))
      throw Stop(not_run_status, with_error("cannot read back " + kept));
    show_verdict(console, stderr, program, fleet.verdicts[0]);
  }
  const char *const commit = std::getenv("RAIDVOL_REHEARSAL_COMMIT");
  if (report)
    report->write(report_of(program, commit ? commit : "", machines.list,
                            fleet.verdicts));
  return verdict_file::exit_status(most_serious(fleet.verdicts));
}

} // namespace
} // namespace rehearsal

int main(int argc, char *argv[]) {
  // A closed output is an error that a write reports.
  std::signal(SIGPIPE, SIG_IGN);
  const sigset_t signals = rehearsal::ending_signals();
  sigprocmask(SIG_BLOCK, &signals, nullptr);
  int status;
  try {
    status =
        rehearsal::rehearse(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const rehearsal::Stop &stop) {
    // A file name in the message is shown as the table shows it.
    std::fflush(stdout);
    std::fprintf(stderr, "rehearse: %s\n", text::shown(stop.what()).c_str());
    return stop.status;
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    std::perror("rehearse: cannot write to standard output");
    return rehearsal::not_run_status;
  }
  return status;
}
