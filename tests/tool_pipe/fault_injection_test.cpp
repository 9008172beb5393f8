// The system calls that the tool pipe makes, failed and watched through
// link-time wrappers that only this test has: whatever step of opening fails,
// _popen gives null and leaves nothing behind, and the script leaves in one
// write. The wrappers let every call through until one is armed to fail.
#include "deliverables.h"
#include "environment_guard.h"
#include "process_state.h"
#include "stream.h"
#include "temp_folder.h"
#include "tool_pipe.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

enum Call {
  Pipe,
  DescriptorCopy,
  Allocation,
  Growth,
  Start,
  Wait,
  Write,
  Calls
};

struct Fault {
  int calls_to_pass = -1; // -1: none fails
  int error = 0;
};
Fault faults[Calls];

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

// Writes to this descriptor are counted, with the bytes they took.
int watched_fd = -1;
int writes_watched = 0;
std::size_t bytes_watched = 0;

// Set while a test wants freeing memory to leave errno changed, as a call
// that succeeds may.
int errno_left_by_freeing = 0;

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

ssize_t __real_write(int, const void *, size_t);
ssize_t __wrap_write(int fd, const void *bytes, size_t count) {
  if (fd != watched_fd)
    return __real_write(fd, bytes, count);
  ++writes_watched;
  const ssize_t written = fails(Write) ? -1 : __real_write(fd, bytes, count);
  bytes_watched += written > 0 ? static_cast<std::size_t>(written) : 0;
  return written;
}
}

// Every form of operator new and delete, so that all memory the test and its
// harness take bypasses the armed allocation and is freed where it came from.
namespace {

void *allocate(std::size_t size, std::size_t alignment) noexcept {
  size = size == 0 ? 1 : size;
  if (alignment <= __STDCPP_DEFAULT_NEW_ALIGNMENT__)
    return __real_malloc(size);
  // aligned_alloc takes whole multiples of the alignment.
  return std::aligned_alloc(alignment,
                            (size + alignment - 1) / alignment * alignment);
}

void *allocate_or_throw(std::size_t size, std::size_t alignment) {
  if (void *const memory = allocate(size, alignment))
    return memory;
  throw std::bad_alloc();
}

void release(void *memory) noexcept {
  std::free(memory);
  if (errno_left_by_freeing != 0)
    errno = errno_left_by_freeing;
}

constexpr std::size_t plain = __STDCPP_DEFAULT_NEW_ALIGNMENT__;

} // namespace

using std::align_val_t;
using std::nothrow_t;

void *operator new(size_t n) { return allocate_or_throw(n, plain); }
void *operator new[](size_t n) { return allocate_or_throw(n, plain); }
void *operator new(size_t n, align_val_t a) {
  return allocate_or_throw(n, static_cast<size_t>(a));
}
void *operator new[](size_t n, align_val_t a) {
  return allocate_or_throw(n, static_cast<size_t>(a));
}
void *operator new(size_t n, const nothrow_t &) noexcept {
  return allocate(n, plain);
}
void *operator new[](size_t n, const nothrow_t &) noexcept {
  return allocate(n, plain);
}
void *operator new(size_t n, align_val_t a, const nothrow_t &) noexcept {
  return allocate(n, static_cast<size_t>(a));
}
void *operator new[](size_t n, align_val_t a, const nothrow_t &) noexcept {
  return allocate(n, static_cast<size_t>(a));
}

void operator delete(void *p) noexcept { release(p); }
void operator delete[](void *p) noexcept { release(p); }
void operator delete(void *p, size_t) noexcept { release(p); }
void operator delete[](void *p, size_t) noexcept { release(p); }
void operator delete(void *p, align_val_t) noexcept { release(p); }
void operator delete[](void *p, align_val_t) noexcept { release(p); }
void operator delete(void *p, size_t, align_val_t) noexcept { release(p); }
void operator delete[](void *p, size_t, align_val_t) noexcept { release(p); }
void operator delete(void *p, const nothrow_t &) noexcept { release(p); }
void operator delete[](void *p, const nothrow_t &) noexcept { release(p); }
void operator delete(void *p, align_val_t, const nothrow_t &) noexcept {
  release(p);
}
void operator delete[](void *p, align_val_t, const nothrow_t &) noexcept {
  release(p);
}

