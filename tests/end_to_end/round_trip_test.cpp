// The whole round with no Windows machine: a fleet rehearsed with --after,
// then confirmed against what it was before.
#include "disk_captures.h"
#include "run_program.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

// A capture as the fleet recipe collects it: LIST DISK, then LIST
// VOLUME, with the system's own volume and the `more` rows.
std::string collected(const std::string &disks, const std::string &more = "") {
  return "DISKPART> list disk\n\n" + disks +
         "\nDISKPART> list volume\n\n"
         "  Volume ###  Ltr  Label        Fs     Type        Size     Status  "
         "   Info\n"
         "  ----------  ---  -----------  -----  ----------  -------  "
         "---------  --------\n"
         "  Volume 0     C   Windows      NTFS   Partition     99 GB  Healthy "
         "   Boot\n" +
         more + "\nDISKPART> exit\n";
}

// The states that each machine's row and report give, in order.
std::string states(const nlohmann::json &report, const char *word) {
  std::string said;
  for (const nlohmann::json &machine : report["machines"])
    said += machine["machine"].get<std::string>() + " " +
            machine[word].get<std::string>() + "\n";
  return said;
}

TEST(RoundTrip, ConfirmsMadeWhereTheRehearsalSaidCreatedAndMissingElsewhere) {
  TempFolder caller;
  caller.write("before/SRV01.txt", collected(capture()));
  caller.write("before/SRV02.txt",
               collected(capture({{2, disk_row("Disk 2", "Online", "100 GB",
                                               "100 GB", "")}})));
  caller.write("before/SRV03.txt",
               collected(capture(), "  Volume 1                             "
                                    "RAID-5      3000 MB  Healthy\n"));
  ProgramSetup setup;
  setup.folder = caller.path();
  setup.env = {{"RAIDVOL_REHEARSAL_BUILD", BUILD_FOLDER}};
  setup.args = {"--disks", "before",   "--after",
                "after",   "--report", "rehearsed.json"};
  const ProgramRun rehearsed = run_program(REHEARSE, setup);
  EXPECT_EQ(rehearsed.exit_code, 1) << rehearsed.out << rehearsed.err;
  EXPECT_EQ(
      states(nlohmann::json::parse(caller.read("rehearsed.json")), "verdict"),
      "SRV01 created\nSRV02 refused\nSRV03 existing\n");

  setup.args = {"--volumes", "after",    "--before",
                "before",    "--report", "confirmed.json"};
  const ProgramRun confirmed = run_program(CONFIRM, setup);
  EXPECT_EQ(confirmed.exit_code, 1) << confirmed.out << confirmed.err;
  const auto report = nlohmann::json::parse(caller.read("confirmed.json"));
  // SRV03's rehearsal made a second volume beside the one that stood.
  EXPECT_EQ(states(report, "state"), "SRV01 made\nSRV02 missing\nSRV03 made\n");
  EXPECT_EQ(report["machines"][0]["volume"],
            nlohmann::json::parse(
                R"({"number": 1, "size_mb": 3000, "status": "Rebuild"})"));
  EXPECT_EQ(report["machines"][2]["reasons"][1],
            "Volume 1 (RAID-5, 3000 MB, Healthy) stood before the deploy, so "
            "this deploy did not make it");
  EXPECT_NE(confirmed.out.find("confirm: raidvol-sized on 3 machines: 2 made, "
                               "0 degraded, 1 missing, 0 unusable.\n"),
            std::string::npos)
      << confirmed.out;
}

} // namespace
