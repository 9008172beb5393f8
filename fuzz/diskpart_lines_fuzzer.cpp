// The simulated DiskPart fed any bytes the way it feeds itself: its own line
// reader on a stream, one session answering each line until EXIT. Each line
// must come out as a plain split of the input says, each command must get an
// answer of whole lines, and the disks must never give more than they hold.
#include "diskpart_session.h"
#include "expected_lines.h"
#include "line_reader.h"
#include "require.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using fuzz::require;
using stand_ins::LineStatus;

namespace {

bool is_control_byte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte < 0x20 && c != '\t') || byte == 0x7f;
}

bool is_space(char c) { return c == ' ' || c == '\t'; }

// Lines that are to be passed over in silence: nothing but spaces and tabs,
// or a first word of REM in any case. A control byte anywhere is an error.
bool is_blank_or_comment(const std::string &line) {
  for (const char c : line)
    if (is_control_byte(c))
      return false;
  const std::size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos)
    return true;
  const std::string word = line.substr(start, 4);
  return word.size() >= 3 && (word[0] == 'R' || word[0] == 'r') &&
         (word[1] == 'E' || word[1] == 'e') &&
         (word[2] == 'M' || word[2] == 'm') &&
         (word.size() == 3 || is_space(word[3]));
}

// Each disk's free space and what its volumes take of it add up to its size.
void require_disks_add_up(const stand_ins::DiskPartSession &session) {
  const std::vector<stand_ins::Disk> &disks = session.disks();
  std::vector<unsigned long long> taken(disks.size(), 0);
  for (const stand_ins::Volume &volume : session.volumes()) {
    require(volume.disks.size() >= 3, "a RAID-5 volume spans three disks");
    require(volume.size_each_mb > 0, "a volume takes space on its disks");
    std::vector<bool> seen(disks.size(), false);
    for (const std::size_t disk : volume.disks) {
      require(disk < disks.size(), "a volume lies on disks that exist");
      require(!seen[disk], "a volume takes each disk once");
      seen[disk] = true;
      taken[disk] += volume.size_each_mb;
    }
  }
  for (std::size_t i = 0; i < disks.size(); ++i)
    require(taken[i] <= disks[i].size_bytes / stand_ins::bytes_per_mb &&
                disks[i].free_bytes + taken[i] * stand_ins::bytes_per_mb ==
                    disks[i].size_bytes,
            "free and taken space add up to the disk's size");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  const std::string bytes(reinterpret_cast<const char *>(data), size);
  const std::vector<stand_ins::InputLine> expected =
      fuzz::expected_lines(bytes, stand_ins::max_line_bytes);
  // Read straight from the fuzzer's own buffer, so that a read past its end
  // is caught; a null buffer would be one that fmemopen allocates itself.
  std::uint8_t nothing = 0;
  std::FILE *const input = fmemopen(
      size > 0 ? const_cast<std::uint8_t *>(data) : &nothing, size, "r");
  require(input != nullptr, "the input opens as a stream");

  stand_ins::DiskPartSession session;
  std::size_t lines_read = 0;
  while (!session.has_exited()) {
    const stand_ins::InputLine line =
        stand_ins::read_line(input, stand_ins::max_line_bytes);
    require(line.status != LineStatus::read_failed,
            "reading from memory does not fail");
    if (line.status == LineStatus::end_of_input) {
      require(lines_read == expected.size(), "no line is lost");
      break;
    }
    require(lines_read < expected.size(), "no line is made up");
    require(line.status == expected[lines_read].status &&
                line.text == expected[lines_read].text,
            "each line is read as the plain split has it");
    ++lines_read;

    const std::string answer =
        line.status == LineStatus::too_long
            ? session.refuse_long_line(stand_ins::max_line_bytes)
            : session.run(line.text);
    if (line.status == LineStatus::line && is_blank_or_comment(line.text))
      require(answer.empty(), "blank lines and comments are not answered");
    else
      require(!answer.empty() && answer.back() == '\n',
              "every command is answered in whole lines");
    require_disks_add_up(session);
  }
  std::fclose(input);
  return 0;
}
