#include "disk_listing.h"

namespace stand_ins {

bool operator==(const ListedVolume &a, const ListedVolume &b) {
  return a.number == b.number && a.letter == b.letter && a.label == b.label &&
         a.file_system == b.file_system && a.type == b.type &&
         a.size_bytes == b.size_bytes && a.status == b.status &&
         a.info == b.info;
}

std::string volume_said(const ListedVolume &volume) {
  return "Volume " + std::to_string(volume.number) + " (" + volume.type + ", " +
         size_text(volume.size_bytes, SizeUnit::bytes) + ", " + volume.status +
         ")";
}

} // namespace stand_ins
