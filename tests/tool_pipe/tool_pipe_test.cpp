// The tool pipe on its own: which interpreter it starts, what the child gets,
// what reaches the pipe, and what the close gives back.
#include "pipe_records.h"
#include "process_state.h"
#include "recording.h"
#include "temp_folder.h"
#include "tool_pipe.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <optional>
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

class ToolPipe : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char *name :
         {"COMSPEC", "PATH", "MARKS", "RECORDING_TOOL_REPORT",
          "RECORDING_TOOL_EXIT_CODE", "RECORDING_TOOL_EXIT_AT_ONCE",
          "RECORDING_TOOL_LINGER_MS"}) {
      const char *const value = std::getenv(name);
      saved_env_[name] =
          value ? std::optional<std::string>(value) : std::nullopt;
      unsetenv(name);
    }
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    saved_folder_ = here;
    setenv("MARKS", folder_.path().c_str(), 1);
    setenv("RECORDING_TOOL_REPORT", (folder_ / "report").c_str(), 1);
    // An empty current folder, so no stray "cmd.exe" is found there.
    enter("cwd");
  }

  void TearDown() override {
    for (const auto &[name, value] : saved_env_) {
      if (value)
        setenv(name.c_str(), value->c_str(), 1);
      else
        unsetenv(name.c_str());
    }
    ASSERT_EQ(chdir(saved_folder_.c_str()), 0);
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

  void enter(const std::string &name) {
    folder_.write(name + "/.keep", "");
    ASSERT_EQ(chdir((folder_ / name).c_str()), 0);
  }

  TempFolder folder_;

private:
  std::map<std::string, std::optional<std::string>> saved_env_;
  std::string saved_folder_;
};

TEST_F(ToolPipe, StartsComspecWithSlashCAndTheCommandAndGivesItsExitCode) {
  setenv("COMSPEC", RECORDING_TOOL, 1);
  setenv("RECORDING_TOOL_EXIT_CODE", "7", 1);
  auto *const stream = _popen("c:\\vel\\kelvox\\diskpart.exe", "w");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(fputs("ONE\n", stream), 0);
  EXPECT_EQ(fputs("TWO\n", stream), 0);
  EXPECT_EQ(_pclose(stream), 7);

  const Recording recording = read_recording(folder_ / "report");
  EXPECT_EQ(recording.args,
            (std::vector<std::string>{RECORDING_TOOL, "/c",
                                      "c:\\vel\\kelvox\\diskpart.exe"}));
  ASSERT_EQ(recording.chunks.size(), 1u) << "both lines in one piece";
  EXPECT_EQ(recording.chunks[0].bytes, "ONE\r\nTWO\r\n");
  EXPECT_GT(recording.eof_ns, 0) << "the child saw end of input";
  EXPECT_EQ(recording.other_ends, 0) << "the child holds the write end";
}

TEST_F(ToolPipe, TriesExtensionsInOrderOnAComspecWithoutOne) {
  for (const char *extension : {".cmd", ".bat", ".exe", ".com"})
    folder_.script(std::string("shell") + extension,
                   interpreter_body(extension));
  folder_.script("shell", interpreter_body("bare"));
  setenv("COMSPEC", (folder_ / "shell").c_str(), 1);

  std::string order;
  for (const char *extension : {".com", ".exe", ".bat", ".cmd"}) {
    ASSERT_EQ(open_and_close(), "0");
    order += folder_.read("ran").substr(0, 4) + " ";
    ASSERT_EQ(unlink((folder_ / (std::string("shell") + extension)).c_str()),
              0);
    ASSERT_EQ(unlink((folder_ / "ran").c_str()), 0);
  }
  EXPECT_EQ(order, ".com .exe .bat .cmd ");
  setenv("PATH", (folder_ / "cwd").c_str(), 1);
  EXPECT_EQ(open_and_close(), "null") << "the bare name is not tried";
}

TEST_F(ToolPipe, FallsBackToCmdExeWhenComspecIsUnsetMissingOrNotExecutable) {
  folder_.script("cwd/cmd.exe", interpreter_body("fallback"));
  const std::string expected = "fallback [cmd.exe] [/c] [tool]\n";

  unsetenv("COMSPEC");
  EXPECT_EQ(open_and_close(), "0");
  setenv("COMSPEC", (folder_ / "missing.exe").c_str(), 1);
  EXPECT_EQ(open_and_close(), "0");
  setenv("COMSPEC", (folder_ / "missing").c_str(), 1);
  EXPECT_EQ(open_and_close(), "0");
  const std::string not_executable =
      folder_.write("plain.exe", "#!/bin/sh\necho never >> \"$MARKS/ran\"\n");
  setenv("COMSPEC", not_executable.c_str(), 1);
  EXPECT_EQ(open_and_close(), "0");

  EXPECT_EQ(folder_.read("ran"), expected + expected + expected + expected);
}

