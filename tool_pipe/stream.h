// The buffered stream on one end of a pipe. Text mode writes each line feed
// as CR LF, and reads CR LF back as a line feed.
#pragma once

#include <cstddef>

namespace tool_pipe {

// Bytes held before they go to the pipe. The buffer is allocated at the
// first use, twice this size: text mode widens line feeds in its second half.
constexpr std::size_t stream_buffer_size = 4096;

struct Stream {
  int fd;
  bool writing;
  bool text;
  char *buffer;
  std::size_t held;     // bytes in the buffer
  std::size_t consumed; // bytes of them already handed out (reading only)
};

// Takes over `fd`; null, with `fd` left open, when memory runs out.
Stream *stream_open(int fd, bool writing, bool text);

// 0 when every byte was taken, -1 when some went nowhere.
int stream_write(Stream *stream, const char *bytes, std::size_t count);

// Reads up to a line feed, at most size - 1 bytes, and ends them with a NUL;
// null when nothing was read.
char *stream_read_line(Stream *stream, char *line, int size);

// Delivers what is buffered, then frees the stream and closes its end of the
// pipe; -1 if the delivery or the close failed.
int stream_close(Stream *stream);

} // namespace tool_pipe
