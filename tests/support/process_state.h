// What this process holds, so a test can show that a call left nothing behind.
#pragma once

#include <string>
#include <sys/types.h>

struct ProcessState {
  int descriptors;      // open in this process
  std::string children; // started and not yet waited for
  dev_t input_device;   // what standard input is: 0 and 0 when closed
  ino_t input_inode;
};

ProcessState process_state();

// What differs between the two, in words; empty when nothing does.
std::string what_changed(const ProcessState &before, const ProcessState &after);

// How many descriptors `process` holds open on what our `fd` is open on.
int descriptors_on(pid_t process, int fd);