TEST_F(ToolPipe, GivesNoFallbackWhenComspecIsNotAProgram) {
  folder_.script("cwd/cmd.exe", interpreter_body("fallback"));
  setenv("COMSPEC", folder_.write("junk.exe", "no program\n", 0755).c_str(), 1);
  EXPECT_EQ(open_and_close(), "null");
  EXPECT_FALSE(folder_.has("ran"));
}

TEST_F(ToolPipe, LooksForTheFallbackInTheCurrentFolderThenEachPathFolder) {
  unsetenv("COMSPEC");
  folder_.write("first/.keep", "");
  folder_.script("second/cmd.exe", interpreter_body("second"));
  folder_.script("third/cmd.exe", interpreter_body("third"));
  setenv("PATH",
         ("::" + (folder_ / "first") + ":" + (folder_ / "second") + ":" +
          (folder_ / "third"))
             .c_str(),
         1);
  EXPECT_EQ(open_and_close(), "0");
  folder_.script("cwd/cmd.exe", interpreter_body("cwd"));
  EXPECT_EQ(open_and_close(), "0");

  const std::string ran = folder_.read("ran");
  EXPECT_EQ(ran.substr(0, ran.find(' ')), "second");
  EXPECT_EQ(ran.substr(ran.find('\n') + 1, 3), "cwd");
}

TEST_F(ToolPipe, FailsCleanlyWhenNoInterpreterCanBeStarted) {
  unsetenv("COMSPEC");
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

TEST_F(ToolPipe, RefusesAModeThatIsNeitherWriteNorRead) {
  folder_.script("shell.exe", interpreter_body("started"));
  setenv("COMSPEC", (folder_ / "shell.exe").c_str(), 1);
  for (const char *mode : {"", "a", "tw", "W", "bw"})
    EXPECT_EQ(_popen("tool", mode), nullptr) << '"' << mode << '"';
  EXPECT_FALSE(folder_.has("ran"));
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

TEST_F(ToolPipe, RefusesStreamsItDidNotOpenAndNullArguments) {
  tool_pipe::Stream *const never_opened =
      reinterpret_cast<tool_pipe::Stream *>(&folder_);
  EXPECT_EQ(_pclose(never_opened), -1);
  EXPECT_EQ(_pclose(nullptr), -1);
  EXPECT_EQ(fputs("EXIT\n", static_cast<tool_pipe::Stream *>(nullptr)), -1);
  EXPECT_EQ(tool_pipe::fgets(nullptr, 1, nullptr), nullptr);
  EXPECT_EQ(_popen(nullptr, "w"), nullptr);
  EXPECT_EQ(_popen("tool", nullptr), nullptr);
}

TEST_F(ToolPipe, GrowsTheTableByOneAndReusesFreedRecords) {
  setenv("COMSPEC", RECORDING_TOOL, 1);
  const std::size_t before = tool_pipe::pipe_record_count();
  auto *const first = _popen("tool", "w");
  auto *const second = _popen("tool", "w");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  const std::size_t with_two = tool_pipe::pipe_record_count();
  EXPECT_LE(with_two, before + 2);
  EXPECT_GE(with_two, 2u);
  EXPECT_EQ(_pclose(first), 0);
  auto *const third = _popen("tool", "w");
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(tool_pipe::pipe_record_count(), with_two);
  EXPECT_EQ(_pclose(second), 0);
  EXPECT_EQ(_pclose(third), 0);
}

TEST_F(ToolPipe, SurvivesAChildThatEndsBeforeReading) {
  setenv("COMSPEC", RECORDING_TOOL, 1);
  setenv("RECORDING_TOOL_EXIT_AT_ONCE", "1", 1);
  setenv("RECORDING_TOOL_EXIT_CODE", "4", 1);
  auto *const stream = _popen("tool", "w");
  ASSERT_NE(stream, nullptr);
  while (read_recording(folder_ / "report").end_ns == 0)
    usleep(10000);
  usleep(50000); // the report is written just before the child exits

  EXPECT_EQ(fputs(std::string(5000, 'x').c_str(), stream), -1);
  EXPECT_EQ(fputs("EXIT\n", stream), 0) << "held in the buffer";
  EXPECT_EQ(_pclose(stream), 4);
  sigset_t pending;
  ASSERT_EQ(sigpending(&pending), 0);
  EXPECT_EQ(sigismember(&pending, SIGPIPE), 0);
}

} // namespace
