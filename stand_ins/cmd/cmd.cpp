// Stands in for the Windows command interpreter: "cmd.exe /c <command>" runs
// the command in its place, so the command has this process's standard
// streams and its exit code becomes the interpreter's. Drive-letter paths are
// found under the folder that stands for the machine's drives.
#include "command_words.h"
#include "drive_path.h"
#include "host_program.h"
#include "own_folder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// What Windows answers for a command it cannot find.
constexpr int not_recognized_status = 9009;
constexpr int refused_status = 1;

bool is_run_switch(const char *argument) {
  return argument[0] == '/' && (argument[1] == 'c' || argument[1] == 'C') &&
         argument[2] == '\0';
}

// RAIDVOL_DRIVES if set, else the "drives" folder beside this program, so
// that a copied or moved build folder uses its own. False, with errno set, if
// this program cannot tell where it is.
bool find_drives_folder(std::string &folder) {
  const char *const configured = std::getenv("RAIDVOL_DRIVES");
  if (configured != nullptr && *configured != '\0') {
    folder = configured;
    return true;
  }
  if (!find_own_folder(folder))
    return false;
  folder += "/drives";
  return true;
}

int usage() {
  std::fputs("usage: cmd.exe /c <command> [arguments...]\n", stderr);
  return refused_status;
}

int not_recognized(const std::string &program) {
  std::fprintf(stderr,
               "'%s' is not recognized as an internal or external command,\n"
               "operable program or batch file.\n",
               program.c_str());
  return not_recognized_status;
}

// Replaces this process with `host_program`; returns only on failure.
int run(const std::string &host_program,
        const std::vector<std::string> &words) {
  std::vector<char *> argv;
  for (const std::string &word : words)
    argv.push_back(const_cast<char *>(word.c_str()));
  argv.push_back(nullptr);
  stand_ins::exec_host_program(host_program, argv.data());
  if (stand_ins::means_no_program(errno))
    return not_recognized(words[0]);
  std::fprintf(stderr, "cmd.exe: cannot run '%s': %s\n", words[0].c_str(),
               std::strerror(errno));
  return refused_status;
}

} // namespace

int main(int argc, char *argv[]) {
  if (argc < 3 || !is_run_switch(argv[1]))
    return usage();
  const std::vector<std::string> words =
      stand_ins::split_command(stand_ins::join_arguments(argv + 2, argc - 2));
  if (words.empty())
    return usage();

  const std::string &program = words[0];
  if (!stand_ins::is_drive_path(program))
    return run(program, words);
  std::string drives;
  if (!find_drives_folder(drives)) {
    std::fprintf(stderr, "cmd.exe: cannot find the folder of drives: %s\n",
                 std::strerror(errno));
    return refused_status;
  }
  const stand_ins::DrivePath found =
      stand_ins::find_drive_path(program, drives);
  switch (found.outcome) {
  case stand_ins::DrivePathOutcome::found:
    return run(found.host_path, words);
  case stand_ins::DrivePathOutcome::not_found:
    return not_recognized(program);
  case stand_ins::DrivePathOutcome::outside_drive:
    break;
  }
  std::fprintf(stderr, "cmd.exe: '%s' climbs above the root of drive %c:\n",
               program.c_str(), program[0]);
  return refused_status;
}
