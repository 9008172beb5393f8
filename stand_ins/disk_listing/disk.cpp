#include "disk_listing.h"

namespace stand_ins {

bool operator==(const Disk &a, const Disk &b) {
  return a.number == b.number && a.missing == b.missing &&
         a.status == b.status && a.size_bytes == b.size_bytes &&
         a.free_bytes == b.free_bytes && a.dynamic == b.dynamic &&
         a.gpt == b.gpt;
}

std::string size_text(unsigned long long number, SizeUnit unit) {
  if (number == 0)
    return "0 B";
  int power = static_cast<int>(unit);
  for (; power + 1 < size_unit_count && number % 1024 == 0; ++power)
    number /= 1024;
  return std::to_string(number) + " " + size_unit_names[power];
}

std::string disk_name(const Disk &disk) {
  return std::string("Disk ") + (disk.missing ? "M" : "") +
         std::to_string(disk.number);
}

} // namespace stand_ins
