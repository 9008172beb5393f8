// The open-pipe table: which child each open stream was started for.
#pragma once

#include <sys/types.h>

namespace tool_pipe {

struct Stream;

struct PipeRecord {
  Stream *stream; // null while the record is free
  pid_t child;
};

// A free record made to hold `stream`, the table growing by one record when
// none is free; null when memory runs out.
PipeRecord *take_pipe_record(Stream *stream);

// The record that holds `stream`, or null.
PipeRecord *find_pipe_record(const Stream *stream);

void release_pipe_record(PipeRecord *record);

} // namespace tool_pipe
