#include "deliverables.h"
#include "disk_captures.h"
#include "expected_run.h"
#include "line_reader.h"
#include "run_program.h"
#include "temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A POSIX parent sees only the low eight bits of Windows' 9009.
constexpr int not_recognized_status = 9009 & 0xff;

std::string not_recognized(const std::string &program) {
  return "'" + program +
         "' is not recognized as an internal or external command,\n"
         "operable program or batch file.\n";
}

using Environment = std::map<std::string, std::optional<std::string>>;

ProgramRun run_cmd(const TempFolder &drives, std::vector<std::string> args,
                   const std::string &stdin_path = "/dev/null",
                   Environment env = {}, const std::string &folder = "") {
  env["RAIDVOL_DRIVES"] = drives.path();
  return run_program(CMD_STAND_IN, {args, env, stdin_path, folder});
}

TEST(InterpreterStandIn, RunsTheCommandOnItsInputAndPassesOnTheExitCode) {
  TempFolder drives;
  drives.script("c/My Tools/Echo.sh", "cat; printf '%s|' \"$@\"; exit 7");
  const std::string input("bytes\r\n\0as sent", 16);
  const ProgramRun run =
      run_cmd(drives, {"/C", R"("C:\my tools\ECHO.SH")", "one", "two  three"},
              drives.write("input", input));
  EXPECT_EQ(run.out, input + "one|two|three|");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.exit_code, 7);
  // A name without a drive is looked up through PATH, where an empty entry
  // is the current folder.
  EXPECT_EQ(run_cmd(drives, {"/c", "sh -c \"exit 3\""}).exit_code, 3);
  drives.script("here/tool", "exit 5");
  EXPECT_EQ(run_cmd(drives, {"/c", "tool"}, "/dev/null",
                    {{"PATH", ":" + (drives / "path")}}, drives / "here")
                .exit_code,
            5);
}

// A file the host cannot run counts as no program, and is never handed to a
// shell as a script.
TEST(InterpreterStandIn, SaysWhenItCannotFindTheCommand) {
  TempFolder drives;
  drives.script("c/vel/other.sh", "exit 0");
  drives.write("c/vel/text.exe", "echo ran\n", 0755);
  drives.write("c/vel/closed.exe", "", 0644);
  drives.write("path/text-tool", "echo ran\n", 0755);
  for (const char *program :
       {"c:\\vel\\missing.exe", "d:\\x.exe", "no-such-program-anywhere",
        "c:\\vel\\text.exe", "c:\\vel\\closed.exe", "c:\\vel", "text-tool"}) {
    const ProgramRun run = run_cmd(drives, {"/c", program}, "/dev/null",
                                   {{"PATH", drives / "path"}});
    EXPECT_EQ(run.out, "") << program;
    EXPECT_EQ(run.err, not_recognized(program));
    EXPECT_EQ(run.exit_code, not_recognized_status);
  }
}

TEST(InterpreterStandIn, UsesTheDrivesBesideItselfUnlessToldOtherwise) {
  TempFolder moved;
  TempFolder other;
  std::filesystem::copy_file(CMD_STAND_IN, moved / "cmd.exe");
  moved.script("drives/c/tool.sh", "echo own");
  other.script("c/tool.sh", "echo other");
  const auto tool_run_by_copy = [&](std::optional<std::string> drives) {
    return run_program(moved / "cmd.exe", {{"/c", "c:\\tool.sh"},
                                           {{"RAIDVOL_DRIVES", drives}},
                                           "/dev/null",
                                           ""})
        .out;
  };
  EXPECT_EQ(tool_run_by_copy(std::nullopt), "own\n");
  EXPECT_EQ(tool_run_by_copy(""), "own\n");
  EXPECT_EQ(tool_run_by_copy(other.path()), "other\n");
}

