// Stands in for DiskPart: reads commands from standard input, one a line,
// and answers each on standard output. Exits with 1 if any command failed.
#include "diskpart_session.h"
#include "line_reader.h"
#include "standard_streams.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr char prompt[] = "DISKPART> ";

// False once any write has failed, so that a lost answer is not a success.
bool output_ok = true;

void say(const std::string &text) {
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
    output_ok = false;
}

// Shows what has been said before waiting for the next command.
void show() {
  if (std::fflush(stdout) != 0)
    output_ok = false;
}

} // namespace

int main() {
  if (!stand_ins::read_stdin_as_bytes()) {
    std::fprintf(stderr, "diskpart: cannot read standard input as bytes: %s\n",
                 std::strerror(errno));
    return 1;
  }
  if (!stand_ins::fail_writes_without_reader()) {
    std::fprintf(stderr,
                 "diskpart: cannot keep lost output from ending it: %s\n",
                 std::strerror(errno));
    return 1;
  }
  stand_ins::DiskPartSession session;
  say(session.banner());
  bool input_ok = true;
  while (!session.has_exited()) {
    say(prompt);
    show();
    const stand_ins::InputLine line =
        stand_ins::read_line(stdin, stand_ins::max_line_bytes);
    // The command is not echoed, so the prompt's line ends here.
    say("\n");
    if (line.status == stand_ins::LineStatus::end_of_input) {
      say("No more commands: leaving DiskPart.\n");
      break;
    }
    if (line.status == stand_ins::LineStatus::read_failed) {
      std::fprintf(stderr, "diskpart: cannot read commands: %s\n",
                   std::strerror(errno));
      input_ok = false;
      break;
    }
    const std::string answer =
        line.status == stand_ins::LineStatus::too_long
            ? session.refuse_long_line(stand_ins::max_line_bytes)
            : session.run(line.text);
    if (!answer.empty())
      say(answer + "\n");
  }
  show();
  return session.any_command_failed() || !input_ok || !output_ok ? 1 : 0;
}
