// The tool pipe on its own: which interpreter it starts, what the child gets,
// what reaches the pipe, and what the close gives back.
#include "deliverables.h"
#include "environment_guard.h"
#include "pipe_records.h"
#include "process_state.h"
#include "recording.h"
#include "stream.h"
#include "temp_folder.h"
#include "tool_pipe.h"

#include <gtest/gtest.h>

#include <alloca.h>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

using tool_pipe::_pclose;
using tool_pipe::_popen;
using tool_pipe::fputs;

namespace {

// Each interpreter script leaves its name and argument vector in "ran".
std::string interpreter_body(const std::string &name) {
  return "printf '%s' '" + name +
         "' >> \"$MARKS/ran\"\n"
         "printf ' [%s]' \"$0\" \"$@\" >> \"$MARKS/ran\"\n"
         "echo >> \"$MARKS/ran\"\n"
         "exec /bin/cat > /dev/null";
}

struct ShortOfStack {
  std::size_t left;
  void (*run)();
};

void *burn_stack_then_run(void *job_pointer) {
  const auto *const job = static_cast<const ShortOfStack *>(job_pointer);
  pthread_attr_t attributes;
  void *lowest;
  std::size_t size;
  if (pthread_getattr_np(pthread_self(), &attributes) != 0 ||
      pthread_attr_getstack(&attributes, &lowest, &size) != 0)
    std::abort();
  pthread_attr_destroy(&attributes);
  const std::size_t below_here =
      reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)) -
      reinterpret_cast<std::uintptr_t>(lowest);
  volatile char *const burnt =
      static_cast<char *>(alloca(below_here - job->left));
  burnt[0] = 0;
  job->run();
  return nullptr;
}

// Runs `run` on a thread of its own with only `left` bytes of stack below
// it, above a guard wider than any frame, so that a deeper run meets the
// guard and the process dies of SIGSEGV.
void run_short_of_stack(std::size_t left, void (*run)()) {
  constexpr std::size_t stack = 1 << 20, guard = 1 << 16;
  pthread_attr_t attributes;
  pthread_t thread;
  if (pthread_attr_init(&attributes) != 0 ||
      pthread_attr_setstacksize(&attributes, stack) != 0 ||
      pthread_attr_setguardsize(&attributes, guard) != 0)
    std::abort();
  ShortOfStack job{left, run};
  if (pthread_create(&thread, &attributes, burn_stack_then_run, &job) != 0 ||
      pthread_join(thread, nullptr) != 0)
    std::abort();
  pthread_attr_destroy(&attributes);
}

class ToolPipe : public ::testing::Test {
protected:
  void SetUp() override {
    setenv("MARKS", folder_.path().c_str(), 1);
    setenv("RECORDING_TOOL_REPORT", (folder_ / "report").c_str(), 1);
    // An empty current folder, so no stray "cmd.exe" is found there.
    enter("cwd");
  }

  // Runs `text` through a stream to the recording interpreter.
  Recording deliver(const char *mode, const std::string &text) {
    setenv("COMSPEC", RECORDING_TOOL, 1);
    auto *const stream = _popen("tool", mode);
    EXPECT_NE(stream, nullptr);
    EXPECT_EQ(fputs(text.c_str(), stream), 0);
    EXPECT_EQ(_pclose(stream), 0);
    return read_recording(folder_ / "report");
  }

  // Opens "tool" and closes it at once; what the close gave, or a note
  // that the open failed.
  std::string open_and_close() {
    auto *const stream = _popen("tool", "w");
    if (stream == nullptr)
      return "null";
    return std::to_string(_pclose(stream));
  }

  // A script that marks "ran" if it ever runs, and may not be run.
  std::string never_run(const std::string &name) {
    return folder_.write(name, "#!/bin/sh\necho never >> \"$MARKS/ran\"\n");
  }

  void enter(const std::string &name) {
    folder_.write(name + "/.keep", "");
    ASSERT_EQ(chdir((folder_ / name).c_str()), 0);
  }

  TempFolder folder_;
  EnvironmentGuard guard_{"COMSPEC",
                          "PATH",
                          "MARKS",
                          "RECORDING_TOOL_REPORT",
                          "RECORDING_TOOL_EXIT_CODE",
                          "RECORDING_TOOL_EXIT_AT_ONCE",
                          "RECORDING_TOOL_LINGER_MS"};
};

