// Runs a fuzz target's entry point once on each saved input, so that its
// checks run as an ordinary test in any build, without libFuzzer. Each
// argument is an input file or a folder of them; a failed check aborts, and
// no input at all fails too, so that a corpus that went missing shows.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size);

namespace fs = std::filesystem;

int main(int argc, char **argv) {
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    if (!fs::is_directory(argv[i]))
      inputs.emplace_back(argv[i]);
    else
      for (const fs::directory_entry &entry : fs::directory_iterator(argv[i]))
        inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  for (const fs::path &input : inputs) {
    std::ifstream file(input, std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "cannot read %s\n", input.c_str());
      return 1;
    }
    // A buffer of the input's own size, so that a read past it is caught.
    const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(file),
                                          {});
    std::printf("%s: %zu bytes\n", input.c_str(), bytes.size());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  if (inputs.empty())
    std::fprintf(stderr, "no inputs to replay\n");
  return inputs.empty() ? 1 : 0;
}
