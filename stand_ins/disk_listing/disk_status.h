// The status words of LIST DISK, by what they mean for a volume. A status
// is judged by its word, whatever language the table's header is in: some
// captures put one language's statuses under another's header.
#pragma once

#include <string>

namespace stand_ins {

enum class StatusMeaning {
  online,           // the disk can take part
  cannot_take_part, // offline, missing, no media, and the like
  unknown,          // a word the simulation does not know
};

StatusMeaning status_meaning(const std::string &status);

} // namespace stand_ins