TEST_F(ToolPipe, StartsComspecWithSlashCAndTheCommandAndGivesItsExitCode) {
  setenv("COMSPEC", RECORDING_TOOL, 1);
  setenv("RECORDING_TOOL_EXIT_CODE", "7", 1);
  auto *const stream = _popen(disk_tool_command, "w");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(fputs("ONE\n", stream), 0);
  EXPECT_EQ(fputs("TWO\n", stream), 0);
  EXPECT_EQ(_pclose(stream), 7);

  const Recording recording = read_recording(folder_ / "report");
  EXPECT_EQ(recording.args, (std::vector<std::string>{RECORDING_TOOL, "/c",
                                                      disk_tool_command}));
  ASSERT_EQ(recording.chunks.size(), 1u) << "both lines in one piece";
  EXPECT_EQ(recording.chunks[0].bytes, "ONE\r\nTWO\r\n");
  EXPECT_GT(recording.eof_ns, 0) << "the child saw end of input";
  EXPECT_EQ(recording.other_ends, 0) << "the child holds the write end";

  setenv("COMSPEC", folder_.script("killed.exe", "kill -TERM $$").c_str(), 1);
  EXPECT_EQ(open_and_close(), std::to_string(128 + SIGTERM));
}

TEST_F(ToolPipe, TriesExtensionsInOrderOnAComspecWithoutOne) {
  // The dot in the folder's name is no extension of "shell".
  for (const char *extension : {".cmd", ".bat", ".exe", ".com"})
    folder_.script(std::string("v1.0/shell") + extension,
                   interpreter_body(extension));
  folder_.script("v1.0/shell", interpreter_body("bare"));
  setenv("COMSPEC", (folder_ / "v1.0/shell").c_str(), 1);

  std::string order;
  for (const char *extension : {".com", ".exe", ".bat", ".cmd"}) {
    ASSERT_EQ(open_and_close(), "0");
    order += folder_.read("ran").substr(0, 4) + " ";
    ASSERT_EQ(
        unlink((folder_ / (std::string("v1.0/shell") + extension)).c_str()), 0);
    ASSERT_EQ(unlink((folder_ / "ran").c_str()), 0);
  }
  EXPECT_EQ(order, ".com .exe .bat .cmd ");
  setenv("PATH", (folder_ / "cwd").c_str(), 1);
  EXPECT_EQ(open_and_close(), "null") << "the bare name is not tried";
}

TEST_F(ToolPipe, FallsBackToCmdExeWhenComspecIsUnsetMissingOrNotExecutable) {
  folder_.script("cwd/cmd.exe", interpreter_body("fallback"));
  // Hidden programs that a COMSPEC naming no file must not start.
  for (const char *hidden : {"cwd/.exe", "cwd/sub\\.exe", ".exe"})
    folder_.script(hidden, interpreter_body("hidden"));
  const std::string not_executable = never_run("plain.exe");

  std::string expected;
  for (const std::optional<std::string> &comspec :
       {std::optional<std::string>(), std::optional(folder_ / "missing.exe"),
        std::optional(folder_ / "missing"), std::optional(not_executable),
        std::optional<std::string>(""), std::optional(folder_ / ""),
        std::optional<std::string>("sub\\")}) {
    if (comspec)
      setenv("COMSPEC", comspec->c_str(), 1);
    EXPECT_EQ(open_and_close(), "0") << comspec.value_or("unset");
    expected += "fallback [cmd.exe] [/c] [tool]\n";
  }
  EXPECT_EQ(folder_.read("ran"), expected);
}

TEST_F(ToolPipe, LooksForTheFallbackInTheCurrentFolderThenEachPathFolder) {
  folder_.write("first/.keep", "");
  never_run("denied/cmd.exe");
  folder_.script("second/cmd.exe", interpreter_body("second"));
  folder_.script("third/cmd.exe", interpreter_body("third"));
  // The last folder, alone or after others, is searched too.
  for (const std::string &path :
       {"::" + (folder_ / "first") + ":" + (folder_ / "denied") + ":" +
            (folder_ / "second") + ":" + (folder_ / "third"),
        (folder_ / "first") + ":" + (folder_ / "third"), folder_ / "third"}) {
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(open_and_close(), "0") << path;
  }
  folder_.script("cwd/cmd.exe", interpreter_body("cwd"));
  EXPECT_EQ(open_and_close(), "0");

  const auto ran = [&](const std::string &name) {
    return name + " [" + (folder_ / name) + "/cmd.exe] [/c] [tool]\n";
  };
  EXPECT_EQ(folder_.read("ran"), ran("second") + ran("third") + ran("third") +
                                     "cwd [cmd.exe] [/c] [tool]\n");
}

