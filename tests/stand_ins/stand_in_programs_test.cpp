#include "disk_captures.h"
#include "expected_run.h"
#include "line_reader.h"
#include "run_program.h"
#include "temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>

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
Created RAID-5 volume 1 with 1000 MB on each of disks 0, 1, 2, 3.

DISKPART> )" R"(
Created RAID-5 volume 2 with 7192 MB on each of disks 0, 1, 2, 3.

DISKPART> )" R"(
  Disk ###  Status         Size     Free     Dyn  Gpt
  --------  -------------  -------  -------  ---  ---
  Disk 0    Online            8 GB      0 B  *
  Disk 1    Online            8 GB      0 B  *
  Disk 2    Online           12 GB     4 GB  *
  Disk 3    Online           16 GB     8 GB  *

DISKPART> )" R"(
  Volume ###  Type    Each disk   Usable      Disks
  ----------  ------  ----------  ----------  ----------
  Volume 1    RAID-5     1000 MB     3000 MB  0, 1, 2, 3
  Volume 2    RAID-5     7192 MB    21576 MB  0, 1, 2, 3

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
                0, transcript.find("  Disk ###", transcript.find("volume 2"))) +
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
    EXPECT_NE(run.out.find("Created RAID-5 volume 1"), std::string::npos);
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

