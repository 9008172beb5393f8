// The stream on a pipe of the test's own, where the test can see exactly
// when bytes arrive.
#include "stream.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

using tool_pipe::Stream;
using tool_pipe::stream_buffer_size;

namespace {

class StreamOnPipe : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(pipe2(ends_, O_CLOEXEC), 0); }
  void TearDown() override {
    if (ends_[0] >= 0)
      close(ends_[0]);
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

  int ends_[2] = {-1, -1};
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
  close(ends_[0]);
  ends_[0] = -1;
  Stream *const stream = open_writer(true);
  const std::string full(stream_buffer_size, '\n');
  EXPECT_EQ(tool_pipe::stream_write(stream, full.data(), full.size()), -1);
  EXPECT_EQ(tool_pipe::stream_write(stream, "late\n", 5), 0);
  EXPECT_EQ(tool_pipe::stream_close(stream), -1);
  sigset_t pending;
  ASSERT_EQ(sigpending(&pending), 0);
  EXPECT_EQ(sigismember(&pending, SIGPIPE), 0);
}

} // namespace