TEST(InterpreterStandIn, RefusesBadCommandLines) {
  TempFolder drives;
  drives.script("c/ok.sh", "exit 0");
  const std::pair<std::vector<std::string>, const char *> bad[] = {
      {{}, "usage:"},
      {{"/c", " "}, "usage:"},
      {{"/k", "c:\\ok.sh"}, "usage:"},
      {{"/c", "c:\\..\\c\\ok.sh"}, "climbs above"}};
  for (const auto &[args, message] : bad) {
    const ProgramRun run = run_cmd(drives, args);
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    EXPECT_NE(run.exit_code, 0);
  }
}

// A whole session: each prompt, the tables' columns, and what each volume
// leaves usable once the parity share is taken out. The literal breaks after
// each prompt's closing space, so that no line here ends in a space.
// clang-format off
constexpr char session_transcript[] =
    R"(DiskPart stand-in: a simulation for rehearsals. No real disk is read or changed.
Its disks are made up, not those of a real machine.

  Disk ###  Status         Size     Free     Dyn  Gpt
  --------  -------------  -------  -------  ---  ---
  Disk 0    Online            8 GB     8 GB  *
  Disk 1    Online            8 GB     8 GB  *
  Disk 2    Online           12 GB    12 GB  *
  Disk 3    Online           16 GB    16 GB  *

DISKPART> )" R"(
DiskPart successfully created the volume.

DISKPART> )" R"(
DiskPart successfully created the volume.

DISKPART> )" R"(
  Disk ###  Status         Size     Free     Dyn  Gpt
  --------  -------------  -------  -------  ---  ---
  Disk 0    Online            8 GB      0 B  *
  Disk 1    Online            8 GB      0 B  *
  Disk 2    Online           12 GB     4 GB  *
  Disk 3    Online           16 GB     8 GB  *

DISKPART> )" R"(
  Volume ###  Ltr  Label        Fs     Type        Size      Status     Info
  ----------  ---  -----------  -----  ----------  --------  ---------  --------
  Volume 0                             RAID-5       3000 MB  Rebuild
  Volume 1                             RAID-5      21576 MB  Rebuild

DISKPART> )" R"(
Leaving DiskPart.

)";
// clang-format on

TEST(DiskPartStandIn, RunsBothScriptsWithEitherLineEnd) {
  TempFolder folder;
  const auto run_on = [&](const std::string &input) {
    return run_program(DISKPART_STAND_IN,
                       {{}, {}, folder.write("in", input), ""});
  };
  for (const std::string end : {"\r\n", "\n"}) {
    std::string input;
    for (const char *line :
         {sized_line, nosize_line, "LIST DISK", "LIST VOLUME", "EXIT"})
      input += line + end;
    const ProgramRun run = run_on(input);
    EXPECT_EQ(run.out, session_transcript);
    EXPECT_EQ(run.exit_code, 0);
  }
  // Input may end without a line end, and without EXIT: the two volumes are
  // made, and the session ends where the next command would be answered.
  const ProgramRun cut = run_on(std::string(sized_line) + "\n" + nosize_line);
  const std::string transcript = session_transcript;
  EXPECT_EQ(cut.out,
            transcript.substr(
                0, transcript.find("  Disk ###",
                                   transcript.rfind("created the volume"))) +
                "No more commands: leaving DiskPart.\n");
  EXPECT_EQ(cut.exit_code, 0);
}

// Each junk line alone fails the run, which still goes on; input that cannot
// be read at all (a folder) ends it with a word on standard error. So does
// output that no one reads, rather than a signal that kills it.
TEST(DiskPartStandIn, GoesOnAfterJunkAndEndsWithFailure) {
  TempFolder folder;
  const std::string script =
      std::string("\r\n") + sized_line + "\r\nEXIT\r\nLIST DISK\r\n";
  const std::string too_long(stand_ins::max_line_bytes + 1, 'x');
  for (const std::string &input :
       {folder.write("nul", std::string("LIST DISK\0junk", 14) + script),
        folder.write("long", too_long + script), folder.path()}) {
    const ProgramRun run = run_program(DISKPART_STAND_IN, {{}, {}, input, ""});
    EXPECT_EQ(run.exit_code, 1) << input;
    if (input == folder.path()) {
      EXPECT_NE(run.err.find("cannot read"), std::string::npos);
      continue;
    }
    EXPECT_NE(run.out.find(sized_volume_made), std::string::npos);
    // EXIT ends it: the LIST DISK after it is not run.
    EXPECT_EQ(run.out.substr(run.out.find("Leaving DiskPart.")),
              "Leaving DiskPart.\n\n");
  }
  ProgramSetup unread;
  unread.output_read = false;
  EXPECT_EQ(run_program(DISKPART_STAND_IN, unread).exit_code, 1);
}

