// The stream on a pipe of the test's own, where the test can see exactly
// when bytes arrive.
#include "stream.h"

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

using tool_pipe::Stream;
using tool_pipe::stream_buffer_size;

namespace {

bool sigpipe_pending() {
  sigset_t pending;
  return sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
}

class StreamOnPipe : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(pipe2(ends_, O_CLOEXEC), 0);
    ASSERT_EQ(sigprocmask(SIG_SETMASK, nullptr, &mask_), 0);
  }
  // Whatever the stream did with signals, the caller's mask is as it was.
  void TearDown() override {
    if (ends_[0] >= 0)
      close(ends_[0]);
    sigset_t mask;
    ASSERT_EQ(sigprocmask(SIG_SETMASK, nullptr, &mask), 0);
    EXPECT_EQ(sigismember(&mask, SIGPIPE), sigismember(&mask_, SIGPIPE));
  }

  Stream *open_writer(bool text) {
    return tool_pipe::stream_open(ends_[1], true, text);
  }
  int waiting() {
    int bytes = -1;
    EXPECT_EQ(ioctl(ends_[0], FIONREAD, &bytes), 0);
    return bytes;
  }
  std::string take(int count) {
    std::string bytes(static_cast<std::size_t>(count), '\0');
    EXPECT_EQ(read(ends_[0], bytes.data(), bytes.size()), count);
    return bytes;
  }

  // A buffer full of line feeds, then a line, for a reader that has gone:
  // the buffer is lost and reported, the line only at close.
  void write_for_a_reader_that_has_gone() {
    close(ends_[0]);
    ends_[0] = -1;
    Stream *const stream = open_writer(true);
    const std::string full(stream_buffer_size, '\n');
    EXPECT_EQ(tool_pipe::stream_write(stream, full.data(), full.size()), -1);
    EXPECT_EQ(tool_pipe::stream_write(stream, "late\n", 5), 0);
    EXPECT_EQ(tool_pipe::stream_close(stream), -1);
  }

  int ends_[2] = {-1, -1};
  sigset_t mask_;
};

TEST_F(StreamOnPipe, HoldsEverythingUntilTheBufferIsFull) {
  Stream *const stream = open_writer(false);
  const std::string almost(stream_buffer_size - 1, 'x');
  EXPECT_EQ(tool_pipe::stream_write(stream, almost.data(), almost.size()), 0);
  EXPECT_EQ(waiting(), 0);
  EXPECT_EQ(tool_pipe::stream_write(stream, "yz", 2), 0);
  EXPECT_EQ(waiting(), static_cast<int>(stream_buffer_size));
  EXPECT_EQ(take(stream_buffer_size), almost + "y");
  EXPECT_EQ(tool_pipe::stream_close(stream), 0);
  EXPECT_EQ(take(1), "z");
  EXPECT_EQ(waiting(), 0);
  char after;
  EXPECT_EQ(read(ends_[0], &after, 1), 0) << "closing ends the input";
}

TEST_F(StreamOnPipe, TranslatesAsTheBytesLeaveTheBuffer) {
  Stream *const stream = open_writer(true);
  std::string full;
  for (std::size_t i = 0; i < stream_buffer_size; ++i)
    full += i % 4 == 3 ? '\n' : 'a';
  const std::size_t line_feeds = stream_buffer_size / 4;
  EXPECT_EQ(tool_pipe::stream_write(stream, full.data(), full.size() - 1), 0);
  EXPECT_EQ(waiting(), 0) << "translation does not fill the buffer sooner";
  EXPECT_EQ(tool_pipe::stream_write(stream, "\n", 1), 0);
  const std::string out =
      take(static_cast<int>(stream_buffer_size + line_feeds));
  EXPECT_EQ(out.substr(0, 10), "aaa\r\naaa\r\n");
  EXPECT_EQ(tool_pipe::stream_close(stream), 0);
  EXPECT_EQ(waiting(), 0);
}

TEST_F(StreamOnPipe, LosesTheBytesButNotTheProgramWhenTheReaderHasGone) {
  write_for_a_reader_that_has_gone();
  EXPECT_FALSE(sigpipe_pending());
}

TEST_F(StreamOnPipe, LeavesTheCallersOwnPendingSigpipeAlone) {
  sigset_t pipe_signal;
  sigemptyset(&pipe_signal);
  sigaddset(&pipe_signal, SIGPIPE);
  ASSERT_EQ(sigprocmask(SIG_BLOCK, &pipe_signal, nullptr), 0);
  ASSERT_EQ(raise(SIGPIPE), 0);
  write_for_a_reader_that_has_gone();
  EXPECT_TRUE(sigpipe_pending());
  const timespec no_wait{};
  EXPECT_EQ(sigtimedwait(&pipe_signal, nullptr, &no_wait), SIGPIPE);
  ASSERT_EQ(sigprocmask(SIG_UNBLOCK, &pipe_signal, nullptr), 0);
}

} // namespace
