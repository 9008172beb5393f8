// What the line reader should make of some bytes, worked out the plain way:
// split at each LF, a CR at the end of a piece dropped, a last piece without
// LF kept unless empty, and a piece over the limit refused whole.
#pragma once

#include "line_reader.h"

#include <cstddef>
#include <string>
#include <vector>

namespace fuzz {

// Every line in `bytes`, in order, without the end of input.
std::vector<stand_ins::InputLine> expected_lines(const std::string &bytes,
                                                 std::size_t max_bytes);

} // namespace fuzz