// What the simulated DiskPart says and decides, given a saved LIST DISK
// (none if empty) and commands.
struct Simulation {
  ProgramRun run;
  std::string verdict; // the verdict file's first line
  std::string reasons; // the lines after it
};

Simulation simulate(const TempFolder &folder, const std::string &listing,
                    const std::string &commands) {
  ProgramSetup setup;
  setup.env = {{"RAIDVOL_DISKS", listing},
               {"RAIDVOL_VERDICT", folder / "verdict"}};
  setup.stdin_path = folder.write("commands", commands);
  std::remove((folder / "verdict").c_str());
  const ProgramRun run = run_program(DISKPART_STAND_IN, setup);
  const std::string written = folder.read("verdict");
  const std::size_t reasons = written.find('\n') + 1;
  return {run, written.substr(0, reasons), written.substr(reasons)};
}

// The wiring around the reader, whose own tests take each kind of capture:
// RAIDVOL_DISKS names the file; the verdict and its reasons go where
// RAIDVOL_VERDICT says; a file that cannot be used is said on standard
// error after its name, shown safe, and is the verdict. Opening a FIFO
// must not wait for a writer.
TEST(DiskPartStandIn, SimulatesTheMachineThatASavedListDiskDescribes) {
  TempFolder folder;
  const std::string fifo = folder / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string large = folder.write("large", "");
  ASSERT_EQ(truncate(large.c_str(), 1024 * 1024 + 1), 0);
  const std::string script = sized_line + std::string("\nEXIT\n");
  const std::string not_regular = "unusable\nis not a regular file: save LIST "
                                  "DISK's output to a file, and name that\n";
  const std::string offline =
      "Disk 2's status is Offline: a RAID-5 volume takes only disks that are "
      "Online.";
  const struct {
    std::string listing;
    std::string commands;
    std::string verdict; // the whole file
    std::string said;    // after a prompt; if unusable, the verdict says it
  } cases[] = {
      {folder.write("ok", capture()), script, "created\n", sized_volume_made},
      {folder.write("ok", capture()), "LIST DISK\nEXIT\n", "unchanged\n",
       "  Disk ###"},
      {folder.write("offline", capture({{2, disk_row("Disk 2", "Offline",
                                                     "100 GB", "0 B")}})),
       script, "refused\n" + offline + "\n", offline},
      {folder.write("escape", capture({{2, disk_row("Disk 2", "\x1b[8mOnline",
                                                    "100 GB", "0 B")}})),
       script,
       "unusable\nline 5: holds a control character, \\x1B, in the "
       "table\n",
       ""},
      {folder / "none", script,
       "unusable\ncannot be read: No such file or directory\n", ""},
      {folder.path(), script, not_regular, ""},
      {fifo, script, not_regular, ""},
      {large, script,
       "unusable\nis larger than 1 MB, far more than any LIST DISK\n", ""},
  };
  for (const auto &[listing, commands, verdict, said] : cases) {
    const Simulation simulation = simulate(folder, listing, commands);
    EXPECT_EQ(simulation.verdict + simulation.reasons, verdict) << listing;
    const bool usable = verdict.rfind("unusable", 0) != 0;
    if (usable)
      EXPECT_NE(simulation.run.out.find("\nDISKPART> \n" + said),
                std::string::npos)
          << simulation.run.out;
    else
      EXPECT_EQ(simulation.run.err, "diskpart: " + listing + ": " +
                                        verdict.substr(verdict.find('\n') + 1));
    EXPECT_EQ(simulation.run.exit_code,
              verdict == "created\n" || verdict == "unchanged\n" ? 0 : 1);
  }
}

