#include "console.h"

#include "shown_text.h"
#include "text_width.h"

#include <algorithm>
#include <cstdio>

// Nothing in a file name or a reason reaches the terminal raw: control
// characters and bytes that are not UTF-8 are shown as \xNN.
namespace rehearsal {
namespace {

// Padded to `width` console columns, as the table is seen.
std::string padded(const std::string &text, std::size_t width) {
  const std::size_t taken = stand_ins::text_width(text);
  return text + std::string(width - std::min(width, taken), ' ');
}

} // namespace

void show_verdict(std::FILE *console, const std::string &program,
                  const Outcome &outcome) {
  switch (outcome.conclusion) {
  case Conclusion::created:
    std::fprintf(console,
                 "rehearse: %s would create the volume on this machine.\n",
                 program.c_str());
    break;
  case Conclusion::refused:
    std::fprintf(console,
                 "rehearse: DiskPart would refuse %s's volume on this "
                 "machine, for the reasons above.\n",
                 program.c_str());
    break;
  case Conclusion::existing:
    for (const std::string &reason : outcome.reasons)
      std::fprintf(console, "rehearse: %s\n", stand_ins::shown(reason).c_str());
    std::fprintf(console,
                 "rehearse: do not deploy %s to this machine: its volume "
                 "stands already (scripts/confirm tells whether it is "
                 "the one a deploy made).\n",
                 program.c_str());
    break;
  case Conclusion::unusable: // the simulated DiskPart has said why
    break;
  case Conclusion::failed:
    for (const std::string &reason : outcome.reasons)
      std::fprintf(stderr, "rehearse: %s\n", stand_ins::shown(reason).c_str());
    break;
  }
}

void show_table(std::FILE *console, const std::string &program,
                const std::vector<Machine> &machines,
                const std::vector<Outcome> &outcomes) {
  const std::string machine_heading = "machine";
  const std::string verdict_heading = "verdict";
  std::size_t name_width = machine_heading.size();
  for (const Machine &machine : machines)
    name_width = std::max(
        name_width, stand_ins::text_width(stand_ins::shown(machine.name)));
  std::size_t verdict_width = 0;
  for (int i = 0; i <= static_cast<int>(Conclusion::failed); ++i)
    verdict_width = std::max(
        verdict_width, conclusion_word(static_cast<Conclusion>(i)).size());
  const std::string indent(name_width + 2 + verdict_width + 2, ' ');
  std::fprintf(console, "%s  %s  reasons\n",
               padded(machine_heading, name_width).c_str(),
               padded(verdict_heading, verdict_width).c_str());
  Tally tally;
  for (std::size_t i = 0; i < machines.size(); ++i) {
    tally.add(outcomes[i].conclusion);
    std::string row =
        padded(stand_ins::shown(machines[i].name), name_width) + "  " +
        padded(std::string(conclusion_word(outcomes[i].conclusion)),
               verdict_width);
    for (std::size_t r = 0; r < outcomes[i].reasons.size(); ++r)
      row += (r == 0 ? "  " : "\n" + indent) +
             stand_ins::shown(outcomes[i].reasons[r]);
    // Without reasons, no trailing spaces.
    row.erase(row.find_last_not_of(' ') + 1);
    std::fprintf(console, "%s\n", row.c_str());
  }
  std::fprintf(console, "rehearse: %s on %zu machines: %s.\n", program.c_str(),
               machines.size(), tally.text().c_str());
}

bool show_file(std::FILE *console, const std::string &path) {
  std::FILE *const file = std::fopen(path.c_str(), "rbe");
  if (file == nullptr)
    return false;
  char buffer[4096];
  std::size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    std::fwrite(buffer, 1, count, console);
  const bool read = std::ferror(file) == 0;
  std::fclose(file);
  return read;
}

} // namespace rehearsal
