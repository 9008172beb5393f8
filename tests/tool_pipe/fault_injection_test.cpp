// Each step of opening made to fail in turn, through link-time wrappers that
// only this test has: whatever fails, _popen gives null and leaves nothing
// behind. The wrappers let every call through until one is armed to fail.
#include "pipe_records.h"
#include "process_state.h"
#include "temp_folder.h"
#include "tool_pipe.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

enum Call { Pipe, DescriptorCopy, Allocation, Growth, Start, Wait, CallKinds };

struct Fault {
  int calls_to_pass = -1; // -1: none fails
  int error = 0;
};
Fault faults[CallKinds];

void arm(Call call, int error, int calls_to_pass = 0) {
  faults[call] = Fault{calls_to_pass, error};
}

bool fails(Call call) {
  Fault &fault = faults[call];
  if (fault.calls_to_pass < 0 || fault.calls_to_pass-- > 0)
    return false;
  errno = fault.error;
  return true;
}

} // namespace

extern "C" {
int __real_pipe2(int *, int);
int __wrap_pipe2(int *ends, int flags) {
  return fails(Pipe) ? -1 : __real_pipe2(ends, flags);
}

int __real_posix_spawn_file_actions_adddup2(posix_spawn_file_actions_t *, int,
                                            int);
int __wrap_posix_spawn_file_actions_adddup2(posix_spawn_file_actions_t *actions,
                                            int from, int to) {
  return fails(DescriptorCopy)
             ? errno
             : __real_posix_spawn_file_actions_adddup2(actions, from, to);
}

void *__real_malloc(size_t);
void *__wrap_malloc(size_t size) {
  return fails(Allocation) ? nullptr : __real_malloc(size);
}

void *__real_realloc(void *, size_t);
void *__wrap_realloc(void *old, size_t size) {
  return fails(Growth) ? nullptr : __real_realloc(old, size);
}

int __real_posix_spawn(pid_t *, const char *,
                       const posix_spawn_file_actions_t *,
                       const posix_spawnattr_t *, char *const[], char *const[]);
int __wrap_posix_spawn(pid_t *child, const char *path,
                       const posix_spawn_file_actions_t *actions,
                       const posix_spawnattr_t *attributes, char *const argv[],
                       char *const envp[]) {
  return fails(Start)
             ? errno
             : __real_posix_spawn(child, path, actions, attributes, argv, envp);
}

pid_t __real_waitpid(pid_t, int *, int);
pid_t __wrap_waitpid(pid_t child, int *status, int options) {
  return fails(Wait) ? -1 : __real_waitpid(child, status, options);
}
}

namespace {

class FailingOpen : public ::testing::Test {
protected:
  void SetUp() override {
    const std::string body = "exec /bin/cat > /dev/null";
    comspec_ = folder_.script("shell.exe", body);
    folder_.script("cwd/cmd.exe", body);
    saved_comspec_ = std::getenv("COMSPEC");
    setenv("COMSPEC", comspec_.c_str(), 1);
    ASSERT_NE(getcwd(saved_folder_, sizeof saved_folder_), nullptr);
    ASSERT_EQ(chdir((folder_ / "cwd").c_str()), 0);
  }

  void TearDown() override {
    for (Fault &fault : faults)
      fault = Fault{};
    if (saved_comspec_)
      setenv("COMSPEC", saved_comspec_, 1);
    else
      unsetenv("COMSPEC");
    ASSERT_EQ(chdir(saved_folder_), 0);
  }

  // Opens with `call` failing, and shows that nothing was left behind.
  void expect_clean_failure(Call call, int error, int calls_to_pass = 0) {
    const ProcessState before = process_state();

    arm(call, error, calls_to_pass);
    tool_pipe::Stream *const stream = tool_pipe::_popen("tool", "w");
    const bool fired = faults[call].calls_to_pass == -1;
    faults[call] = Fault{};

    EXPECT_TRUE(fired) << "the armed call was never made";
    EXPECT_EQ(stream, nullptr);
    EXPECT_EQ(what_changed(before, process_state()), "");
  }

  TempFolder folder_;
  std::string comspec_;

private:
  const char *saved_comspec_ = nullptr;
  char saved_folder_[4096];
};

TEST_F(FailingOpen, LeavesNothingBehindWhateverStepFails) {
  expect_clean_failure(Pipe, EMFILE);
  expect_clean_failure(DescriptorCopy, ENOMEM);
  expect_clean_failure(Allocation, ENOMEM);
  expect_clean_failure(Start, EAGAIN);
}

TEST_F(FailingOpen, LeavesNothingBehindWhenTheFallbackFailsToo) {
  // COMSPEC cannot be run, so the fallback in the current folder is next.
  ASSERT_EQ(chmod(comspec_.c_str(), 0644), 0);
  expect_clean_failure(Start, EAGAIN, 1);
}

TEST_F(FailingOpen, LeavesNothingBehindWhenTheTableCannotGrow) {
  // Take every free record, so the next open has to grow the table.
  std::vector<tool_pipe::Stream *> held;
  const std::size_t records = tool_pipe::pipe_record_count();
  do {
    held.push_back(tool_pipe::_popen("tool", "w"));
    ASSERT_NE(held.back(), nullptr);
  } while (tool_pipe::pipe_record_count() == records);

  expect_clean_failure(Growth, ENOMEM);

  for (tool_pipe::Stream *stream : held)
    EXPECT_EQ(tool_pipe::_pclose(stream), 0);
}

TEST_F(FailingOpen, ClosingGivesMinusOneWhenTheWaitFails) {
  tool_pipe::Stream *const stream = tool_pipe::_popen("tool", "w");
  ASSERT_NE(stream, nullptr);
  arm(Wait, ECHILD);
  EXPECT_EQ(tool_pipe::_pclose(stream), -1);
  int status;
  EXPECT_GT(__real_waitpid(-1, &status, 0), 0) << "the child is still there";
  EXPECT_EQ(tool_pipe::_pclose(stream), -1) << "its record was cleared";
}

} // namespace
