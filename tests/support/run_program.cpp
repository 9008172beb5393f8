#include "run_program.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

void check(bool ok, const char *what) {
  if (!ok)
    throw std::runtime_error(what);
}

std::vector<std::string> environment_for(const ProgramSetup &setup) {
  std::map<std::string, std::string> merged;
  for (char **entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const auto equals = text.find('=');
    merged[text.substr(0, equals)] = text.substr(equals + 1);
  }
  for (const auto &[name, value] : setup.env) {
    if (value)
      merged[name] = *value;
    else
      merged.erase(name);
  }
  std::vector<std::string> entries;
  for (const auto &[name, value] : merged)
    entries.push_back(name + "=" + value);
  return entries;
}

std::vector<char *> pointers_to(std::vector<std::string> &texts) {
  std::vector<char *> pointers;
  for (auto &text : texts)
    pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Reads both pipes until the child has closed them.
void drain(int out_fd, int err_fd, ProgramRun &run) {
  pollfd fds[] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
  std::string *sinks[] = {&run.out, &run.err};
  int open_count = (out_fd >= 0) + (err_fd >= 0);
  while (open_count > 0) {
    if (poll(fds, 2, -1) < 0) {
      check(errno == EINTR, "poll");
      continue;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0)
        continue;
      char chunk[4096];
      const ssize_t n = read(fds[i].fd, chunk, sizeof chunk);
      if (n > 0) {
        sinks[i]->append(chunk, static_cast<std::size_t>(n));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_count;
      }
    }
  }
}

} // namespace

ProgramRun run_program(const std::string &program, const ProgramSetup &setup) {
  int out_pipe[2];
  int err_pipe[2];
  check(pipe2(out_pipe, O_CLOEXEC) == 0 && pipe2(err_pipe, O_CLOEXEC) == 0,
        "pipe");
  posix_spawn_file_actions_t actions;
  check(posix_spawn_file_actions_init(&actions) == 0, "file actions");
  check((setup.stdin_path.empty()
             ? posix_spawn_file_actions_addclose(&actions, STDIN_FILENO)
             : posix_spawn_file_actions_addopen(&actions, STDIN_FILENO,
                                                setup.stdin_path.c_str(),
                                                O_RDONLY, 0)) == 0 &&
            posix_spawn_file_actions_adddup2(&actions, out_pipe[1],
                                             STDOUT_FILENO) == 0 &&
            posix_spawn_file_actions_adddup2(&actions, err_pipe[1],
                                             STDERR_FILENO) == 0 &&
            // The program gets its three standard streams and nothing that
            // the test runner happened to hand this process.
            posix_spawn_file_actions_addclosefrom_np(&actions,
                                                     STDERR_FILENO + 1) == 0 &&
            (setup.folder.empty() || posix_spawn_file_actions_addchdir_np(
                                         &actions, setup.folder.c_str()) == 0),
        "file actions");
  if (!setup.output_read) {
    close(out_pipe[0]);
    out_pipe[0] = -1;
  }
  posix_spawnattr_t attributes;
  sigset_t pipe_signal;
  check(posix_spawnattr_init(&attributes) == 0 &&
            sigemptyset(&pipe_signal) == 0 &&
            sigaddset(&pipe_signal, SIGPIPE) == 0 &&
            posix_spawnattr_setsigdefault(&attributes, &pipe_signal) == 0 &&
            posix_spawnattr_setflags(
                &attributes,
                POSIX_SPAWN_SETSIGDEF |
                    (setup.while_running ? POSIX_SPAWN_SETPGROUP : 0)) == 0,
        "spawn attributes");

  std::vector<std::string> argv_texts{program};
  argv_texts.insert(argv_texts.end(), setup.args.begin(), setup.args.end());
  std::vector<std::string> env_texts = environment_for(setup);
  const auto argv = pointers_to(argv_texts);
  const auto envp = pointers_to(env_texts);

  ProgramRun run;
  run.started_ns = now_ns(setup.clock);
  pid_t child;
  const int error = posix_spawn(&child, program.c_str(), &actions, &attributes,
                                argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(out_pipe[1]);
  close(err_pipe[1]);
  check(error == 0, "spawn");
  if (setup.while_running)
    setup.while_running(child);
  drain(out_pipe[0], err_pipe[0], run);
  int status;
  while (waitpid(child, &status, 0) < 0)
    check(errno == EINTR, "waitpid");
  run.ended_ns = now_ns(setup.clock);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}
