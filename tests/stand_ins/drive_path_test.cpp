#include "drive_path.h"
#include "temp_folder.h"

#include <cstdio>
#include <gtest/gtest.h>

using stand_ins::DrivePathOutcome;
using stand_ins::find_drive_path;

namespace {

class DrivePathTest : public testing::Test {
protected:
  TempFolder drives;
  const std::string tool = drives.write("c/Ab/CdE/Tool.exe", "");

  DrivePathOutcome outcome_of(const std::string &path) {
    return find_drive_path(path, drives.path()).outcome;
  }
};

TEST_F(DrivePathTest, MatchesWhateverTheCaseAndSeparators) {
  for (const char *path :
       {"c:\\ab\\cde\\tool.exe", "C:/AB/CDE/TOOL.EXE", "c:\\Ab/CdE\\\\Tool.exe",
        "c:\\ab\\.\\absent\\..\\cde\\tool.exe"}) {
    const stand_ins::DrivePath found = find_drive_path(path, drives.path());
    EXPECT_EQ(found.outcome, DrivePathOutcome::found) << path;
    EXPECT_EQ(found.host_path, tool) << path;
  }
}

TEST_F(DrivePathTest, PrefersTheEntrySpeltTheSameElseTheFirstInByteOrder) {
  drives.write("c/tool", "");
  drives.write("c/TOOL", "");
  EXPECT_EQ(find_drive_path("c:\\tool", drives.path()).host_path,
            drives / "c/tool");
  EXPECT_EQ(find_drive_path("c:\\TOOL", drives.path()).host_path,
            drives / "c/TOOL");
  // Made in another order, then taken away in byte order: a choice by the
  // order the folder lists them in would have to hit the first every time.
  for (const char *name : {"tOol", "TOOl", "tOOL", "ToOl"})
    drives.write(std::string("c/") + name, "");
  for (const char *first : {"TOOL", "TOOl", "ToOl", "tOOL", "tOol", "tool"}) {
    const std::string entry = drives / "c/" + first;
    EXPECT_EQ(find_drive_path("c:\\Tool", drives.path()).host_path, entry);
    ASSERT_EQ(std::remove(entry.c_str()), 0);
  }
}

TEST_F(DrivePathTest, TellsDrivePathsAndWhatIsNotThereOrAboveTheRoot) {
  for (const char *path : {"c:\\..\\c\\ab", "c:/ab/../../d", "c:.."})
    EXPECT_EQ(outcome_of(path), DrivePathOutcome::outside_drive) << path;
  EXPECT_EQ(outcome_of("c:\\ab\\cde\\..\\..\\ab"), DrivePathOutcome::found);

  for (const char *path : {"a:", "z:\\x", "A:", "Z:"})
    EXPECT_TRUE(stand_ins::is_drive_path(path)) << path;
  for (const char *path : {"`:", "{:", "@:", "[:", "1:", "c", ""})
    EXPECT_FALSE(stand_ins::is_drive_path(path)) << path;
  for (const char *path :
       {"c:\\ab\\cde\\missing.exe", "d:\\ab", "c:\\ab\\cde\\tool.exe\\beyond"})
    EXPECT_EQ(outcome_of(path), DrivePathOutcome::not_found) << path;
}

} // namespace