// Each capture, with the verdict that the deliverable's line must get, and
// what the simulated DiskPart must say, on standard output or, for a
// capture that cannot be used, on standard error after the file's name.
TEST(DiskPartStandIn, SimulatesTheMachineThatASavedListDiskDescribes) {
  const std::string banner =
      "Microsoft DiskPart version 10.0.20348.1\n\nCopyright (C) Microsoft "
      "Corporation.\nOn computer: SRV01\n\nDISKPART> \n";
  const std::string prompt = "\nDISKPART> \n";
  const std::string made = "Created RAID-5 volume 1 with 1000 MB on each of "
                           "disks 0, 1, 2, 3.\n";
  const std::string basic =
      disk_row("Disk 1", "Online", "100 GB", "100 GB", "");
  // Read by the ruler's positions, in characters, whatever the words: six
  // two-byte letters before the status would move it by bytes.
  std::string localized =
      "  Δίσκος ###  Κατάσταση      Μέγεθος  Ελεύθερο Dyn  Gpt\n"
      "  ----------  -------------  -------  -------  ---  ---\n";
  for (const char disk : {'0', '1', '2', '3'})
    localized += std::string("  Δίσκος ") + disk +
                 "    Online          100 GB   100 GB   *    *\n";
  const std::string units =
      capture({{0, disk_row("Disk 0", "Online", "1 TB", "1000 MB")},
               {1, disk_row("Disk 1", "Online", "1 TB", "1 GB")},
               {2, disk_row("Disk 2", "Online", "2 TB", "1 TB")},
               {3, disk_row("Disk 3", "Online", "2 TB", "2048 GB")}});
  const struct {
    std::string content;
    const char *line;
    const char *verdict;
    std::string said;
  } cases[] = {
      // how it is saved
      {capture(), sized_line, "created", made},
      {"\xEF\xBB\xBF" + with_crlf(banner + capture() + prompt), sized_line,
       "created", made},
      {utf16le(with_crlf(banner + capture() + prompt)), sized_line, "created",
       made},
      {localized, sized_line, "created", made},
      {capture({{1, basic}}) + prompt + capture(), sized_line, "created", made},
      {capture(
           {{0,
             "* " + disk_row("Disk 0", "Online", "100 GB", "100 GB").substr(2)},
            {4, disk_row("Disk M0", "Missing", "100 GB", "0 B")}}),
       sized_line, "created", made},
      // what DiskPart would refuse
      {capture() + prompt + capture({{1, basic}}), sized_line, "refused",
       "Disk 1 is a basic disk, and a RAID-5 volume takes dynamic disks only; "
       "convert it to dynamic first.\n"},
      {capture({{3, disk_row("Disk M0", "Missing", "100 GB", "0 B")}}),
       sized_line, "refused",
       "There is no disk 3. LIST DISK shows the disks there are.\n"},
      {capture({{2, disk_row("Disk 2", "Offline", "100 GB", "0 B")}}),
       nosize_line, "refused",
       "Disk 2's status is Offline: a RAID-5 volume takes only disks that "
       "are Online.\n"},
      {capture({{3, disk_row("Disk 3", "Online", "100 GB", "999 MB")}}),
       sized_line, "refused",
       "Disk 3 has only 999 MB free, less than the 1000 MB that SIZE=1000 "
       "asks for.\n"},
      {capture({{3, disk_row("Disk 3", "Online", "100 GB", "999 MB")}}),
       nosize_line, "created",
       "Created RAID-5 volume 1 with 999 MB on each of disks 0, 1, 2, 3.\n"},
      {capture({{3, disk_row("Disk 3", "Online", "100 GB", "1023 KB")}}),
       nosize_line, "refused",
       "Disk 3 has only 1023 KB free, less than the 1 MB that a volume takes "
       "at the least.\n"},
      // units: 1000 MB is enough, and each other unit holds more
      {units, sized_line, "created", made},
      {units, nosize_line, "created", made},
      // files that cannot be used
      {"", sized_line, "unusable", "holds no LIST DISK table"},
      {"There are no fixed disks to show.\n", sized_line, "unusable",
       "holds no LIST DISK table"},
      {capture({{1, disk_row("Disk 1", "Online", "lots", "100 GB")}}),
       sized_line, "unusable",
       "line 4: the size \"lots\" is not a number and a unit"},
      {capture({{2, disk_row("Disk 2", "Online", "100 PB", "100 GB")}}),
       sized_line, "unusable",
       "line 5: the size \"100 PB\" has the unknown "
       "unit \"PB\""},
      {capture({{2, disk_row("Disk 1", "Online", "100 GB", "100 GB")}}),
       sized_line, "unusable", "line 5: Disk 1 is listed twice, on line 4 too"},
      {"  Disk ###  Status         Size         Free     Dyn  Gpt\n"
       "  --------  -------------  -----------  -------  ---  ---\n"
       "  Disk 0    Online         16777216 TB      0 B   *    *\n",
       sized_line, "unusable",
       "line 3: the size \"16777216 TB\" is more than the simulation can "
       "hold"},
      {capture({{0, disk_row("Disk 0", "Online", "1 GB", "2 GB")}}), sized_line,
       "unusable", "line 3: more free space than the disk's size"},
      {utf16le(capture()) + "x", sized_line, "unusable",
       "ends in the middle of a UTF-16 character"},
  };
  TempFolder folder;
  for (const auto &[content, line, verdict, said] : cases) {
    const std::string listing = folder.write("disks.txt", content);
    const Simulation simulation =
        simulate(folder, listing, line + std::string("\nEXIT\n"));
    EXPECT_EQ(simulation.verdict, verdict + std::string("\n")) << content;
    const std::string &output = simulation.verdict == "unusable\n"
                                    ? simulation.run.err
                                    : simulation.run.out;
    EXPECT_NE(output.find(simulation.verdict == "unusable\n"
                              ? "diskpart: " + listing + ": " + said
                              : prompt + said),
              std::string::npos)
        << output;
    EXPECT_EQ(simulation.run.exit_code,
              verdict == std::string("created") ? 0 : 1);
    // The verdict file gives the reasons too: a refusal's all of them.
    const std::string reasons =
        verdict == std::string("created") ? ""
        : verdict == std::string("refused")
            ? said
            : said + simulation.reasons.substr(said.size());
    EXPECT_EQ(simulation.reasons, reasons);
  }
  for (const std::string &unreadable : {folder / "none", folder.path()}) {
    const Simulation simulation = simulate(folder, unreadable, "EXIT\n");
    EXPECT_EQ(simulation.verdict, "unusable\n");
    EXPECT_EQ(simulation.run.err.find("diskpart: " + unreadable +
                                      ": cannot be read: "),
              0u);
  }
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
