// Joins disks 0 to 3 into one RAID volume by feeding DiskPart a script on its
// standard input. Nothing is reported, and the exit status is always 0.
#include "create_volume_line.h"
#include "tool_pipe.h"

namespace {

constexpr char disk_tool_command[] = "c:\\vel\\kelvox\\diskpart.exe";
// DiskPart takes a few seconds to start up before it reads commands.
constexpr unsigned long pause_before_script_ms = 5000;
constexpr char exit_line[] = "EXIT\n";

} // namespace

int main() {
  auto *const tool = tool_pipe::_popen(disk_tool_command, "w");
  if (tool == nullptr)
    return 0;
  tool_pipe::Sleep(pause_before_script_ms);
  // Both lines stay buffered and reach the tool together when it is closed;
  // a failure here is not ours to report, so the results are not looked at.
  tool_pipe::fputs(create_volume_line, tool);
  tool_pipe::fputs(exit_line, tool);
  tool_pipe::_pclose(tool);
  return 0;
}
