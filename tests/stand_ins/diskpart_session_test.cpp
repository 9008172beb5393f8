#include "diskpart_session.h"
#include "expected_run.h"

#include <algorithm>
#include <gtest/gtest.h>

using stand_ins::DiskPartSession;

namespace {

// In whole megabytes, as every volume takes them.
std::vector<unsigned long long> free_space(const DiskPartSession &session) {
  std::vector<unsigned long long> free;
  for (const stand_ins::Disk &disk : session.disks())
    free.push_back(disk.free_bytes / stand_ins::bytes_per_mb);
  return free;
}

using Free = std::vector<unsigned long long>;

TEST(DiskPartSession, TakesKeywordsInAnyCaseAndParametersInAnyOrder) {
  DiskPartSession session;
  EXPECT_EQ(session.run("  create Volume raid disk=3,1,2\tSize=0500 "),
            "DiskPart successfully created the volume.\n");
  EXPECT_EQ(session.run("cReAtE vOlUmE rAiD dIsK=3,2,1"),
            "DiskPart successfully created the volume.\n");
  EXPECT_EQ(free_space(session), (Free{8192, 0, 4096, 8192}));
  EXPECT_EQ(session.run("rem LIST NOTHING"), "");
  EXPECT_EQ(session.run(" \t "), "");
  EXPECT_FALSE(session.any_command_failed());
}

// Each line fails with one line of answer, changes nothing, and the session
// takes the next command as usual.
TEST(DiskPartSession, RefusesBadLinesAndGoesOn) {
  const std::string bad_lines[] = {
      // disks
      "CREATE VOLUME RAID DISK=0,1", "CREATE VOLUME RAID DISK=0,1,1,2",
      "CREATE VOLUME RAID DISK=0,1,4",
      "CREATE VOLUME RAID DISK=0,1,99999999999999999999999",
      "CREATE VOLUME RAID DISK=1,,2,3", "CREATE VOLUME RAID DISK=1,2,3,",
      "CREATE VOLUME RAID DISK=", "CREATE VOLUME RAID SIZE=100",
      "CREATE VOLUME RAID DISK=0,1,2 DISK=3",
      // sizes
      "CREATE VOLUME RAID SIZE=0 DISK=0,1,2",
      "CREATE VOLUME RAID SIZE=-5 DISK=0,1,2",
      "CREATE VOLUME RAID SIZE=+5 DISK=0,1,2",
      "CREATE VOLUME RAID SIZE=12abc DISK=0,1,2",
      "CREATE VOLUME RAID SIZE=1.5 DISK=0,1,2",
      "CREATE VOLUME RAID SIZE= DISK=0,1,2",
      "CREATE VOLUME RAID SIZE=18446744073709551616 DISK=0,1,2",
      "CREATE VOLUME RAID SIZE=8193 DISK=0,2,3",
      "CREATE VOLUME RAID SIZE=10 SIZE=10 DISK=0,1,2",
      // other commands and junk
      "CREATE VOLUME RAID DISK=0,1,2 SPEED=9", "CREATE VOLUME RAID 0,1,2",
      "CREATE VOLUME SIMPLE DISK=0,1,2", "FORMAT", "LIST", "LIST DISK 0",
      "EXIT now", std::string("LIST DISK\0", 10), "\x01\x02", "REM \x7f",
      "REM \x1b[2J"};
  for (const std::string &line : bad_lines) {
    DiskPartSession session;
    const std::string answer = session.run(line);
    EXPECT_EQ(std::count(answer.begin(), answer.end(), '\n'), 1) << line;
    EXPECT_EQ(answer.find("Created"), std::string::npos) << line;
    EXPECT_TRUE(session.any_command_failed()) << line;
    EXPECT_FALSE(session.has_exited()) << line;
    EXPECT_EQ(free_space(session), (Free{8192, 8192, 12288, 16384})) << line;
    EXPECT_EQ(
        session.run(nosize_line).rfind("DiskPart successfully created", 0), 0u)
        << line;
  }
  // Numbers past the largest that fits are too large, not wrapped round.
  DiskPartSession session;
  EXPECT_EQ(
      session.run("CREATE VOLUME RAID SIZE=18446744073709552616 DISK=0,1,2"),
      "SIZE=18446744073709552616 is more than any disk holds.\n");
  EXPECT_EQ(session.run("CREATE VOLUME RAID DISK=1,2,18446744073709551616"),
            "There is no disk 18446744073709551616.\n");
  // Every disk in the way is named, each with its own reason.
  EXPECT_EQ(
      session.run("CREATE VOLUME RAID SIZE=18446744073709551615 DISK=0,2,1"),
      "Disk 0 has only 8 GB free, less than the 18446744073709551615 MB that "
      "SIZE=18446744073709551615 asks for.\n"
      "Disk 2 has only 12 GB free, less than the 18446744073709551615 MB that "
      "SIZE=18446744073709551615 asks for.\n"
      "Disk 1 has only 8 GB free, less than the 18446744073709551615 MB that "
      "SIZE=18446744073709551615 asks for.\n");
  // Nor does a disk that is full give any more.
  std::vector<stand_ins::Disk> disks = session.disks();
  disks.pop_back();
  for (stand_ins::Disk &disk : disks)
    disk.size_bytes = disk.free_bytes = 100 * stand_ins::bytes_per_mb;
  disks[2].size_bytes = disks[2].free_bytes *= 2;
  DiskPartSession small(disks, "");
  EXPECT_EQ(small.run("CREATE VOLUME RAID DISK=0,1,2")
                .rfind("DiskPart successfully created", 0),
            0u);
  for (const char *line : {"CREATE VOLUME RAID DISK=2,1,0",
                           "CREATE VOLUME RAID SIZE=1 DISK=2,1,0"})
    EXPECT_EQ(small.run(line), "Disk 1 has no free space left.\n"
                               "Disk 0 has no free space left.\n");
  EXPECT_TRUE(small.any_command_failed());
  // A word said back is shown safe, on the console and among the refusals.
  const std::string shown =
      "'\\xFF\\xFE' is not a command. Try CREATE VOLUME RAID, LIST DISK, LIST "
      "VOLUME, REM or EXIT.";
  EXPECT_EQ(small.run("\xff\xfe"), shown + "\n");
  EXPECT_EQ(small.refusals().back(), shown);
}

} // namespace
