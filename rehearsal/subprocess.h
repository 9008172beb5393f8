// Child processes on ninja's model: a Subprocess owns one child, and a
// SubprocessSet owns the loop that waits on them, their time limits and the
// signals that end a rehearsal.
#pragma once

#include <chrono>
#include <csignal>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <sys/types.h>
#include <vector>

namespace rehearsal {

// The signals that end a rehearsal. They are blocked from its start, so that
// none is lost before its children run, and are taken in turn with the
// children's ends.
sigset_t ending_signals();

class Subprocess {
public:
  // Starts `argv` with `environment` in `folder`, where `own_group` says as
  // the leader of a process group of its own: /dev/null for its input,
  // `console` (if not -1) for its output and error, no other descriptor of
  // the caller's, no signal blocked, and SIGPIPE as the default has it.
  // False, with errno set, where it cannot.
  bool start(std::vector<std::string> argv,
             std::vector<std::string> environment, const std::string &folder,
             int console, bool own_group);
  // Ends it at once: its whole process group where it has one of its own;
  // else the child alone, whose end ends what reads from it.
  void end() const;
  pid_t pid() const { return pid_; }

private:
  pid_t pid_ = -1;
  bool own_group_ = false;
};

class SubprocessSet {
public:
  using Clock = std::chrono::steady_clock;

  // Takes the ending signals and the children's ends in turn, whatever the
  // caller had set for SIGCHLD, and adopts the children's orphans, so that
  // none outlives the set unseen. Throws Stop where it cannot.
  SubprocessSet();
  // Gives back the caller's signal mask.
  ~SubprocessSet();
  SubprocessSet(const SubprocessSet &) = delete;
  SubprocessSet &operator=(const SubprocessSet &) = delete;

  // `child`, known to the caller as `id`, ended if it runs past `deadline`.
  void add(const Subprocess &child, std::size_t id, Clock::time_point deadline);
  // The children added whose end has not been given out by next(), and
  // that have not passed their deadline.
  std::size_t running() const { return running_.size() + ended_.size(); }

  struct Event {
    enum class Kind { ended, overdue, interrupted } kind;
    std::size_t id = 0; // the child's, where one ended or is overdue
    int status = 0;     // its wait status, or the signal that interrupted
  };
  // Waits for the next child to end, or to pass its deadline (it is then
  // ended, its end awaited by end_all), or for an ending signal.
  Event next();
  // Ends each child still running and waits until every child, orphans
  // too, has ended; the ids of those it ended.
  std::vector<std::size_t> end_all();

private:
  struct Running {
    Subprocess child;
    std::size_t id;
    Clock::time_point deadline;
  };
  std::map<pid_t, Running> running_;
  std::set<pid_t> overdue_; // ended at their deadline, not yet waited for
  std::deque<Event> ended_; // reaped, not yet given out
  sigset_t caller_mask_;
  void (*caller_child_handler_)(int);
};

} // namespace rehearsal
