// Each deliverable under valgrind's memcheck, which reports to a file: no
// memory error, no definite or indirect leak, no descriptor of its own left
// open at exit, and its script delivered as without memcheck.
#include "deliverables.h"
#include "delivery_contract.h"
#include "recording.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sstream>
#include <unistd.h>

namespace {

// The descriptors memcheck found open at exit that the program had not
// been handed by its parent, one line each.
std::string descriptors_of_its_own(const std::string &report) {
  std::istringstream lines(report);
  std::string line, opened, found;
  while (std::getline(lines, line)) {
    if (line.find("Open file descriptor") != std::string::npos ||
        line.find("Open AF_") != std::string::npos) {
      found += opened;
      opened = line + "\n";
    } else if (line.find("<inherited from parent>") != std::string::npos) {
      opened.clear();
    }
  }
  return found + opened;
}

class UnderMemcheck : public ::testing::TestWithParam<Deliverable> {};

TEST_P(UnderMemcheck, HasNoErrorLeakOrOpenDescriptor) {
  const RecordingTool recorder;
  const TempFolder log;
  ProgramSetup setup = recorder.setup(lingering_failing_tool);
  setup.args = {"--leak-check=full",
                "--errors-for-leak-kinds=definite,indirect",
                "--error-exitcode=99",
                "--track-fds=yes",
                "--log-file=" + (log / "memcheck"),
                GetParam().program};
  const ProgramRun run = run_program(VALGRIND, setup);
  const std::string report = log.read("memcheck");

  SCOPED_TRACE(report);
  expect_delivery_contract(GetParam(), run, recorder.recording());
  EXPECT_EQ(descriptors_of_its_own(report), "");
}

// memcheck counts every descriptor open at exit as an error, so the programs
// run here must start with none but their standard three, whatever the test
// runner leaves open in this process.
TEST(ProgramsRunHere, StartWithNoDescriptorOfTheTestProcess) {
  const int stray = open("/dev/null", O_RDONLY);
  ASSERT_GE(stray, 0);
  ProgramSetup setup;
  setup.args = {"-c", "[ ! -e /proc/self/fd/" + std::to_string(stray) + " ]"};
  EXPECT_EQ(run_program("/bin/sh", setup).exit_code, 0);
  close(stray);
}

INSTANTIATE_TEST_SUITE_P(Deliverables, UnderMemcheck,
                         both_deliverables(RAIDVOL_SIZED, RAIDVOL_NOSIZE),
                         deliverable_name);

} // namespace
