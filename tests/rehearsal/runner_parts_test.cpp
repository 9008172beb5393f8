// The rehearsal runner's parts on their own: on values, on files of the
// test's own, and with plain shell children in place of the programs.
#include "console.h"
#include "fleet.h"
#include "machine_run.h"
#include "machines.h"
#include "options.h"
#include "report.h"
#include "stop.h"
#include "temp_folder.h"
#include "work_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

using rehearsal::Machine;
using rehearsal::MachineVerdict;
using rehearsal::Verdict;
namespace fs = std::filesystem;

const nlohmann::ordered_json a_report = {{"machines", {"srv"}}};

// What kind of file is at `path`, not following a link.
mode_t kind_at(const std::string &path) {
  struct stat status;
  return lstat(path.c_str(), &status) == 0 ? status.st_mode & S_IFMT : 0;
}

TEST(Report, IsWrittenIntoWhatIsNotARegularFileWhichStaysInPlace) {
  const TempFolder folder;
  const std::string pipe = folder / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_NE(reader, -1);
  rehearsal::Report(pipe).write(a_report);
  char text[256] = {};
  EXPECT_GT(read(reader, text, sizeof text - 1), 0);
  close(reader);
  EXPECT_EQ(nlohmann::ordered_json::parse(text), a_report);
  EXPECT_EQ(kind_at(pipe), S_IFIFO);

  // A link's file is written, the link kept.
  folder.write("earlier.json", "an earlier report");
  fs::create_symlink("earlier.json", folder / "link");
  const rehearsal::Report linked(folder / "link");
  EXPECT_EQ(folder.read("earlier.json"), "an earlier report");
  linked.remove_earlier();
  EXPECT_EQ(folder.read("earlier.json"), "") << "the earlier report is gone";
  linked.write(a_report);
  EXPECT_EQ(kind_at(folder / "link"), S_IFLNK);
  EXPECT_EQ(nlohmann::ordered_json::parse(folder.read("earlier.json")),
            a_report);

  // A device node of the test's own, with the numbers of the null device.
  const std::string device = folder / "null";
  if (mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)) != 0)
    GTEST_SKIP() << "cannot make a device node here: " << strerror(errno);
  rehearsal::Report(device).write(a_report);
  EXPECT_EQ(kind_at(device), S_IFCHR);
}

TEST(Report, KeepsEachNameDistinctAndFindable) {
  const std::vector<Machine> machines = {{"B\xFCro01", "f/B\xFCro01.txt", ""},
                                         {"B\xE4ro01", "f/B\xE4ro01.txt", ""},
                                         {"B\\xFCro01", "f/B\\xFCro01.txt", ""},
                                         {"\xC2\x9B\x1B", "", ""}};
  const std::vector<rehearsal::MachineVerdict> verdicts(machines.size());
  const auto report = rehearsal::report_of("p", "", machines, verdicts);
  const std::vector<std::string> names = {"B\\xFCro01", "B\\xE4ro01",
                                          "B\\\\xFCro01", "\\xC2\\x9B\\x1B"};
  for (std::size_t i = 0; i < names.size(); ++i)
    EXPECT_EQ(report["machines"][i]["machine"], names[i]);
  EXPECT_NO_THROW(report.dump());
  EXPECT_EQ(report["machines"][0]["capture"], "f/B\\xFCro01.txt");
  EXPECT_EQ(report["machines"][3]["capture"], nullptr);
}

// An output is judged on the files after links: where it would remove or
// overwrite a capture, that capture's path as given.
TEST(Outputs, AreJudgedOnTheCapturesAfterLinks) {
  const TempFolder folder;
  folder.write("archive/srv.txt", "capture");
  fs::create_directory(folder / "batch");
  fs::create_symlink("../archive/srv.txt", folder / "batch/srv.txt");
  fs::create_hard_link(folder / "archive/srv.txt", folder / "hard.txt");
  const std::vector<std::string> disks = {folder / "batch"};
  const auto captures =
      rehearsal::capture_files(rehearsal::machines_named(disks).list);
  const std::pair<std::string, std::string> cases[] = {
      {"archive/srv.txt", folder / "batch/srv.txt"},
      {"hard.txt", folder / "batch/srv.txt"},
      {"batch/report.json", folder / "batch"},
      {"batch/.report.json", ""},
      {"archive/other.txt", ""}};
  for (const auto &[output, taken] : cases)
    EXPECT_EQ(rehearsal::capture_at(folder / output, captures, disks), taken)
        << output;
}

