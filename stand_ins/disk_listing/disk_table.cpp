#include "disk_table.h"

#include "ascii_case.h"
#include "words.h"

#include <algorithm>
#include <optional>

namespace stand_ins {
namespace {

constexpr char prompt[] = "DISKPART>";
constexpr std::size_t prompt_length = sizeof prompt - 1;

bool is_blank(const std::string &line) {
  return line.find_first_not_of(' ') == std::string::npos;
}

bool is_prompt(const std::string &line) {
  return equal_ignoring_case(line.substr(0, prompt_length), prompt);
}

bool is_list_disk_ruler(const std::string &line) {
  return ruler_runs(line).size() == disk_column_count;
}

bool is_row(const std::string &line, std::size_t margin) {
  const std::string row = without_focus_mark(line);
  return !is_blank(row) && !is_prompt(row) &&
         row.find_first_not_of(' ') >= margin;
}

// Some copies of a console put a line of spaces after each of its lines:
// then each row is one, and the table ends where that pattern does.
std::size_t table_end(const std::vector<std::string> &lines,
                      std::size_t ruler) {
  const std::size_t margin = ruler_runs(lines[ruler])[0].start;
  const auto row_at = [&](std::size_t i) {
    return i < lines.size() && is_row(lines[i], margin);
  };
  const bool spaced = ruler + 1 < lines.size() && !lines[ruler + 1].empty() &&
                      is_blank(lines[ruler + 1]) && row_at(ruler + 2);
  const std::size_t step = spaced ? 2 : 1;
  std::size_t end = ruler + 1;
  while (row_at(end + step - 1) && (!spaced || is_blank(lines[end])))
    end += step;
  return end;
}

// DiskPart takes a keyword cut short ("lis dis"); any start of LIST and of
// DISK means no other command, and one it refused printed no table.
bool asks_list_disk(const std::string &command) {
  const std::vector<std::string> words = words_of(command);
  const auto starts = [](const std::string &word, const std::string &keyword) {
    return word.size() <= keyword.size() &&
           equal_ignoring_case(word, keyword.substr(0, word.size()));
  };
  return words.size() == 2 && starts(words[0], "LIST") &&
         starts(words[1], "DISK");
}

// What DiskPart printed after a prompt, up to the next one.
struct Answer {
  std::size_t end; // the next prompt's line, or the end of the lines
  std::optional<TablePlace> table; // the first that it holds
  bool table_alone;                // nothing but blank lines after the table
};

Answer answer_after(const std::vector<std::string> &lines,
                    std::size_t prompt_line) {
  Answer answer{prompt_line + 1, std::nullopt, false};
  for (; answer.end < lines.size() && !is_prompt(lines[answer.end]);
       ++answer.end)
    if (!answer.table && is_list_disk_ruler(lines[answer.end]))
      answer.table = TablePlace{answer.end, table_end(lines, answer.end)};
  answer.table_alone = answer.table.has_value();
  for (std::size_t i = answer.table ? answer.table->end : answer.end;
       i < answer.end; ++i)
    answer.table_alone = answer.table_alone && is_blank(lines[i]);
  return answer;
}

constexpr char no_table[] = "holds no LIST DISK table: no line of six runs "
                            "of dashes, as under LIST DISK's header";

// A capture without prompts is a bare table: the last one is LIST DISK's.
std::string find_bare_table(const std::vector<std::string> &lines,
                            TablePlace &table) {
  for (std::size_t i = lines.size(); i > 0; --i)
    if (is_list_disk_ruler(lines[i - 1])) {
      table = {i - 1, table_end(lines, i - 1)};
      return "";
    }
  return no_table;
}

} // namespace

std::vector<RulerRun> ruler_runs(const std::string &line) {
  std::vector<RulerRun> runs;
  if (line.find_first_not_of("- ") != std::string::npos)
    return runs;
  for (std::size_t i = 0; i < line.size(); ++i)
    if (line[i] == '-' && (i == 0 || line[i - 1] == ' '))
      runs.push_back({i, std::min(line.find(' ', i), line.size())});
  return runs;
}

std::string without_focus_mark(const std::string &line) {
  return line.compare(0, 2, "* ") == 0 ? "  " + line.substr(2) : line;
}

std::string find_disk_table(const std::vector<std::string> &lines,
                            TablePlace &table) {
  std::size_t prompt_line = 0;
  while (prompt_line < lines.size() && !is_prompt(lines[prompt_line]))
    ++prompt_line;
  if (prompt_line == lines.size())
    return find_bare_table(lines, table);

  // Piped commands are not shown: then an answer that is a table alone is
  // LIST DISK's, as DETAIL VOLUME prints its disks in the same table, then
  // more.
  std::optional<std::size_t> answered; // the prompt of LIST DISK's last answer
  std::optional<TablePlace> found;
  while (prompt_line < lines.size()) {
    const Answer answer = answer_after(lines, prompt_line);
    const std::string command = lines[prompt_line].substr(prompt_length);
    if (asks_list_disk(command) ||
        (words_of(command).empty() && answer.table_alone)) {
      answered = prompt_line;
      found = answer.table;
    }
    prompt_line = answer.end;
  }
  if (!answered)
    return std::any_of(lines.begin(), lines.end(), is_list_disk_ruler)
               ? "holds no table printed in answer to LIST DISK: its "
                 "tables answer other commands, such as DETAIL VOLUME, "
                 "which lists only a volume's disks"
               : no_table;
  if (!found)
    return "line " + std::to_string(*answered + 1) +
           ": LIST DISK's answer holds no table, so the capture describes "
           "no disks";
  table = *found;
  return "";
}

} // namespace stand_ins
