// The confirmation: reads, for each machine, the LIST VOLUME captured after
// the deploy (and the one before it, where given), and tells whether the
// deploy made the program's volume there; exits with the most serious
// state, so that a pipeline can gate on it. scripts/confirm builds it and
// starts it; --help says what it takes. It runs no program.
#include "capture_file.h"
#include "console.h"
#include "machine_state.h"
#include "machine_verdict.h"
#include "machines.h"
#include "options.h"
#include "report.h"
#include "shown_text.h"
#include "stop.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace confirmation {
namespace {

using rehearsal::Machine;
using rehearsal::Stop;

struct Judged {
  MachineState state;
  std::string before; // the capture it was judged against, if one
};

std::string file_bytes(const Machine &machine, std::string &problem) {
  std::string bytes;
  problem = stand_ins::read_capture_file(machine.path.c_str(), bytes);
  if (!problem.empty())
    problem = machine.path + ": " + problem;
  return bytes;
}

// Each machine judged on its captures: after the deploy, and before it
// where --before gives any.
std::vector<Judged> judge(const WantedVolume &wanted,
                          const std::vector<Machine> &machines,
                          const std::vector<Machine> &before) {
  std::map<std::string, const Machine *> before_of;
  for (const Machine &machine : before)
    before_of.emplace(machine.name, &machine);
  std::vector<Judged> judged;
  for (const Machine &machine : machines) {
    std::string problem;
    const std::string after = file_bytes(machine, problem);
    const auto earlier = before_of.find(machine.name);
    if (problem.empty() && !before.empty() && earlier == before_of.end())
      problem = "no capture of it before the deploy among --before";
    std::string before_bytes;
    if (problem.empty() && earlier != before_of.end())
      before_bytes = file_bytes(*earlier->second, problem);
    if (!problem.empty()) {
      judged.push_back({{State::unusable, {problem}, std::nullopt}, ""});
      continue;
    }
    judged.push_back(
        {state_of(wanted, after,
                  earlier == before_of.end() ? nullptr : &before_bytes),
         earlier == before_of.end() ? "" : earlier->second->capture});
  }
  return judged;
}

void show_table(std::FILE *console, const std::string &program,
                const std::vector<Machine> &machines,
                const std::vector<Judged> &judged) {
  const std::vector<std::string_view> words = {
      state_word(State::made), state_word(State::degraded),
      state_word(State::missing), state_word(State::unusable)};
  std::vector<rehearsal::TableRow> rows;
  std::vector<std::size_t> counts(words.size());
  for (std::size_t i = 0; i < machines.size(); ++i) {
    ++counts[static_cast<int>(judged[i].state.state)];
    rows.push_back({machines[i].name, state_word(judged[i].state.state),
                    judged[i].state.reasons});
  }
  rehearsal::show_rows(console, "state", words, rows);
  std::string tally;
  for (std::size_t k = 0; k < words.size(); ++k)
    tally += (k == 0 ? "" : ", ") + std::to_string(counts[k]) + " " +
             std::string(words[k]);
  std::fprintf(console, "confirm: %s on %zu machines: %s.\n", program.c_str(),
               machines.size(), tally.c_str());
}

nlohmann::ordered_json volume_json(const MachineState &state) {
  if (!state.volume)
    return nullptr;
  return {{"number", state.volume->number},
          {"size_mb", state.volume->size_bytes / stand_ins::bytes_per_mb},
          {"status", text::shown(state.volume->status)}};
}

nlohmann::ordered_json report_of(const std::string &program,
                                 const std::string &commit,
                                 const std::vector<Machine> &machines,
                                 const std::vector<Judged> &judged) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < machines.size(); ++i) {
    std::vector<std::string> reasons;
    for (const std::string &reason : judged[i].state.reasons)
      reasons.push_back(text::shown(reason));
    list.push_back({{"machine", rehearsal::findable(machines[i].name)},
                    {"capture", rehearsal::findable(machines[i].capture)},
                    {"state", state_word(judged[i].state.state)},
                    {"reasons", reasons},
                    {"volume", volume_json(judged[i].state)}});
  }
  return rehearsal::fleet_report(program, commit, list);
}

// The report, refused where it would take the place of a capture.
std::optional<rehearsal::Report>
placed_report(const Options &options, const std::vector<Machine> &all) {
  if (options.report.empty())
    return std::nullopt;
  if (options.report != rehearsal::standard_output) {
    std::vector<std::string> paths = options.volumes;
    paths.insert(paths.end(), options.before.begin(), options.before.end());
    const std::string capture = rehearsal::capture_at(
        options.report, rehearsal::capture_files(all), paths);
    if (!capture.empty())
      throw Stop(rehearsal::bad_input_status,
                 "--report " + options.report +
                     " would lie among the captures (" + capture +
                     "): name a file elsewhere");
  }
  return std::optional<rehearsal::Report>(std::in_place, options.report);
}

int confirm(const std::vector<std::string> &args) {
  const Options options = parse_options(args);
  if (options.help && options.refusal.empty()) {
    std::fputs(usage().c_str(), stdout);
    return 0;
  }
  if (!options.refusal.empty())
    throw Stop(rehearsal::bad_input_status,
               options.refusal + " (see scripts/confirm --help)");
  const rehearsal::Machines machines =
      rehearsal::machines_named(options.volumes);
  rehearsal::check_names_apart(machines);
  rehearsal::Machines before;
  if (!options.before.empty()) {
    before = rehearsal::machines_named(options.before);
    rehearsal::check_names_apart(before);
  }
  std::vector<Machine> all = machines.list;
  all.insert(all.end(), before.list.begin(), before.list.end());
  const std::optional<rehearsal::Report> report = placed_report(options, all);

  const std::string program = options.nosize ? NOSIZE_PROGRAM : SIZED_PROGRAM;
  const WantedVolume wanted = wanted_by(
      program, options.nosize ? NOSIZE_CREATE_LINE : SIZED_CREATE_LINE);
  const std::vector<Judged> judged = judge(wanted, machines.list, before.list);
  std::FILE *const console =
      options.report == rehearsal::standard_output ? stderr : stdout;
  show_table(console, program, machines.list, judged);
  const char *const commit = std::getenv("RAIDVOL_REHEARSAL_COMMIT");
  if (report)
    report->write(
        report_of(program, commit ? commit : "", machines.list, judged));
  int status = 0;
  for (const Judged &each : judged)
    status = std::max(status, exit_status(each.state.state));
  return status;
}

} // namespace
} // namespace confirmation

int main(int argc, char *argv[]) {
  // A closed output is an error that a write reports.
  std::signal(SIGPIPE, SIG_IGN);
  int status;
  try {
    status =
        confirmation::confirm(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const rehearsal::Stop &stop) {
    std::fflush(stdout);
    std::fprintf(stderr, "confirm: %s\n", text::shown(stop.what()).c_str());
    return stop.status;
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    std::perror("confirm: cannot write to standard output");
    return rehearsal::not_run_status;
  }
  return status;
}
