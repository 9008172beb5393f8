#include "stream_model.h"

namespace fuzz {
namespace {

constexpr std::string::size_type buffer_bytes = 4096;

} // namespace

std::string StreamModel::write(const std::string &bytes) {
  std::string sent;
  for (const char c : bytes) {
    held_ += c;
    if (held_.size() == buffer_bytes)
      sent += send_held();
  }
  return sent;
}

std::string StreamModel::close() { return send_held(); }

std::string StreamModel::send_held() {
  std::string sent;
  for (const char c : held_)
    sent += text_ && c == '\n' ? std::string("\r\n") : std::string(1, c);
  held_.clear();
  return sent;
}

} // namespace fuzz
