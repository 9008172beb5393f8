#include "wine_run.h"

#include "temp_folder.h"

#include <algorithm>

ProgramRun run_under_wine(const std::string &program,
                          const std::vector<std::string> &args,
                          const std::map<std::string, std::string> &settings) {
  // Wine's services outlive the program and hold on to what it writes to, so
  // its output goes to files rather than to pipes that would stay open.
  TempFolder output;
  ProgramSetup setup;
  const std::string to_files = "out=$1 err=$2; shift 2; "
                               "exec \"$@\" >\"$out\" 2>\"$err\"";
  setup.args = {"-c",           to_files, "sh",   output / "out",
                output / "err", WINE64,   program};
  setup.args.insert(setup.args.end(), args.begin(), args.end());
  // Wine's own settings come from the test's environment, less TMPDIR,
  // which makes Wine 10 abort whatever its value.
  setup.env = {{"COMSPEC", std::nullopt},
               {"DISPLAY", std::nullopt},
               {"WAYLAND_DISPLAY", std::nullopt},
               {"TMPDIR", std::nullopt}};
  setup.env.insert(settings.begin(), settings.end());
  setup.clock = CLOCK_REALTIME;
  ProgramRun run = run_program("/bin/sh", setup);
  run.out = output.read("out");
  run.err = output.read("err");
  return run;
}

std::string windows_path(const std::string &host_path) {
  // The prefix maps drive Z: onto the host's root.
  std::string path = "Z:" + host_path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}
