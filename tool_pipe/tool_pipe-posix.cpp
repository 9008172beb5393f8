#include "tool_pipe.h"

#include "interpreter.h"
#include "pipe_records.h"
#include "stream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tool_pipe {
namespace {

// The exit code of a child that has ended, or -1 if it cannot be had.
int wait_for(pid_t child) {
  int status;
  pid_t waited;
  do
    waited = waitpid(child, &status, 0);
  while (waited < 0 && errno == EINTR);
  if (waited != child)
    return -1;
  if (WIFSIGNALED(status))
    return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

} // namespace

Stream *_popen(const char *command, const char *mode) {
  if (command == nullptr || mode == nullptr) {
    errno = EINVAL;
    return nullptr;
  }
  const bool writing = mode[0] == 'w';
  if (!writing && mode[0] != 'r') {
    errno = EINVAL;
    return nullptr;
  }
  const bool text = mode[1] != 'b';
  // The child's standard input (or output) must be one the program has: were
  // it closed, the new pipe would take its number.
  const int child_fd = writing ? STDIN_FILENO : STDOUT_FILENO;
  if (fcntl(child_fd, F_GETFD) == -1)
    return nullptr;

  // Neither end is inherited: the child gets its end only as child_fd.
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0)
    return nullptr;
  const int ours = writing ? ends[1] : ends[0];
  const int theirs = writing ? ends[0] : ends[1];
  Stream *const stream = stream_open(ours, writing, text);
  if (stream == nullptr) {
    close(ours);
    close(theirs);
    return nullptr;
  }
  PipeRecord *const record = take_pipe_record(stream);
  const Start start =
      record ? start_interpreter(command, theirs, child_fd) : Start{-1, ENOMEM};
  close(theirs);
  if (start.child < 0) {
    if (record)
      release_pipe_record(record);
    stream_close(stream);
    errno = start.error;
    return nullptr;
  }
  record->child = start.child;
  return stream;
}

int fputs(const char *text, Stream *stream) {
  if (text == nullptr || stream == nullptr)
    return -1;
  return stream_write(stream, text, std::strlen(text));
}

char *fgets(char *line, int size, Stream *stream) {
  if (line == nullptr || stream == nullptr)
    return nullptr;
  return stream_read_line(stream, line, size);
}

int _pclose(Stream *stream) {
  // A null stream would match a free record.
  PipeRecord *const record = stream ? find_pipe_record(stream) : nullptr;
  if (record == nullptr)
    return -1;
  const pid_t child = record->child;
  // Closing our end is what tells the child that its input has ended.
  stream_close(stream);
  const int exit_code = wait_for(child);
  release_pipe_record(record);
  return exit_code;
}

} // namespace tool_pipe
