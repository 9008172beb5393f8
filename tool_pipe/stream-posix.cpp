#include "stream.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace tool_pipe {
namespace {

// Writes every byte, going on after partial writes and signals. A reader that
// has gone makes this fail with EPIPE; the SIGPIPE that comes with it would
// kill the program, so it is held back and taken off the queue here.
bool write_all(int fd, const char *bytes, std::size_t count) {
  sigset_t pipe_signal;
  sigset_t saved_mask;
  sigset_t pending;
  sigemptyset(&pipe_signal);
  sigaddset(&pipe_signal, SIGPIPE);
  if (sigprocmask(SIG_BLOCK, &pipe_signal, &saved_mask) != 0)
    return false;
  const bool was_pending =
      sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
  bool written = true;
  while (count > 0) {
    const ssize_t n = write(fd, bytes, count);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0) {
      written = false;
      break;
    }
    bytes += n;
    count -= static_cast<std::size_t>(n);
  }
  if (!written && errno == EPIPE && !was_pending) {
    const timespec no_wait{};
    sigtimedwait(&pipe_signal, nullptr, &no_wait);
  }
  sigprocmask(SIG_SETMASK, &saved_mask, nullptr);
  return written;
}

// Widens each line feed of `bytes` to CR LF in place, working from the end,
// so that no byte is overwritten before it has moved; the new length. The
// buffer's second half leaves room for a buffer full of line feeds.
std::size_t widen_line_feeds(char *bytes, std::size_t count) {
  const std::size_t widened =
      count + static_cast<std::size_t>(std::count(bytes, bytes + count, '\n'));
  for (std::size_t from = count, to = widened; from > 0;) {
    const char byte = bytes[--from];
    bytes[--to] = byte;
    if (byte == '\n')
      bytes[--to] = '\r';
  }
  return widened;
}

// Sends the held bytes to the pipe, translated, and empties the buffer. It
// works in the buffer itself: a program that is short of stack may still
// hand over its script.
bool flush(Stream *stream) {
  const std::size_t length =
      stream->text ? widen_line_feeds(stream->buffer, stream->held)
                   : stream->held;
  stream->held = 0;
  return write_all(stream->fd, stream->buffer, length);
}

bool allocate_buffer(Stream *stream) {
  if (stream->buffer == nullptr)
    stream->buffer = static_cast<char *>(std::malloc(2 * stream_buffer_size));
  return stream->buffer != nullptr;
}

// The next byte from the pipe, or -1 at end of input or failure.
int next_byte(Stream *stream) {
  if (stream->consumed == stream->held) {
    ssize_t n;
    do
      n = read(stream->fd, stream->buffer, stream_buffer_size);
    while (n < 0 && errno == EINTR);
    if (n <= 0)
      return -1;
    stream->held = static_cast<std::size_t>(n);
    stream->consumed = 0;
  }
  return static_cast<unsigned char>(stream->buffer[stream->consumed++]);
}

// In text mode a CR that comes right before a line feed is dropped.
int next_char(Stream *stream) {
  const int byte = next_byte(stream);
  if (byte != '\r' || !stream->text)
    return byte;
  const int following = next_byte(stream);
  if (following == '\n')
    return '\n';
  if (following != -1)
    --stream->consumed; // not a line end: keep it for the next call
  return '\r';
}

} // namespace

Stream *stream_open(int fd, bool writing, bool text) {
  auto *const stream = static_cast<Stream *>(std::malloc(sizeof(Stream)));
  if (stream != nullptr)
    *stream = Stream{fd, writing, text, nullptr, 0, 0};
  return stream;
}

int stream_write(Stream *stream, const char *bytes, std::size_t count) {
  if (!stream->writing || !allocate_buffer(stream))
    return -1;
  bool delivered = true;
  for (std::size_t i = 0; i < count; ++i) {
    stream->buffer[stream->held++] = bytes[i];
    if (stream->held == stream_buffer_size)
      delivered = flush(stream) && delivered;
  }
  return delivered ? 0 : -1;
}

char *stream_read_line(Stream *stream, char *line, int size) {
  if (stream->writing || size < 1 || !allocate_buffer(stream))
    return nullptr;
  int length = 0;
  while (length < size - 1) {
    const int c = next_char(stream);
    if (c == -1)
      break;
    line[length++] = static_cast<char>(c);
    if (c == '\n')
      break;
  }
  line[length] = '\0';
  return length > 0 ? line : nullptr;
}

int stream_close(Stream *stream) {
  bool delivered = true;
  if (stream->writing && stream->held > 0)
    delivered = flush(stream);
  const bool closed = close(stream->fd) == 0;
  std::free(stream->buffer);
  std::free(stream);
  return delivered && closed ? 0 : -1;
}

} // namespace tool_pipe
