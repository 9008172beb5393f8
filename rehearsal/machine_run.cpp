#include "machine_run.h"

#include "stop.h"
#include "verdict_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace rehearsal {
namespace {

// `setting`=`value`, as the environment holds it.
std::string setting(const char *setting, const std::string &value) {
  return std::string(setting) + "=" + value;
}

// Whether `entry` of the environment sets `setting`.
bool sets(const char *entry, const char *setting) {
  const std::size_t length = std::strlen(setting);
  return std::strncmp(entry, setting, length) == 0 && entry[length] == '=';
}

MachineVerdict failed(const std::string &why) {
  return {Verdict::failed, {why}};
}

// Whether the file system that holds `path` has no room left: what was
// written there may be lost, without a word to its writer.
bool is_full(const std::string &path) {
  struct statvfs space;
  if (statvfs(path.c_str(), &space) != 0)
    return false;
  // Blocks kept for the superuser are the superuser's to fill.
  return (geteuid() == 0 ? space.f_bfree : space.f_bavail) == 0;
}

// The verdict that the simulated DiskPart's verdict file at `path`, in the
// temporary folder `work`, gives the machine.
MachineVerdict verdict_given(const std::string &work, const std::string &path,
                             const std::string &program) {
  const auto written = verdict_file::read(path);
  if (!written && is_full(work))
    return failed("the simulated DiskPart gave no verdict: the temporary "
                  "folder " +
                  work + " is on a full file system");
  if (!written)
    return failed("the simulated DiskPart gave no verdict");
  const Verdict verdict = verdict_file::verdict_of(written->verdict);
  if (verdict == Verdict::failed)
    return failed(
        "the simulated DiskPart was asked to create no volume: " + program +
        " never handed it its script, so nothing was rehearsed");
  return {verdict, written->reasons};
}

} // namespace

MachineRuns::MachineRuns(RunSetup setup) : setup_(std::move(setup)) {
  for (char **entry = environ; *entry != nullptr; ++entry)
    if (!sets(*entry, verdict_file::disks_setting) &&
        !sets(*entry, verdict_file::verdict_setting) &&
        !sets(*entry, verdict_file::after_setting))
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

namespace {

// Makes `folder`, which `option` names, and removes the file that `kept`
// gives each machine there; as prepare_kept() says.
template <typename Kept>
void prepare_folder(const std::string &option, const std::string &folder,
                    const Kept &kept, const std::vector<Machine> &machines,
                    const CaptureFiles &captures,
                    const std::vector<std::string> &paths) {
  const std::string what = option.substr(2); // "transcripts"
  if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
    throw Stop(bad_input_status,
               with_error("cannot make the " + what + " folder " + folder));
  struct stat status;
  if (stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
    throw Stop(bad_input_status, option + " " + folder + " is not a folder");
  for (const Machine &machine : machines) {
    const std::string file = kept(machine);
    const std::string capture = capture_at(file, captures, paths);
    if (!capture.empty())
      throw Stop(bad_input_status, option + " " + folder + " would put " +
                                       what + " among the captures (" + file +
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

bool MachineRuns::start(const Machine &machine, std::size_t index,
                        Subprocess &child, MachineVerdict &verdict) {
  struct stat capture;
  if (!machine.path.empty() && stat(machine.path.c_str(), &capture) == 0 &&
      !S_ISREG(capture.st_mode)) {
    verdict = {Verdict::unusable,
               {machine.path + ": " + verdict_file::not_a_regular_file}};
    return false;
  }
  const std::string own = folder(index);
  // Found in the program's current folder, as Windows finds it; the
  // interpreter finds the drives beside its real self.
  if (mkdir(own.c_str(), 0700) != 0 ||
      symlink((setup_.build + "/" INTERPRETER).c_str(),
              (own + "/" INTERPRETER).c_str()) != 0) {
    verdict = failed(with_error("cannot make the machine's folder " + own));
    return false;
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
    verdict = failed(with_error("cannot write " + console_path));
    return false;
  }
  std::vector<std::string> environment = environment_;
  environment.push_back(
      setting(verdict_file::verdict_setting, own + "/verdict"));
  if (!machine.path.empty())
    environment.push_back(setting(verdict_file::disks_setting, machine.path));
  if (!setup_.after.empty())
    environment.push_back(setting(verdict_file::after_setting,
                                  from_start_folder(after(machine))));
  const bool started =
      child.start({setup_.build + "/" + setup_.program}, environment, own,
                  console, !setup_.console_shown);
  if (!started)
    verdict = failed(with_error("cannot start " + setup_.program));
  if (console != -1 && console != setup_.console)
    close(console);
  return started;
}

MachineVerdict MachineRuns::finish(const Machine &machine, std::size_t index,
                                   int wait_status) const {
  MachineVerdict verdict = run_verdict(machine, index, wait_status);
  const std::string kept = after(machine);
  if (kept.empty())
    return verdict;
  // A machine whose capture could be read is kept as its run left it.
  const bool ran = verdict.verdict != Verdict::unusable &&
                   verdict.verdict != Verdict::failed;
  struct stat file;
  if (ran && (stat(kept.c_str(), &file) != 0 || is_full(setup_.after)))
    verdict = failed("the simulated DiskPart kept no whole capture of the "
                     "machine after its run in " +
                     kept);
  if (verdict.verdict == Verdict::failed)
    unlink(kept.c_str());
  return verdict;
}

MachineVerdict MachineRuns::run_verdict(const Machine &machine,
                                        std::size_t index,
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
  return verdict_given(setup_.work, folder(index) + "/verdict", setup_.program);
}

} // namespace rehearsal
