#include "recording.h"

#include <fstream>
#include <sstream>

std::string Recording::all_bytes() const {
  std::string bytes;
  for (const auto &chunk : chunks)
    bytes += chunk.bytes;
  return bytes;
}

namespace {

std::string from_hex(const std::string &hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

} // namespace

Recording read_recording(const std::string &report_path) {
  Recording recording;
  std::ifstream report(report_path);
  recording.found = report.good();
  std::string line;
  while (std::getline(report, line)) {
    const auto space = line.find(' ');
    const std::string key = line.substr(0, space);
    const std::string rest =
        space == std::string::npos ? "" : line.substr(space + 1);
    if (key == "arg") {
      recording.args.push_back(rest);
    } else if (key == "chunk") {
      std::istringstream fields(rest);
      Recording::Chunk chunk;
      std::string hex;
      fields >> chunk.at_ns >> hex;
      chunk.bytes = from_hex(hex);
      recording.chunks.push_back(chunk);
    } else if (key == "other_ends") {
      recording.other_ends = std::stoi(rest);
    } else if (key == "eof") {
      recording.eof_ns = std::stoll(rest);
    } else if (key == "end") {
      recording.end_ns = std::stoll(rest);
    }
  }
  return recording;
}

ProgramSetup
RecordingTool::setup(const std::map<std::string, std::string> &settings) const {
  ProgramSetup setup;
  setup.env = {{"COMSPEC", RECORDING_TOOL},
               {"RECORDING_TOOL_REPORT", report_path()}};
  setup.env.insert(settings.begin(), settings.end());
  return setup;
}