TEST(Progress, StaysOneLineAtTheTerminalsWidth) {
  rehearsal::Tally tally;
  tally.add(rehearsal::Verdict::refused);
  const std::string whole = "rehearse: 1 of 1000 machines done: 0 created, "
                            "1 refused, 0 unusable, 0 failed";
  EXPECT_EQ(rehearsal::progress_line(tally, 1000, 0), whole);
  EXPECT_EQ(rehearsal::progress_line(tally, 1000, 40), whole.substr(0, 39));
  EXPECT_EQ(rehearsal::progress_line(tally, 1000, 120),
            whole + std::string(119 - whole.size(), ' '));
}

TEST(WorkFolder, RemovesWhatAKilledRehearsalLeftAndNoMore) {
  const TempFolder parent;
  for (const std::string name : {"run-killed", "run-locked", "run-emptyx"})
    fs::create_directory(parent / name);
  parent.write("run-killed/verdict", "");
  parent.write("run-locked/verdict", "");
  parent.write("run-report", "{");
  const int held = open((parent / "run-locked").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  {
    const rehearsal::WorkFolder work(parent.path(), "run-");
    EXPECT_TRUE(fs::is_directory(work.path()));
    EXPECT_FALSE(parent.has("run-killed"));
    EXPECT_FALSE(parent.has("run-report"));
    EXPECT_TRUE(parent.has("run-locked")) << "its rehearsal still runs";
    EXPECT_TRUE(parent.has("run-emptyx")) << "its rehearsal may be starting";
  }
  close(held);
  EXPECT_EQ(std::distance(fs::directory_iterator(parent.path()), {}), 2);
}

// In a mount namespace of the test's own, so that the machine's mounts are
// untouched: a file system of 8 KiB, filled.
TEST(FullFileSystem, IsNamedAsTheCauseOfWhatItLost) {
  const TempFolder folder;
  const std::string full = folder / "full";
  fs::create_directory(full);
  if (unshare(CLONE_NEWNS) != 0 ||
      mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("tmpfs", full.c_str(), "tmpfs", 0, "size=8k") != 0)
    GTEST_SKIP() << "cannot mount a small file system of the test's own: "
                 << strerror(errno);
  const std::string filler = full + "/filler";
  const int file = open(filler.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  const std::string block(4096, 'x');
  while (write(file, block.data(), block.size()) > 0) {
  }
  close(file);
  fs::create_directory(full + "/0");
  const Machine machine{"srv", "", ""};
  const rehearsal::MachineRuns transcripts(
      {.program = "p", .work = folder.path(), .transcripts = full});
  EXPECT_EQ(transcripts.finish(machine, 0, 0).reasons,
            std::vector<std::string>{"its transcript " + full +
                                     "/srv.txt may not be whole: it is on a "
                                     "full file system"});
  const rehearsal::MachineRuns verdicts({.program = "p", .work = full});
  EXPECT_EQ(verdicts.finish(machine, 0, 0).reasons,
            std::vector<std::string>{
                "the simulated DiskPart gave no verdict: the temporary "
                "folder " +
                full + " is on a full file system"});
  umount(full.c_str());
}

// The command line: what each option gives, or why it is refused.
TEST(Options, AreReadOrRefusedWithTheReason) {
  using rehearsal::Options;
  const std::pair<std::vector<std::string>, Options> cases[] = {
      {{"--nosize", "--disks", "a", "--disks", "b", "--jobs", "3",
        "--time-limit", "7", "--report", "r", "--transcripts", "t", "--after",
        "k"},
       {.nosize = true,
        .disks = {"a", "b"},
        .jobs = 3,
        .time_limit = 7,
        .report = "r",
        .transcripts = "t",
        .after = "k"}},
      {{"--help", "--report", "kept.json"},
       {.report = "kept.json", .help = true}},
      {{"--report", ""}, {.refusal = "--report needs a value"}},
      {{"--jobs", "1x"},
       {.refusal = "--jobs takes a whole number from 1 up, not 1x"}},
      {{"--time-limit", "4294967296"},
       {.refusal = "--time-limit takes a whole number from 1 up, not "
                   "4294967296"}},
      {{"--report", "a", "--report", "b"},
       {.refusal = "--report is given twice"}},
      {{"--size=1000"}, {.refusal = "unknown option: --size=1000"}}};
  const auto fields = [](const Options &o) {
    return std::tie(o.nosize, o.disks, o.jobs, o.time_limit, o.report,
                    o.transcripts, o.after, o.help, o.refusal);
  };
  for (const auto &[args, expected] : cases) {
    const Options read = rehearsal::parse_options(args);
    if (expected.refusal.empty())
      EXPECT_EQ(fields(read), fields(expected)) << args[0];
    else
      EXPECT_EQ(read.refusal, expected.refusal);
  }
}

// --help lists the words that the reader knows, by language: those of a
// disk that can take part, and of one kept out.
TEST(Options, HelpListsTheStatusWordsByLanguage) {
  const std::string help = rehearsal::usage();
  for (const char *language :
       {"  English, in code page 437\n"
        "    online:   Online\n"
        "    kept out: Offline, Missing, No Media, Foreign, Not Initialized, "
        "Unreadable\n",
        "  German, Spanish, French, Portuguese, in code page 850\n"
        "    online:   Online, En l\u00EDnea, En ligne\n",
        "  Russian, in code page 866\n"
        "    online:   \u0412 \u0441\u0435\u0442\u0438\n"
        "    kept out: \u0412\u043D\u0435 \u0441\u0435\u0442\u0438\n"})
    EXPECT_NE(help.find(language), std::string::npos) << language;
}

// What `show` writes to a stream.
template <typename Show> std::string written_by(Show show) {
  char *text = nullptr;
  std::size_t size = 0;
  std::FILE *const stream = open_memstream(&text, &size);
  show(stream);
  std::fclose(stream);
  const std::string written(text, size);
  std::free(text);
  return written;
}

TEST(Console, SaysEachVerdictOfOneMachineAndOfAFleet) {
  const std::pair<MachineVerdict, std::string> one_machine[] = {
      {{.verdict = Verdict::created},
       "rehearse: p would create the volume on this machine.\n"},
      {{.verdict = Verdict::refused, .reasons = {"Disk 2 is basic"}},
       "rehearse: DiskPart would refuse p's volume on this machine, for the "
       "reasons above.\n"},
      {{.verdict = Verdict::unusable, .reasons = {"holds no table"}}, ""},
      {{.verdict = Verdict::existing, .reasons = {"Volume 1 stands"}},
       "rehearse: Volume 1 stands\nrehearse: do not deploy p to this "
       "machine: its volume stands already (scripts/confirm tells whether it "
       "is the one a deploy made).\n"},
      {{.verdict = Verdict::failed, .reasons = {"gave no verdict"}},
       "rehearse: gave no verdict\n"}};
  for (const auto &[verdict, said] : one_machine)
    EXPECT_EQ(written_by([&](std::FILE *console) {
                rehearsal::show_verdict(console, console, "p", verdict);
              }),
              said);

  const std::vector<Machine> fleet = {{.name = "\xC2\x9B"},
                                      {.name = "\u00F1and\u00FA"},
                                      {.name = "\u65E5\u672C"},
                                      {.name = "old"},
                                      {.name = "srv"}};
  const std::vector<MachineVerdict> verdicts = {
      {.verdict = Verdict::created},
      {.verdict = Verdict::created},
      {.verdict = Verdict::unusable, .reasons = {"holds no table"}},
      {.verdict = Verdict::existing, .reasons = {"Volume 1 stands"}},
      {.verdict = Verdict::refused, .reasons = {"Disk 2 is", "Disk 3 is"}}};
  EXPECT_EQ(written_by([&](std::FILE *console) {
              rehearsal::show_table(console, "p", fleet, verdicts);
            }),
            "machine   verdict   reasons\n"
            "\\xC2\\x9B  created\n"
            "\u00F1and\u00FA     created\n"
            "\u65E5\u672C      unusable  holds no table\n"
            "old       existing  Volume 1 stands\n"
            "srv       refused   Disk 2 is\n"
            "                    Disk 3 is\n"
            "rehearse: p on 5 machines: 2 created, 1 refused, 1 existing, 1 "
            "unusable, 0 failed.\n");
}

// The most serious verdict wins the exit status.
TEST(Verdicts, TheMostSeriousIsTheRehearsals) {
  const std::pair<std::vector<Verdict>, Verdict> cases[] = {
      {{}, Verdict::created},
      {{Verdict::refused, Verdict::unusable}, Verdict::unusable},
      {{Verdict::failed, Verdict::created, Verdict::refused}, Verdict::failed},
      {{Verdict::existing, Verdict::refused}, Verdict::existing}};
  for (const auto &[verdicts, worst] : cases) {
    std::vector<MachineVerdict> given;
    for (const Verdict verdict : verdicts)
      given.push_back({.verdict = verdict});
    EXPECT_EQ(rehearsal::most_serious(given), worst);
  }
  // A volume that stands already stops a gate as a refusal does.
  EXPECT_EQ(verdict_file::exit_status(Verdict::existing),
            verdict_file::exit_status(Verdict::refused));
}

// What a run that has ended gives its machine: the verdict file's, unless
// the program failed; a capture that is not a regular file is unusable
// without a run.
TEST(MachineRuns, GiveTheVerdictFileUnlessTheRunFailed) {
  const std::string never = "the simulated DiskPart was asked to create no "
                            "volume: p never handed it its script, so "
                            "nothing was rehearsed";
  const struct {
    const char *file;
    int wait_status;
    MachineVerdict verdict;
  } cases[] = {
      {"created\n", 0, {.verdict = Verdict::created}},
      {"created\n",
       1 << 8,
       {.reasons = {"p ended with status 1, where it always ends with 0"}}},
      {"created\n", SIGKILL, {.reasons = {"p was ended by signal 9 (Killed)"}}},
      {"refused\nDisk 2\nDisk 3\n",
       0,
       {.verdict = Verdict::refused, .reasons = {"Disk 2", "Disk 3"}}},
      {"unusable\nno table\n",
       0,
       {.verdict = Verdict::unusable, .reasons = {"no table"}}},
      {"existing\nVolume 1\n",
       0,
       {.verdict = Verdict::existing, .reasons = {"Volume 1"}}},
      {"unchanged\n", 0, {.reasons = {never}}},
      {"", 0, {.reasons = {"the simulated DiskPart gave no verdict"}}}};
  const TempFolder folder;
  const rehearsal::MachineRuns runs(
      {.program = "p", .work = folder.path(), .transcripts = ""});
  for (const auto &[file, wait_status, expected] : cases) {
    folder.write("0/verdict", file);
    const MachineVerdict given = runs.finish({.name = "srv"}, 0, wait_status);
    EXPECT_EQ(given.verdict, expected.verdict) << file << wait_status;
    EXPECT_EQ(given.reasons, expected.reasons) << file << wait_status;
  }
  // With --after, the machine kept as its run left it must be there, and a
  // failed run's is removed.
  folder.write("0/verdict", "refused\n");
  const rehearsal::MachineRuns keeping(
      {.program = "p", .work = folder.path(), .after = folder / "after"});
  const std::string kept = keeping.after({.name = "srv"});
  EXPECT_EQ(
      keeping.finish({.name = "srv"}, 0, 0).reasons,
      std::vector<std::string>{"the simulated DiskPart kept no whole "
                               "capture of the machine after its run in " +
                               kept});
  folder.write("after/srv.txt", "state");
  EXPECT_EQ(keeping.finish({.name = "srv"}, 0, 0).verdict, Verdict::refused);
  EXPECT_EQ(keeping.finish({.name = "srv"}, 0, SIGKILL).verdict,
            Verdict::failed);
  EXPECT_FALSE(folder.has("after/srv.txt"));

  const std::string pipe = folder / "pipe.txt";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  rehearsal::MachineRuns starts({.work = folder.path()});
  rehearsal::Subprocess child;
  MachineVerdict unusable;
  EXPECT_FALSE(starts.start({"pipe", "pipe.txt", pipe}, 1, child, unusable));
  EXPECT_EQ(unusable.verdict, Verdict::unusable);
  EXPECT_EQ(unusable.reasons.at(0).rfind(pipe + ": is not a regular file", 0),
            0u);
}

// Machines are named by the capture's name without its last extension;
// folders in a folder of captures are none.
TEST(Machines, AreNamedByTheirCapturesAndKeptApart) {
  const TempFolder folder;
  folder.write("fleet/web.eu.txt", "");
  folder.write("fleet/web.us.txt", "");
  folder.write("fleet/sub/inner.txt", "");
  folder.write("fleet/.hidden.txt", "");
  const auto fleet = rehearsal::machines_named({folder / "fleet"});
  EXPECT_TRUE(fleet.fleet);
  ASSERT_EQ(fleet.list.size(), 2u);
  EXPECT_EQ(fleet.list[0].name, "web.eu");
  EXPECT_EQ(fleet.list[1].name, "web.us");
  EXPECT_NO_THROW(rehearsal::check_names_apart(fleet));

  const auto made_up = rehearsal::machines_named({});
  EXPECT_FALSE(made_up.fleet);
  EXPECT_EQ(made_up.list.at(0).capture, "");
}

TEST(Report, IsReadableByAllCarriesItsCommitAndTakesAKilledOnesPlace) {
  const TempFolder folder;
  folder.write(".unfinished-report-abcdef", "{");
  const rehearsal::Report report(folder / "report.json");
  report.remove_earlier();
  EXPECT_FALSE(folder.has(".unfinished-report-abcdef"));
  const mode_t mask = umask(022);
  report.write(rehearsal::report_of("p", "abc", {}, {}));
  umask(mask);
  struct stat status;
  ASSERT_EQ(stat((folder / "report.json").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0644u);
  const auto written = nlohmann::json::parse(folder.read("report.json"));
  EXPECT_EQ(written["commit"], "abc");
  EXPECT_EQ(written["program"], "p");

  const std::string pipe = folder / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  try {
    rehearsal::Report(pipe).write(a_report);
    ADD_FAILURE() << "written into a pipe no one reads";
  } catch (const rehearsal::Stop &stop) {
    EXPECT_EQ(stop.status, 3);
    EXPECT_EQ(stop.what(),
              "cannot write the report " + pipe + ": no one reads from it");
  }
}

// The rehearsal's own failures exit 3: a temporary folder that cannot be
// made, and output that cannot be written.
TEST(Runner, FailsWhereItCannotRunItself) {
  const TempFolder folder;
  folder.write("file", "");
  try {
    const rehearsal::WorkFolder work(folder / "file/tmp", "run-");
    ADD_FAILURE() << "made a folder in a file";
  } catch (const rehearsal::Stop &stop) {
    EXPECT_EQ(stop.status, 3);
  }
  const int status = std::system("'" REHEARSAL_RUNNER
                                 "' --help </dev/null >/dev/full 2>/dev/null");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << status;
}

} // namespace
