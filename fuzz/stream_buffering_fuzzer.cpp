// The tool stream against a plain model of it. The input picks text or
// binary mode and a run of writes of any size; the stream writes into a pipe
// of the target's own, and after every call exactly what the model says must
// have arrived there, no more and no less, and after close the end of input.
//
// Input: one byte whose lowest bit picks text mode, then writes, each a length
// and as many bytes (fewer if the input ends first). A length below 0x80 is
// one byte; otherwise it is the low 7 bits of that byte, then one more byte.
#include "require.h"
#include "stream.h"
#include "stream_model.h"

#include <cstddef>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

using fuzz::require;

namespace {

// A call sends at most what was held before it and what it was given, every
// byte doubled at worst: bounding the input keeps that within the pipe, so
// that a write never waits for a reader that only reads after it.
constexpr std::size_t max_input_bytes = 64 * 1024;
constexpr int pipe_capacity = 256 * 1024;
static_assert(2 * (max_input_bytes + tool_pipe::stream_buffer_size) <=
                  static_cast<std::size_t>(pipe_capacity),
              "the pipe holds what any one call sends");

// Each write's bytes lie in the fuzzer's own buffer, so that a read past
// them is caught.
struct Chunk {
  const char *bytes;
  std::size_t count;
};

struct Writes {
  bool text = false;
  std::vector<Chunk> chunks;
};

Writes read_writes(const std::uint8_t *data, std::size_t size) {
  Writes writes;
  std::size_t at = 0;
  const auto next_byte = [&]() -> std::size_t {
    return at < size ? data[at++] : 0;
  };
  writes.text = (next_byte() & 1) != 0;
  while (at < size) {
    std::size_t length = next_byte();
    if (length >= 0x80)
      length = (length & 0x7f) << 8 | next_byte();
    const std::size_t taken = length < size - at ? length : size - at;
    writes.chunks.push_back({reinterpret_cast<const char *>(data) + at, taken});
    at += taken;
  }
  return writes;
}

// A pipe whose read end is the target's, large enough for any one call and
// never blocking, so that a missing byte fails the check instead of hanging.
struct Pipe {
  Pipe() {
    require(pipe2(ends, O_CLOEXEC) == 0, "a pipe can be made");
    require(fcntl(ends[1], F_SETPIPE_SZ, pipe_capacity) >= pipe_capacity,
            "the pipe can be made large enough");
    require(fcntl(ends[0], F_SETFL, O_NONBLOCK) == 0,
            "the read end can be made non-blocking");
  }
  ~Pipe() { close(ends[0]); }

  int ends[2];
};

// Takes everything waiting in the pipe; it must be `expected`, exactly.
void require_arrived(int read_end, const std::string &expected) {
  int waiting = -1;
  require(ioctl(read_end, FIONREAD, &waiting) == 0, "the pipe can be asked");
  require(static_cast<std::size_t>(waiting) == expected.size(),
          "as many bytes have arrived as the model sends");
  std::string arrived(expected.size(), '\0');
  std::size_t got = 0;
  while (got < arrived.size()) {
    const ssize_t n = read(read_end, &arrived[got], arrived.size() - got);
    require(n > 0, "waiting bytes can be read");
    got += static_cast<std::size_t>(n);
  }
  require(arrived == expected, "the bytes arrive as the model sends them");
}

void require_end_of_input(int read_end) {
  char byte;
  require(read(read_end, &byte, 1) == 0, "after close the input ends");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  if (size > max_input_bytes)
    return -1;
  const Writes writes = read_writes(data, size);
  Pipe pipe;
  tool_pipe::Stream *const stream =
      tool_pipe::stream_open(pipe.ends[1], true, writes.text);
  require(stream != nullptr, "the stream opens");
  fuzz::StreamModel model(writes.text);

  for (const Chunk &chunk : writes.chunks) {
    require(tool_pipe::stream_write(stream, chunk.bytes, chunk.count) == 0,
            "every write is taken");
    require_arrived(pipe.ends[0],
                    model.write(std::string(chunk.bytes, chunk.count)));
  }
  require(tool_pipe::stream_close(stream) == 0, "the stream closes");
  require_arrived(pipe.ends[0], model.close());
  require_end_of_input(pipe.ends[0]);
  return 0;
}
