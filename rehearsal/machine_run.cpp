#include "machine_run.h"

#include "stop.h"
#include "verdict.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace rehearsal {
namespace {

constexpr char disks_setting[] = "RAIDVOL_DISKS=";
constexpr char verdict_setting[] = "RAIDVOL_VERDICT=";
constexpr char after_setting[] = "RAIDVOL_AFTER=";

bool starts_with(const char *text, const char *prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// The verdict file's word and reasons, or nullopt without a known word.
std::optional<stand_ins::Verdict>
read_verdict(const std::string &path, std::vector<std::string> &reasons) {
  std::ifstream file(path, std::ios::binary);
  std::string word;
  if (!std::getline(file, word))
    return std::nullopt;
  for (std::string reason; std::getline(file, reason);)
    reasons.push_back(reason);
  return stand_ins::verdict_named(word);
}

Outcome failed(const std::string &why) { return {Conclusion::failed, {why}}; }

// Whether the file system that holds `path` has no room left: what was
// written there may be lost, without a word to its writer.
bool is_full(const std::string &path) {
  struct statvfs space;
  if (statvfs(path.c_str(), &space) != 0)
    return false;
  // Blocks kept for the superuser are the superuser's to fill.
  return (geteuid() == 0 ? space.f_bfree : space.f_bavail) == 0;
}

// The outcome the simulated DiskPart gave in the verdict file at `path`, in
// the temporary folder `work`.
Outcome outcome_of(const std::string &work, const std::string &path,
                   const std::string &program) {
  std::vector<std::string> reasons;
  const auto verdict = read_verdict(path, reasons);
  if (!verdict && is_full(work))
    return failed("the simulated DiskPart gave no verdict: the temporary "
                  "folder " +
                  work + " is on a full file system");
  if (!verdict)
    return failed("the simulated DiskPart gave no verdict");
  switch (*verdict) {
  case stand_ins::Verdict::created:
    return {Conclusion::created, reasons};
  case stand_ins::Verdict::refused:
    return {Conclusion::refused, reasons};
  case stand_ins::Verdict::unusable:
    return {Conclusion::unusable, reasons};
  case stand_ins::Verdict::existing:
    return {Conclusion::existing, reasons};
  case stand_ins::Verdict::unchanged:
    break;
  }
  return failed(
      "the simulated DiskPart was asked to create no volume: " + program +
      " never handed it its script, so nothing was rehearsed");
}

std::vector<char *> pointers_to(std::vector<std::string> &texts) {
  std::vector<char *> pointers;
  for (std::string &text : texts)
    pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Starts `argv` with `environment` in `folder`, where `own_group` says as
// the leader of a process group of its own, with /dev/null for input,
// `console` (if not -1) for its output, and no other descriptor; its pid, or
// -1 with errno set.
pid_t spawn(std::vector<std::string> argv, std::vector<std::string> environment,
            const std::string &folder, int console, bool own_group) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  sigset_t none, pipe_signal;
  sigemptyset(&none);
  sigemptyset(&pipe_signal);
  sigaddset(&pipe_signal, SIGPIPE);
  int error = posix_spawn_file_actions_init(&actions);
  if (error != 0) {
    errno = error;
    return -1;
  }
  error = posix_spawnattr_init(&attributes);
  if (error == 0)
    error = posix_spawn_file_actions_addopen(&actions, STDIN_FILENO,
                                             "/dev/null", O_RDONLY, 0);
  if (error == 0 && console != -1)
    error = posix_spawn_file_actions_adddup2(&actions, console, STDOUT_FILENO);
  if (error == 0 && console != -1)
    error = posix_spawn_file_actions_adddup2(&actions, console, STDERR_FILENO);
  if (error == 0)
    error = posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  if (error == 0)
    error =
        posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
  // The rehearsal's signals wait for it; its own SIGPIPE is ignored.
  if (error == 0)
    error = posix_spawnattr_setflags(
        &attributes, (own_group ? POSIX_SPAWN_SETPGROUP : 0) |
                         POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  if (error == 0)
    error = posix_spawnattr_setsigmask(&attributes, &none);
  if (error == 0)
    error = posix_spawnattr_setsigdefault(&attributes, &pipe_signal);
  pid_t child = -1;
  if (error == 0)
    error =
        posix_spawn(&child, argv[0].c_str(), &actions, &attributes,
                    pointers_to(argv).data(), pointers_to(environment).data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  errno = error;
  return error == 0 ? child : -1;
}

} // namespace

MachineRuns::MachineRuns(RunSetup setup) : setup_(std::move(setup)) {
  for (char **entry = environ; *entry != nullptr; ++entry)
    if (!starts_with(*entry, disks_setting) &&
        !starts_with(*entry, verdict_setting) &&
        !starts_with(*entry, after_setting))
      environment_.push_back(*entry);
}

std::string MachineRuns::folder(std::size_t index) const {
  return setup_.work + "/" + std::to_string(index);
}

std::string MachineRuns::transcript(const Machine &machine) const {
  return setup_.transcripts.empty()
             ? ""
             : setup_.transcripts + "/" + machine.name + ".txt";
}

std::string MachineRuns::after(const Machine &machine) const {
  return setup_.after.empty() ? "" : setup_.after + "/" + machine.name + ".txt";
}

void MachineRuns::end(pid_t pid) const {
  kill(setup_.console_shown ? pid : -pid, SIGKILL);
}

namespace {

// Makes `folder`, which `option` names, and removes the file that `kept`
// gives each machine there; as prepare_kept() says.
template <typename Kept>
void prepare_folder(const std::string &option, const std::string &folder,
                    const Kept &kept, const std::vector<Machine> &machines,
                    const CaptureFiles &captures,
                    const std::vector<std::string> &paths) {
  if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
    throw Stop(bad_input_status,
               with_error("cannot make the " + option.substr(2) + " folder " +
                          folder));
  struct stat status;
  if (stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
    throw Stop(bad_input_status, option + " " + folder + " is not a folder");
  for (const Machine &machine : machines) {
    const std::string file = kept(machine);
    const std::string capture = capture_at(file, captures, paths);
    if (!capture.empty())
      throw Stop(bad_input_status, option + " " + folder + " would put " +
                                       option.substr(2) +
                                       " among the captures (" + file +
                                       " would take the place of " + capture +
                                       "): name a folder elsewhere");
    if (unlink(file.c_str()) != 0 && errno != ENOENT)
      throw Stop(bad_input_status, with_error("cannot replace " + file));
  }
}

} // namespace

void MachineRuns::prepare_kept(const std::vector<Machine> &machines,
                               const CaptureFiles &captures,
                               const std::vector<std::string> &paths) const {
  if (!setup_.transcripts.empty())
    prepare_folder(
        "--transcripts", setup_.transcripts,
        [this](const Machine &machine) { return transcript(machine); },
        machines, captures, paths);
  if (!setup_.after.empty())
    prepare_folder(
        "--after", setup_.after,
        [this](const Machine &machine) { return after(machine); }, machines,
        captures, paths);
}

void MachineRuns::abandon(const Machine &machine) const {
  for (const std::string &kept : {transcript(machine), after(machine)})
    if (!kept.empty())
      unlink(kept.c_str());
}

pid_t MachineRuns::start(const Machine &machine, std::size_t index,
                         Outcome &outcome) {
  struct stat capture;
  if (!machine.path.empty() && stat(machine.path.c_str(), &capture) == 0 &&
      !S_ISREG(capture.st_mode)) {
    outcome = {Conclusion::unusable,
               {machine.path + ": " + stand_ins::not_a_regular_file}};
    return -1;
  }
  const std::string own = folder(index);
  // Found in the program's current folder, as Windows finds it; the
  // interpreter finds the drives beside its real self.
  if (mkdir(own.c_str(), 0700) != 0 ||
      symlink((setup_.build + "/" INTERPRETER).c_str(),
              (own + "/" INTERPRETER).c_str()) != 0) {
    outcome = failed(with_error("cannot make the machine's folder " + own));
    return -1;
  }
  // Its console: kept in its transcript, shown as the rehearsal's own, or
  // dropped.
  const std::string kept = transcript(machine);
  const std::string console_path = !kept.empty()          ? kept
                                   : setup_.console_shown ? ""
                                                          : "/dev/null";
  // Shown on the rehearsal's console: its own output, or its error where
  // its output carries the report.
  int console = console_path.empty() && setup_.console != STDOUT_FILENO
                    ? setup_.console
                    : -1;
  if (!console_path.empty() &&
      (console = open(console_path.c_str(),
                      O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)) == -1) {
    outcome = failed(with_error("cannot write " + console_path));
    return -1;
  }
  std::vector<std::string> environment = environment_;
  environment.push_back(verdict_setting + own + "/verdict");
  if (!machine.path.empty())
    environment.push_back(disks_setting + machine.path);
  if (!setup_.after.empty())
    environment.push_back(after_setting + from_start_folder(after(machine)));
  const pid_t pid = spawn({setup_.build + "/" + setup_.program}, environment,
                          own, console, !setup_.console_shown);
  if (pid == -1)
    outcome = failed(with_error("cannot start " + setup_.program));
  if (console != -1 && console != setup_.console)
    close(console);
  return pid;
}

Outcome MachineRuns::finish(const Machine &machine, std::size_t index,
                            int wait_status) const {
  Outcome outcome = run_outcome(machine, index, wait_status);
  const std::string kept = after(machine);
  if (kept.empty())
    return outcome;
  // A machine whose capture could be read is kept as its run left it; what
  // a failed run left never passes for that.
  const bool ran = outcome.conclusion != Conclusion::unusable &&
                   outcome.conclusion != Conclusion::failed;
  struct stat file;
  if (ran && (stat(kept.c_str(), &file) != 0 || is_full(setup_.after)))
    outcome = failed("the simulated DiskPart kept no whole capture of the "
                     "machine after its run in " +
                     kept);
  if (outcome.conclusion == Conclusion::failed)
    unlink(kept.c_str());
  return outcome;
}

Outcome MachineRuns::run_outcome(const Machine &machine, std::size_t index,
                                 int wait_status) const {
  const std::string kept = transcript(machine);
  if (!kept.empty() && is_full(setup_.transcripts))
    return failed("its transcript " + kept +
                  " may not be whole: it is on a full file system");
  if (WIFSIGNALED(wait_status))
    return failed(setup_.program + " was ended by signal " +
                  std::to_string(WTERMSIG(wait_status)) + " (" +
                  strsignal(WTERMSIG(wait_status)) + ")");
  if (WEXITSTATUS(wait_status) != 0)
    return failed(setup_.program + " ended with status " +
                  std::to_string(WEXITSTATUS(wait_status)) +
                  ", where it always ends with 0");
  return outcome_of(setup_.work, folder(index) + "/verdict", setup_.program);
}

} // namespace rehearsal
