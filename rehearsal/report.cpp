#include "report.h"

#include "shown_text.h"
#include "stop.h"
#include "work_folder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rehearsal {
namespace {

// The report while it is written, beside where it goes.
constexpr char unfinished_prefix[] = ".unfinished-report-";

[[noreturn]] void cannot_write(const std::string &path) {
  // A pipe opened without waiting, where no one reads it.
  if (errno == ENXIO)
    throw Stop(not_run_status,
               "cannot write the report " + path + ": no one reads from it");
  throw Stop(not_run_status, with_error("cannot write the report " + path));
}

[[noreturn]] void refuse(const std::string &path, const std::string &why) {
  throw Stop(bad_input_status, "--report " + path + why);
}

std::string folder_of(const std::string &path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// All of `text` to `file`; false with errno set where it cannot.
bool write_all(int file, const std::string &text) {
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t count =
        ::write(file, text.data() + written, text.size() - written);
    if (count < 0 && errno != EINTR)
      return false;
    written += count > 0 ? static_cast<std::size_t>(count) : 0;
  }
  return true;
}

// The verdict's reasons are shown already; the rehearsal's own may hold a
// path.
std::vector<std::string>
shown_reasons(const std::vector<std::string> &reasons) {
  std::vector<std::string> shown;
  for (const std::string &reason : reasons)
    shown.push_back(text::shown(reason));
  return shown;
}

} // namespace

Report::Report(std::string path) : path_(std::move(path)) {
  if (path_ == standard_output)
    return;
  struct stat entry, file;
  if (lstat(path_.c_str(), &entry) != 0) {
    if (errno != ENOENT)
      refuse(path_, with_error(""));
    if (stat(folder_of(path_).c_str(), &file) != 0 || !S_ISDIR(file.st_mode))
      refuse(path_, ": there is no folder " + folder_of(path_));
    replaced_ = true;
    return;
  }
  if (stat(path_.c_str(), &file) == 0 && S_ISDIR(file.st_mode))
    refuse(path_, " is a folder: name a file");
  replaced_ = S_ISREG(entry.st_mode);
}

void Report::remove_earlier() const {
  if (path_ == standard_output)
    return;
  remove_abandoned(folder_of(path_), unfinished_prefix);
  struct stat file;
  if (replaced_) {
    if (unlink(path_.c_str()) != 0 && errno != ENOENT)
      cannot_write(path_);
  } else if (stat(path_.c_str(), &file) == 0 && S_ISREG(file.st_mode) &&
             truncate(path_.c_str(), 0) != 0) {
    cannot_write(path_);
  }
}

void Report::write(const nlohmann::ordered_json &report) const {
  const std::string text = report.dump(2) + "\n";
  // What the rehearsal has shown goes first, wherever the report goes.
  if (std::fflush(stdout) != 0)
    throw Stop(not_run_status, with_error("cannot write to standard output"));
  if (path_ == standard_output) {
    if (!write_all(STDOUT_FILENO, text))
      throw Stop(not_run_status,
                 with_error("cannot write the report to standard output"));
  } else if (replaced_) {
    replace(text);
  } else {
    write_into(text);
  }
}

void Report::replace(const std::string &text) const {
  std::string unfinished = folder_of(path_) + unfinished_prefix + "XXXXXX";
  const int file = mkostemp(unfinished.data(), O_CLOEXEC);
  if (file == -1)
    cannot_write(path_);
  // Locked while it is written, so that no other rehearsal takes it for
  // one that a killed rehearsal left.
  if (flock(file, LOCK_EX) != 0) {
    const int error = errno;
    close(file);
    unlink(unfinished.c_str());
    errno = error;
    cannot_write(path_);
  }
  // As any new file of the caller's would be.
  const mode_t mask = umask(0);
  umask(mask);
  bool done = write_all(file, text) && fchmod(file, 0666 & ~mask) == 0;
  int error = errno;
  if (close(file) != 0 && done) {
    done = false;
    error = errno;
  }
  if (done && rename(unfinished.c_str(), path_.c_str()) != 0) {
    done = false;
    error = errno;
  }
  if (done)
    return;
  unlink(unfinished.c_str());
  errno = error;
  cannot_write(path_);
}

void Report::write_into(const std::string &text) const {
  // Without waiting for a reader that may never come: the rehearsal's
  // signals are blocked, so such a wait could not be interrupted.
  const int file = open(
      path_.c_str(),
      O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (file == -1)
    cannot_write(path_);
  const int flags = fcntl(file, F_GETFL);
  bool done = flags != -1 && fcntl(file, F_SETFL, flags & ~O_NONBLOCK) == 0 &&
              write_all(file, text);
  int error = errno;
  if (close(file) != 0 && done) {
    done = false;
    error = errno;
  }
  if (done)
    return;
  errno = error;
  cannot_write(path_);
}

std::string findable(const std::string &name) {
  std::string doubled;
  for (const char c : name)
    doubled += c == '\\' ? "\\\\" : std::string(1, c);
  return text::shown(doubled);
}

nlohmann::ordered_json report_of(const std::string &program,
                                 const std::string &commit,
                                 const std::vector<Machine> &machines,
                                 const std::vector<MachineVerdict> &verdicts) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < machines.size(); ++i)
    list.push_back({{"machine", findable(machines[i].name)},
                    {"capture", machines[i].capture.empty()
                                    ? nlohmann::ordered_json(nullptr)
                                    : nlohmann::ordered_json(
                                          findable(machines[i].capture))},
                    {"verdict", verdict_word(verdicts[i].verdict)},
                    {"reasons", shown_reasons(verdicts[i].reasons)}});
  return fleet_report(program, commit, list);
}

nlohmann::ordered_json fleet_report(const std::string &program,
                                    const std::string &commit,
                                    nlohmann::ordered_json machines) {
  return {{"program", program},
          {"version", RAIDVOL_VERSION},
          {"commit", commit.empty() ? nlohmann::ordered_json(nullptr)
                                    : nlohmann::ordered_json(commit)},
          {"machines", std::move(machines)}};
}

} // namespace rehearsal
