// The words of a command line, as DiskPart takes them.
#pragma once

#include <string>
#include <vector>

namespace text {

// What stands between spaces and tabs, in order.
std::vector<std::string> words_of(const std::string &line);

} // namespace text