namespace {

class FailingCalls : public ::testing::Test {
protected:
  void SetUp() override {
    const std::string body = "exec /bin/cat > /dev/null";
    comspec_ = folder_.script("shell.exe", body);
    folder_.script("cwd/cmd.exe", body);
    setenv("COMSPEC", comspec_.c_str(), 1);
    ASSERT_EQ(chdir((folder_ / "cwd").c_str()), 0);
  }

  void TearDown() override {
    for (Fault &fault : faults)
      fault = Fault{};
    watched_fd = -1;
    errno_left_by_freeing = 0;
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
  EnvironmentGuard guard_{"COMSPEC", "PATH"};
  std::string comspec_;
};

TEST_F(FailingCalls, LeavesNothingBehindWhateverStepFails) {
  expect_clean_failure(Pipe, EMFILE);
  expect_clean_failure(DescriptorCopy, ENOMEM);
  expect_clean_failure(Allocation, ENOMEM);
  expect_clean_failure(Start, EAGAIN);
  // COMSPEC cannot be run, so the fallback in the current folder is next.
  ASSERT_EQ(chmod(comspec_.c_str(), 0644), 0);
  expect_clean_failure(Start, EAGAIN, 1);
}

TEST_F(FailingCalls, LeavesNothingBehindWhenTheTableCannotGrow) {
  // Streams are opened and held until one has to grow a table that has
  // records already.
  std::vector<tool_pipe::Stream *> held{tool_pipe::_popen("tool", "w")};
  arm(Growth, ENOMEM);
  for (ProcessState before = process_state();; before = process_state()) {
    tool_pipe::Stream *const stream = tool_pipe::_popen("tool", "w");
    if (faults[Growth].calls_to_pass == -1) {
      EXPECT_EQ(stream, nullptr);
      EXPECT_EQ(what_changed(before, process_state()), "");
      break;
    }
    ASSERT_NE(stream, nullptr);
    held.push_back(stream);
  }
  for (tool_pipe::Stream *stream : held)
    EXPECT_EQ(tool_pipe::_pclose(stream), 0);
}

TEST_F(FailingCalls, ClosingGivesMinusOneWhenTheWaitFails) {
  tool_pipe::Stream *const stream = tool_pipe::_popen("tool", "w");
  ASSERT_NE(stream, nullptr);
  arm(Wait, ECHILD);
  EXPECT_EQ(tool_pipe::_pclose(stream), -1);
  int status;
  EXPECT_GT(__real_waitpid(-1, &status, 0), 0) << "the child is still there";
  EXPECT_EQ(tool_pipe::_pclose(stream), -1) << "its record was cleared";
}

TEST_F(FailingCalls, DeliversTheScriptInOneWriteEvenIfASignalCutsItShort) {
  for (const bool interrupted : {false, true}) {
    tool_pipe::Stream *const stream = tool_pipe::_popen("tool", "w");
    ASSERT_NE(stream, nullptr);
    watched_fd = stream->fd;
    writes_watched = 0;
    bytes_watched = 0;
    if (interrupted)
      arm(Write, EINTR);
    EXPECT_EQ(tool_pipe::fputs(nosize_script_as_written, stream), 0);
    EXPECT_EQ(tool_pipe::_pclose(stream), 0);
    EXPECT_EQ(writes_watched, interrupted ? 2 : 1);
    EXPECT_EQ(bytes_watched, std::strlen(nosize_script));
  }
}

TEST_F(FailingCalls, SearchesOnWhateverFreeingMemoryLeavesInErrno) {
  // Long folder names, so that each path the search builds takes memory.
  ASSERT_EQ(unlink("cmd.exe"), 0);
  unsetenv("COMSPEC");
  folder_.write("a-folder-whose-cmd-exe-is-no-program/cmd.exe", "junk\n", 0755);
  folder_.script("a-folder-whose-cmd-exe-would-start/cmd.exe",
                 "exec /bin/cat > /dev/null");
  setenv("PATH",
         ((folder_ / "a-folder-whose-cmd-exe-is-no-program") + ":" +
          (folder_ / "a-folder-whose-cmd-exe-would-start"))
             .c_str(),
         1);
  errno_left_by_freeing = EACCES;
  tool_pipe::Stream *const stream = tool_pipe::_popen("tool", "w");
  errno_left_by_freeing = 0;
  EXPECT_EQ(stream, nullptr) << "the search went on past a file that is there";
  if (stream != nullptr)
    tool_pipe::_pclose(stream);
}

} // namespace
