#include "command_words.h"

#include <gtest/gtest.h>

using stand_ins::split_command;
using Words = std::vector<std::string>;

TEST(CommandWords, QuotesGroupAndBackslashesStayAsTheyAre) {
  EXPECT_EQ(split_command(R"( "c:\My Tools\x.exe")"
                          "\t"
                          R"(a  "b c" "" d\ )"),
            (Words{R"(c:\My Tools\x.exe)", "a", "b c", "", R"(d\)"}));
  EXPECT_EQ(split_command(R"(run "to the end)"), (Words{"run", "to the end"}));
  EXPECT_EQ(split_command(" \t "), Words{});
}
