#include "create_volume_line.h"

// No SIZE: the disk tool makes the largest volume that fits.
const char create_volume_line[] = "CREATE VOLUME RAID DISK=0,1,2,3\n";
