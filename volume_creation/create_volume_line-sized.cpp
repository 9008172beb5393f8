#include "create_volume_line.h"

// Each disk gives 1000 MB to the volume.
const char create_volume_line[] = "CREATE VOLUME RAID SIZE=1000 DISK=0,1,2,3\n";
