// Each deliverable under valgrind's memcheck: no memory error, no definite or
// indirect leak, and no descriptor of its own left open at exit.
#include "recording.h"
#include "run_program.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sstream>

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

class UnderMemcheck : public ::testing::TestWithParam<const char *> {};

TEST_P(UnderMemcheck, HasNoErrorLeakOrOpenDescriptor) {
  TempFolder folder;
  ProgramSetup setup;
  setup.args = {"--leak-check=full",
                "--errors-for-leak-kinds=definite,indirect",
                "--error-exitcode=99", "--track-fds=yes", GetParam()};
  setup.env = {{"COMSPEC", RECORDER_PATH},
               {"RECORDER_REPORT", folder / "report"}};
  const ProgramRun run = run_program(VALGRIND, setup);

  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(descriptors_of_its_own(run.err), "") << run.err;
  EXPECT_EQ(read_recording(folder / "report").chunks.size(), 1u)
      << "the script reached the tool";
}

INSTANTIATE_TEST_SUITE_P(Deliverables, UnderMemcheck,
                         ::testing::Values(RAIDVOL_SIZED, RAIDVOL_NOSIZE),
                         [](const auto &info) {
                           return std::string(info.index == 0 ? "Sized"
                                                              : "Nosize");
                         });

} // namespace
