// Joins disks 0 to 3 into one RAID volume by feeding DiskPart a script on its
// standard input. Nothing is reported, and the exit status is always 0. The
// build hands in the command, the pause and the lines, each said once there.
#include "tool_pipe.h"

namespace {

constexpr char disk_tool_command[] = DISK_TOOL_COMMAND;
constexpr unsigned long pause_before_script_ms = PAUSE_BEFORE_SCRIPT_MS;
constexpr char create_volume_line[] = CREATE_VOLUME_LINE "\n";
constexpr char exit_line[] = EXIT_LINE "\n";

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
