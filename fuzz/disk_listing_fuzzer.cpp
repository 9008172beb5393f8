// The LIST DISK reader fed any bytes. Whatever it makes of them, it says
// nothing of the file raw; whatever it accepts, the simulated DiskPart's own
// LIST DISK of those disks reads back as the same disks.
#include "disk_listing.h"
#include "require.h"
#include "shown_text.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  const std::string bytes(reinterpret_cast<const char *>(data), size);
  std::vector<stand_ins::Disk> disks;
  const std::string problem = stand_ins::read_disk_listing(bytes, disks);
  if (!problem.empty()) {
    require(text::shown(problem) == problem,
            "a reason shows nothing of the file raw");
    require(disks.empty(), "a file that cannot be used gives no disks");
    return 0;
  }
  const std::string own = stand_ins::write_disk_listing(disks);
  std::vector<stand_ins::Disk> read_back;
  require(stand_ins::read_disk_listing(own, read_back).empty(),
          "its own LIST DISK of the disks read is read");
  require(read_back == disks, "as the same disks");
  return 0;
}
