// What a writing stream should send down its pipe, worked out the plain way:
// bytes gather until 4096 are held, and only then, or at close, leave
// together; in text mode each LF leaves as CR LF, in binary mode as it is.
#pragma once

#include <string>

namespace fuzz {

class StreamModel {
public:
  explicit StreamModel(bool text) : text_(text) {}

  // What the pipe receives while these bytes are written.
  std::string write(const std::string &bytes);

  // What the pipe receives when the stream is closed.
  std::string close();

private:
  std::string send_held();

  bool text_;
  std::string held_;
};

} // namespace fuzz
