#include "line_reader.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

using stand_ins::LineStatus;
using Lines = std::vector<std::pair<LineStatus, std::string>>;

namespace {

// Every line of `bytes`, up to and with the end of input.
Lines read_all(const std::string &bytes, std::size_t max_bytes) {
  std::FILE *const input = std::tmpfile();
  EXPECT_NE(input, nullptr);
  EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), input), bytes.size());
  std::rewind(input);
  Lines lines;
  while (lines.empty() || lines.back().first == LineStatus::line ||
         lines.back().first == LineStatus::too_long) {
    const stand_ins::InputLine line = stand_ins::read_line(input, max_bytes);
    lines.emplace_back(line.status, line.text);
  }
  std::fclose(input);
  return lines;
}

constexpr auto line = LineStatus::line;
constexpr auto too_long = LineStatus::too_long;
constexpr auto end = LineStatus::end_of_input;

TEST(LineReader, TakesCrLfAndLfAndALastLineWithoutEndKeepingEveryOtherByte) {
  EXPECT_EQ(
      read_all("a\r\nb\n\r\nlast", 8),
      (Lines{{line, "a"}, {line, "b"}, {line, ""}, {line, "last"}, {end, ""}}));
  EXPECT_EQ(read_all("", 8), (Lines{{end, ""}}));
  const std::string bytes("a\0b\rc\x01\xff", 7);
  EXPECT_EQ(read_all(bytes + "\r\n", 8), (Lines{{line, bytes}, {end, ""}}));
}

TEST(LineReader, DropsALongLineWholeAndGoesOn) {
  EXPECT_EQ(read_all("abcd\r\nabcde\r\nabcdefghij\nok\nabcde", 4),
            (Lines{{line, "abcd"},
                   {too_long, ""},
                   {too_long, ""},
                   {line, "ok"},
                   {too_long, ""},
                   {end, ""}}));
}

} // namespace
