#include "subprocess.h"

#include "machine_verdict.h"
#include "stop.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rehearsal {
namespace {

std::vector<char *> pointers_to(std::vector<std::string> &texts) {
  std::vector<char *> pointers;
  for (std::string &text : texts)
    pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

} // namespace

sigset_t ending_signals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD})
    sigaddset(&signals, signal);
  return signals;
}

bool Subprocess::start(std::vector<std::string> argv,
                       std::vector<std::string> environment,
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
    return false;
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
  // The caller's signals wait for it; its own SIGPIPE is ignored.
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
  if (error != 0)
    return false;
  pid_ = child;
  own_group_ = own_group;
  return true;
}

void Subprocess::end() const { kill(own_group_ ? -pid_ : pid_, SIGKILL); }

SubprocessSet::SubprocessSet() {
  // A child's children that outlive it come back to the set.
  if (prctl(PR_SET_CHILD_SUBREAPER, 1) != 0)
    throw Stop(not_run_status, with_error("cannot adopt orphaned processes"));
  const sigset_t signals = ending_signals();
  sigprocmask(SIG_BLOCK, &signals, &caller_mask_);
  // Children's ends are waited for, even where the caller ignored them.
  caller_child_handler_ = std::signal(SIGCHLD, SIG_DFL);
}

SubprocessSet::~SubprocessSet() {
  std::signal(SIGCHLD, caller_child_handler_);
  sigprocmask(SIG_SETMASK, &caller_mask_, nullptr);
}

void SubprocessSet::add(const Subprocess &child, std::size_t id,
                        Clock::time_point deadline) {
  running_[child.pid()] = {child, id, deadline};
}

SubprocessSet::Event SubprocessSet::next() {
  const sigset_t signals = ending_signals();
  while (ended_.empty()) {
    // The first child past its deadline is ended, whole chain.
    auto first = running_.end();
    for (auto run = running_.begin(); run != running_.end(); ++run)
      if (first == running_.end() ||
          run->second.deadline < first->second.deadline)
        first = run;
    const auto left = first == running_.end()
                          ? Clock::duration::zero()
                          : first->second.deadline - Clock::now();
    if (first != running_.end() && left <= Clock::duration::zero()) {
      first->second.child.end();
      overdue_.insert(first->first);
      const Event overdue{Event::Kind::overdue, first->second.id, 0};
      running_.erase(first);
      return overdue;
    }
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    const timespec wait = {
        static_cast<time_t>(seconds.count()),
        static_cast<long>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds)
                .count())};
    const int signal = sigtimedwait(&signals, nullptr,
                                    first == running_.end() ? nullptr : &wait);
    if (signal == -1) // the deadline, or another signal, already handled
      continue;
    if (signal != SIGCHLD)
      return {Event::Kind::interrupted, 0, signal};
    // One SIGCHLD may stand for several ends.
    int status;
    pid_t pid;
    while ((pid = waitpid(-1, &status, WNOHANG)) > 0) {
      const auto ended = running_.find(pid);
      if (ended == running_.end()) {
        overdue_.erase(pid);
        continue;
      }
      ended_.push_back({Event::Kind::ended, ended->second.id, status});
      running_.erase(ended);
    }
  }
  const Event event = ended_.front();
  ended_.pop_front();
  return event;
}

std::vector<std::size_t> SubprocessSet::end_all() {
  std::vector<std::size_t> ended;
  for (const auto &[pid, run] : running_) {
    run.child.end();
    ended.push_back(run.id);
  }
  // Orphans come back to the set, so all are waited for.
  if (!running_.empty() || !overdue_.empty())
    while (waitpid(-1, nullptr, 0) > 0 || errno == EINTR) {
    }
  running_.clear();
  ended_.clear();
  overdue_.clear();
  return ended;
}

} // namespace rehearsal
