// The LIST VOLUME reader fed any bytes. Whatever it makes of them, it says
// nothing of the file raw; whatever it accepts, the simulated DiskPart's own
// LIST VOLUME of those volumes reads back as the same volumes.
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
  std::vector<stand_ins::ListedVolume> volumes;
  const std::string problem = stand_ins::read_volume_listing(bytes, volumes);
  if (!problem.empty()) {
    require(text::shown(problem) == problem,
            "a reason shows nothing of the file raw");
    require(volumes.empty(), "a file that cannot be used gives no volumes");
    return 0;
  }
  if (volumes.empty())
    return 0; // "There are no volumes.": DiskPart prints no table to read
  const std::string own = stand_ins::write_volume_listing(volumes);
  std::vector<stand_ins::ListedVolume> read_back;
  require(stand_ins::read_volume_listing(own, read_back).empty(),
          "its own LIST VOLUME of the volumes read is read");
  require(read_back == volumes, "as the same volumes");
  return 0;
}
