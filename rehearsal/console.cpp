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
  const std::size_t taken = text::text_width(text);
  return text + std::string(width - std::min(width, taken), ' ');
}

} // namespace

void show_verdict(std::FILE *console, std::FILE *errors,
                  const std::string &program, const MachineVerdict &verdict) {
  switch (verdict.verdict) {
  case Verdict::created:
    std::fprintf(console,
                 "rehearse: %s would create the volume on this machine.\n",
                 program.c_str());
    break;
  case Verdict::refused:
    std::fprintf(console,
                 "rehearse: DiskPart would refuse %s's volume on this "
                 "machine, for the reasons above.\n",
                 program.c_str());
    break;
  case Verdict::existing:
    for (const std::string &reason : verdict.reasons)
      std::fprintf(console, "rehearse: %s\n", text::shown(reason).c_str());
    std::fprintf(console,
                 "rehearse: do not deploy %s to this machine: its volume "
                 "stands already (scripts/confirm tells whether it is "
                 "the one a deploy made).\n",
                 program.c_str());
    break;
  case Verdict::unusable: // the simulated DiskPart has said why
    break;
  case Verdict::failed:
    for (const std::string &reason : verdict.reasons)
      std::fprintf(errors, "rehearse: %s\n", text::shown(reason).c_str());
    break;
  }
}

void show_rows(std::FILE *console, const std::string &word_heading,
               const std::vector<std::string_view> &words,
               const std::vector<TableRow> &rows) {
  const std::string machine_heading = "machine";
  std::size_t name_width = machine_heading.size();
  for (const TableRow &row : rows)
    name_width = std::max(name_width, text::text_width(text::shown(row.name)));
  std::size_t word_width = word_heading.size();
  for (const std::string_view word : words)
    word_width = std::max(word_width, word.size());
  const std::string indent(name_width + 2 + word_width + 2, ' ');
  std::fprintf(console, "%s  %s  reasons\n",
               padded(machine_heading, name_width).c_str(),
               padded(word_heading, word_width).c_str());
  for (const TableRow &row : rows) {
    std::string line = padded(text::shown(row.name), name_width) + "  " +
                       padded(std::string(row.word), word_width);
    for (std::size_t r = 0; r < row.reasons.size(); ++r)
      line += (r == 0 ? "  " : "\n" + indent) + text::shown(row.reasons[r]);
    // Without reasons, no trailing spaces.
    line.erase(line.find_last_not_of(' ') + 1);
    std::fprintf(console, "%s\n", line.c_str());
  }
}

void show_table(std::FILE *console, const std::string &program,
                const std::vector<Machine> &machines,
                const std::vector<MachineVerdict> &verdicts) {
  std::vector<std::string_view> words;
  for (int i = 0; i <= static_cast<int>(Verdict::failed); ++i)
    words.push_back(verdict_word(static_cast<Verdict>(i)));
  std::vector<TableRow> rows;
  Tally tally;
  for (std::size_t i = 0; i < machines.size(); ++i) {
    tally.add(verdicts[i].verdict);
    rows.push_back({machines[i].name, verdict_word(verdicts[i].verdict),
                    verdicts[i].reasons});
  }
  show_rows(console, "verdict", words, rows);
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