// A file that is there but cannot start ends the search with its own
// failure: no fallback after COMSPEC's, no PATH folder after a cmd.exe.
TEST_F(ToolPipe, GivesNullLeavingNothingWhenTheInterpreterFoundCannotStart) {
  folder_.script("good/cmd.exe", interpreter_body("good"));
  const std::string junk = folder_.write("junk/cmd.exe", "no program\n", 0755);
  // The kernel says "not found" for the missing interpreter, not for this.
  const std::string orphan =
      folder_.write("orphan.exe", "#!/no/such/shell\n", 0755);
  setenv("PATH", (folder_ / "good").c_str(), 1);
  for (const std::string &comspec : {junk, orphan}) {
    setenv("COMSPEC", comspec.c_str(), 1);
    EXPECT_EQ(open_and_close(), "null") << comspec;
  }
  unsetenv("COMSPEC");
  setenv("PATH", ((folder_ / "junk") + ":" + (folder_ / "good")).c_str(), 1);
  errno = 0;
  EXPECT_EQ(_popen("tool", "w"), nullptr);
  EXPECT_EQ(errno, ENOEXEC) << "the failure of the file that was found";
  EXPECT_FALSE(folder_.has("ran"));
  // With no interpreter at all, the open leaves nothing behind either.
  setenv("PATH", (folder_ / "cwd").c_str(), 1);
  const ProcessState before = process_state();
  EXPECT_EQ(_popen("tool", "w"), nullptr);
  EXPECT_EQ(what_changed(before, process_state()), "");
}

