#include "report.h"

#include "stop.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rehearsal {
namespace {

[[noreturn]] void cannot_write(const std::string &path) {
  throw Stop(not_run_status, with_error("cannot write the report " + path));
}

} // namespace

Report::Report(std::string path) : path_(std::move(path)) {
  if (unlink(path_.c_str()) != 0 && errno != ENOENT)
    cannot_write(path_);
  const auto slash = path_.rfind('/');
  unfinished_ = (slash == std::string::npos ? "" : path_.substr(0, slash + 1)) +
                ".unfinished-report-XXXXXX";
  file_ = mkostemp(unfinished_.data(), O_CLOEXEC);
  if (file_ == -1)
    cannot_write(path_);
}

Report::~Report() {
  if (file_ != -1) {
    close(file_);
    unlink(unfinished_.c_str());
  }
}

void Report::write(const nlohmann::ordered_json &report) {
  // Bytes of a capture that are not UTF-8 are replaced, not refused.
  const std::string text =
      report.dump(2, ' ', false,
                  nlohmann::ordered_json::error_handler_t::replace) +
      "\n";
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t count =
        ::write(file_, text.data() + written, text.size() - written);
    if (count < 0 && errno != EINTR)
      cannot_write(path_);
    written += count > 0 ? static_cast<std::size_t>(count) : 0;
  }
  // As any new file of the caller's would be.
  const mode_t mask = umask(0);
  umask(mask);
  if (fchmod(file_, 0666 & ~mask) != 0 || close(file_) != 0) {
    file_ = -1;
    unlink(unfinished_.c_str());
    cannot_write(path_);
  }
  file_ = -1;
  if (rename(unfinished_.c_str(), path_.c_str()) != 0) {
    unlink(unfinished_.c_str());
    cannot_write(path_);
  }
}

nlohmann::ordered_json report_of(const std::string &program,
                                 const std::string &commit,
                                 const std::vector<Machine> &machines,
                                 const std::vector<Outcome> &outcomes) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < machines.size(); ++i)
    list.push_back(
        {{"machine", machines[i].name},
         {"capture", machines[i].capture.empty()
                         ? nlohmann::ordered_json(nullptr)
                         : nlohmann::ordered_json(machines[i].capture)},
         {"verdict", conclusion_word(outcomes[i].conclusion)},
         {"reasons", outcomes[i].reasons}});
  return {{"program", program},
          {"version", RAIDVOL_VERSION},
          {"commit", commit.empty() ? nlohmann::ordered_json(nullptr)
                                    : nlohmann::ordered_json(commit)},
          {"machines", list}};
}

} // namespace rehearsal
