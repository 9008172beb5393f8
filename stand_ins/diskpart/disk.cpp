#include "disk.h"

namespace stand_ins {

std::string size_text(unsigned long long number, int unit) {
  if (number == 0)
    return "0 B";
  for (; unit + 1 < unit_count && number % 1024 == 0; ++unit)
    number /= 1024;
  return std::to_string(number) + " " + size_units[unit];
}

std::string disk_name(const Disk &disk) {
  return std::string("Disk ") + (disk.missing ? "M" : "") +
         std::to_string(disk.number);
}

} // namespace stand_ins
