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
  return text::equal_ignoring_case(line.substr(0, prompt_length), prompt);
}

bool is_ruler_of(const std::string &line, const Listing &listing) {
  return ruler_runs(line).size() == listing.columns;
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
// DISK or VOLUME means no other command, and one it refused printed no
// table.
bool asks_for(const std::string &command, const Listing &listing) {
  const std::vector<std::string> words = text::words_of(command);
  const auto starts = [](const std::string &word, const std::string &keyword) {
    return word.size() <= keyword.size() &&
           text::equal_ignoring_case(word, keyword.substr(0, word.size()));
  };
  return words.size() == 2 && starts(words[0], "LIST") &&
         starts(words[1], listing.object);
}

// What DiskPart printed after a prompt, up to the next one.
struct Answer {
  std::size_t end; // the next prompt's line, or the end of the lines
  std::optional<TablePlace> table; // the first that it holds
  bool table_alone;                // nothing but blank lines after the table
};

Answer answer_after(const std::vector<std::string> &lines,
                    std::size_t prompt_line, const Listing &listing) {
  Answer answer{prompt_line + 1, std::nullopt, false};
  for (; answer.end < lines.size() && !is_prompt(lines[answer.end]);
       ++answer.end)
    if (!answer.table && is_ruler_of(lines[answer.end], listing))
      answer.table = TablePlace{answer.end, table_end(lines, answer.end)};
  answer.table_alone = answer.table.has_value();
  for (std::size_t i = answer.table ? answer.table->end : answer.end;
       i < answer.end; ++i)
    answer.table_alone = answer.table_alone && is_blank(lines[i]);
  return answer;
}

std::string no_table(const Listing &listing) {
  const std::string command = std::string("LIST ") + listing.object;
  return "holds no " + command + " table: no line of " + listing.columns_said +
         " runs of dashes, as under " + command + "'s header";
}

// A capture without prompts is a bare table: the last one is the listing's.
std::string find_bare_table(const std::vector<std::string> &lines,
                            const Listing &listing, TablePlace &table) {
  for (std::size_t i = lines.size(); i > 0; --i)
    if (is_ruler_of(lines[i - 1], listing)) {
      table = {i - 1, table_end(lines, i - 1)};
      return "";
    }
  return no_table(listing);
}

} // namespace

const Listing disk_listing = {"DISK", disk_column_count, "six",
                              "DETAIL VOLUME, which lists only a volume's "
                              "disks"};
const Listing volume_listing = {"VOLUME", 8, "eight",
                                "DETAIL DISK, which lists only a disk's "
                                "volumes"};

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

std::string find_table(const std::vector<std::string> &lines,
                       const Listing &listing, TablePlace &table) {
  std::size_t prompt_line = 0;
  while (prompt_line < lines.size() && !is_prompt(lines[prompt_line]))
    ++prompt_line;
  if (prompt_line == lines.size())
    return find_bare_table(lines, listing, table);

  // Piped commands are not shown: then an answer that is a table alone is
  // the listing's, as DETAIL VOLUME prints its disks in LIST DISK's table,
  // then more, and DETAIL DISK its volumes in LIST VOLUME's.
  std::optional<std::size_t> answered; // the prompt of the last answer
  std::optional<TablePlace> found;
  while (prompt_line < lines.size()) {
    const Answer answer = answer_after(lines, prompt_line, listing);
    const std::string command = lines[prompt_line].substr(prompt_length);
    if (asks_for(command, listing) ||
        (text::words_of(command).empty() && answer.table_alone)) {
      answered = prompt_line;
      found = answer.table;
    }
    prompt_line = answer.end;
  }
  if (!answered)
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string &line) {
                         return is_ruler_of(line, listing);
                       })
               ? std::string("holds no table printed in answer to LIST ") +
                     listing.object +
                     ": its tables answer other commands, such as " +
                     listing.other_table
               : no_table(listing);
  table = found ? *found : TablePlace{*answered, *answered};
  return "";
}

} // namespace stand_ins