// A verdict that cannot be written fails the run; one that would overwrite
// the capture is not written at all. An empty RAIDVOL_DISKS is none.
TEST(DiskPartStandIn, GivesItsVerdictOnlyWhereItCanAndMay) {
  TempFolder folder;
  const std::string script = sized_line + std::string("\nEXIT\n");
  const std::string listing = folder.write("disks.txt", capture());
  const auto run_with_verdict = [&](const std::string &verdict) {
    return run_program(DISKPART_STAND_IN, {{},
                                           {{"RAIDVOL_DISKS", listing},
                                            {"RAIDVOL_VERDICT", verdict}},
                                           folder.write("script", script),
                                           ""});
  };
  const ProgramRun over = run_with_verdict(folder / "./disks.txt");
  EXPECT_EQ(over.exit_code, 1);
  EXPECT_EQ(over.err, "diskpart: RAIDVOL_VERDICT names " +
                          (folder / "./disks.txt") +
                          ", the saved LIST DISK itself: its verdict would "
                          "overwrite it\n");
  EXPECT_EQ(over.out, "");
  EXPECT_EQ(folder.read("disks.txt"), capture());
  const ProgramRun lost = run_with_verdict(folder / "none/verdict");
  EXPECT_EQ(lost.exit_code, 1);
  EXPECT_EQ(lost.err.rfind("diskpart: cannot write the verdict to " +
                               (folder / "none/verdict") + ": ",
                           0),
            0u);
  const Simulation made_up = simulate(folder, "", script);
  EXPECT_EQ(made_up.verdict, "created\n");
  EXPECT_NE(made_up.run.out.find("Its disks are made up"), std::string::npos);
}

// Its own LIST DISK, saved with all else it said, describes the same disks:
// both the made-up ones, after a volume took some of their space, and those
// of a capture with every kind of entry.
TEST(DiskPartStandIn, ReadsBackItsOwnListDisk) {
  TempFolder folder;
  const std::string captured = folder.write(
      "captured",
      capture({{0, disk_row("Disk 0", "Online", "100 GB", "1023 KB", "")},
               {1, disk_row("Disk 1", "No Media", "3072 GB", "0 B")},
               {3, disk_row("Disk 3", "Online", "8192 MB", "1000 MB")},
               {4, disk_row("Disk M0", "Missing", "2048 MB", "0 B")}}));
  const std::string own_table =
      "  Disk ###  Status         Size     Free     Dyn  Gpt\n"
      "  --------  -------------  -------  -------  ---  ---\n"
      "  Disk 0    Online          100 GB  1023 KB       *\n"
      "  Disk 1    No Media          3 TB      0 B  *    *\n"
      "  Disk 2    Online          100 GB   100 GB  *    *\n"
      "  Disk 3    Online            8 GB  1000 MB  *    *\n"
      "  Disk M0   Missing           2 GB      0 B  *    *\n";
  for (const std::string &first : {std::string(), captured}) {
    const std::string said =
        simulate(folder, first, sized_line + std::string("\nLIST DISK\n"))
            .run.out;
    const std::size_t start = said.rfind("  Disk ###");
    ASSERT_NE(start, std::string::npos) << said;
    const std::string table =
        said.substr(start, said.find("\n\n", start) + 1 - start);
    if (first == captured) {
      EXPECT_EQ(table, own_table);
    }
    const std::string said_again =
        simulate(folder, folder.write("saved", said), "LIST DISK\n").run.out;
    EXPECT_NE(said_again.find(table + "\nDISKPART> \n" + table),
              std::string::npos)
        << said << said_again;
  }
}

} // namespace
