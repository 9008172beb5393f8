// What this process holds, so a test can show that a call left nothing behind.
#pragma once

#include <string>

// Descriptors open in this process.
int open_descriptors();

// The processes this one has started and not yet waited for.
std::string children();
