// The words of an interpreter command line, split the way the interpreter
// hands them to a program.
#pragma once

#include <string>
#include <vector>

namespace stand_ins {

// The arguments that follow /c, joined by single spaces.
std::string join_arguments(const char *const *arguments, int count);

// Splits at runs of spaces and tabs outside double quotes; the quotes only
// group and are dropped. Backslashes are plain characters, as in paths.
std::vector<std::string> split_command(const std::string &command);

} // namespace stand_ins
