// What the recording interpreter wrote down, read back.
#pragma once

#include <string>
#include <vector>

struct Recording {
  bool found = false;
  std::vector<std::string> args;
  struct Chunk {
    long long at_ns;
    std::string bytes;
  };
  std::vector<Chunk> chunks;
  int other_ends = -1;
  long long start_ns = 0, eof_ns = 0, end_ns = 0;
  std::string all_bytes() const;
};

Recording read_recording(const std::string &report_path);