TEST_F(ToolPipe, LeavesStandardInputAsItWasAfterAStart) {
  struct stat before, after;
  ASSERT_EQ(fstat(STDIN_FILENO, &before), 0);
  const int flags = fcntl(STDIN_FILENO, F_GETFD);
  setenv("COMSPEC", RECORDING_TOOL, 1);
  auto *const stream = _popen("tool", "w");
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(fstat(STDIN_FILENO, &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(fcntl(STDIN_FILENO, F_GETFD), flags);
  EXPECT_EQ(_pclose(stream), 0);
}

TEST_F(ToolPipe, GivesNullAndStartsNothingWithoutStandardInput) {
  folder_.script("shell.exe", interpreter_body("started"));
  setenv("COMSPEC", (folder_ / "shell.exe").c_str(), 1);
  const int saved_input = dup(STDIN_FILENO);
  ASSERT_GE(saved_input, 0);
  ASSERT_EQ(close(STDIN_FILENO), 0);
  auto *const stream = _popen("tool", "w");
  const bool input_still_closed = fcntl(STDIN_FILENO, F_GETFD) == -1;
  ASSERT_EQ(dup2(saved_input, STDIN_FILENO), STDIN_FILENO);
  close(saved_input);

  EXPECT_EQ(stream, nullptr);
  EXPECT_TRUE(input_still_closed);
  EXPECT_FALSE(folder_.has("ran"));
}

TEST_F(ToolPipe, TranslatesLineFeedsUnlessTheModeSaysBinary) {
  const std::string text = "a\nbc\n\nd"; // 7 bytes, 3 line feeds
  const std::string translated = "a\r\nbc\r\n\r\nd";
  EXPECT_EQ(deliver("w", text).all_bytes(), translated);
  EXPECT_EQ(deliver("wt", text).all_bytes(), translated);
  EXPECT_EQ(deliver("wz", text).all_bytes(), translated);
  EXPECT_EQ(deliver("wb", text).all_bytes(), text);
  EXPECT_EQ(deliver("w", "no line end").all_bytes(), "no line end");
}

TEST_F(ToolPipe, DeliversTheScriptWithLittleStackLeft) {
  // A program may be started with a small stack: the whole run, delivery at
  // close included, has to fit in a few KiB.
  setenv("COMSPEC", RECORDING_TOOL, 1);
  EXPECT_EXIT(
      {
        run_short_of_stack(8192, [] {
          auto *const stream = _popen(disk_tool_command, "w");
          fputs(nosize_script_as_written, stream);
          _pclose(stream);
        });
        const Recording recording = read_recording(folder_ / "report");
        std::exit(recording.all_bytes() == nosize_script ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(ToolPipe, ReadsTheChildsOutputLineByLine) {
  folder_.script("talker.exe", "printf 'one\\r\\ntwo\\nthree\\rfour'");
  setenv("COMSPEC", (folder_ / "talker.exe").c_str(), 1);
  for (const char *mode : {"r", "rb"}) {
    auto *const stream = _popen("tool", mode);
    ASSERT_NE(stream, nullptr);
    std::string lines;
    char line[6];
    while (tool_pipe::fgets(line, sizeof line, stream) != nullptr)
      lines += std::string("<") + line + ">";
    EXPECT_EQ(fputs("x", stream), -1);
    EXPECT_EQ(_pclose(stream), 0);
    EXPECT_EQ(lines, mode == std::string("r")
                         ? "<one\n><two\n><three><\rfour>"
                         : "<one\r\n><two\n><three><\rfour>");
  }
}

TEST_F(ToolPipe, RefusesBadModesNullArgumentsAndStreamsItDidNotOpen) {
  setenv("COMSPEC", RECORDING_TOOL, 1);
  for (const char *mode : {"", "a", "tw", "W", "bw"})
    EXPECT_EQ(_popen("tool", mode), nullptr) << '"' << mode << '"';
  EXPECT_EQ(_popen(nullptr, "w"), nullptr);
  EXPECT_EQ(_popen("tool", nullptr), nullptr);
  EXPECT_FALSE(folder_.has("report")) << "nothing was started";
  EXPECT_EQ(_pclose(reinterpret_cast<tool_pipe::Stream *>(&folder_)), -1);
  ASSERT_EQ(open_and_close(), "0") << "leaves a freed record behind";
  EXPECT_EQ(_pclose(nullptr), -1) << "a null stream matches no freed record";
  EXPECT_EQ(fputs("EXIT\n", static_cast<tool_pipe::Stream *>(nullptr)), -1);
  EXPECT_EQ(tool_pipe::fgets(nullptr, 1, nullptr), nullptr);
}

TEST_F(ToolPipe, KeepsTwoStreamsApartAndReusesFreedRecords) {
  setenv("COMSPEC", RECORDING_TOOL, 1);
  const auto open_reporting_to = [&](const char *report) {
    setenv("RECORDING_TOOL_REPORT", (folder_ / report).c_str(), 1);
    return _popen("tool", "w");
  };
  auto *const first = open_reporting_to("first");
  auto *const second = open_reporting_to("second");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  const tool_pipe::PipeRecord *const first_record =
      tool_pipe::find_pipe_record(first);
  // Were the first pipe's write end in the second child too, closing the
  // first stream would never end its child's input.
  ASSERT_EQ(
      descriptors_on(tool_pipe::find_pipe_record(second)->child, first->fd), 0);
  EXPECT_EQ(fputs("1\n", first), 0);
  EXPECT_EQ(_pclose(first), 0);
  EXPECT_EQ(read_recording(folder_ / "first").all_bytes(), "1\r\n");

  // A start that fails hands its record back for the next stream.
  setenv("COMSPEC", folder_.write("junk.exe", "no program\n", 0755).c_str(), 1);
  EXPECT_EQ(_popen("tool", "w"), nullptr);
  setenv("COMSPEC", RECORDING_TOOL, 1);
  auto *const third = open_reporting_to("third");
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(tool_pipe::find_pipe_record(third), first_record);
  EXPECT_EQ(fputs("2\n", second), 0);
  EXPECT_EQ(_pclose(second), 0);
  EXPECT_EQ(read_recording(folder_ / "second").all_bytes(), "2\r\n");
  EXPECT_EQ(_pclose(third), 0);
}

TEST_F(ToolPipe, SurvivesAChildThatEndsBeforeReading) {
  setenv("COMSPEC", RECORDING_TOOL, 1);
  setenv("RECORDING_TOOL_EXIT_AT_ONCE", "1", 1);
  setenv("RECORDING_TOOL_EXIT_CODE", "4", 1);
  auto *const stream = _popen("tool", "w");
  ASSERT_NE(stream, nullptr);
  // The write end reports an error once the reader has gone.
  pollfd write_end{stream->fd, 0, 0};
  ASSERT_EQ(poll(&write_end, 1, -1), 1);
  ASSERT_NE(write_end.revents & POLLERR, 0);

  const std::string more_than_a_buffer(2 * tool_pipe::stream_buffer_size, 'x');
  EXPECT_EQ(fputs(more_than_a_buffer.c_str(), stream), -1);
  EXPECT_EQ(fputs("EXIT\n", stream), 0) << "held in the buffer";
  EXPECT_EQ(_pclose(stream), 4);
}

} // namespace
