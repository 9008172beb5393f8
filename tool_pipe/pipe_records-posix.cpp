#include "pipe_records.h"

#include <cstddef>
#include <cstdlib>

namespace tool_pipe {
namespace {

// Lives as long as the process, like the runtime's own table.
PipeRecord *table = nullptr;
std::size_t table_size = 0;

} // namespace

PipeRecord *take_pipe_record(Stream *stream) {
  PipeRecord *record = find_pipe_record(nullptr);
  if (record == nullptr) {
    auto *const grown = static_cast<PipeRecord *>(
        std::realloc(table, (table_size + 1) * sizeof(PipeRecord)));
    if (grown == nullptr)
      return nullptr;
    table = grown;
    record = &table[table_size++];
  }
  *record = PipeRecord{stream, -1};
  return record;
}

PipeRecord *find_pipe_record(const Stream *stream) {
  for (std::size_t i = 0; i < table_size; ++i)
    if (table[i].stream == stream)
      return &table[i];
  return nullptr;
}

void release_pipe_record(PipeRecord *record) {
  *record = PipeRecord{nullptr, -1};
}

} // namespace tool_pipe
