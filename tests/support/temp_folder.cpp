#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace {

// The tests start programs that they write into temporary folders: where the
// folder's file system runs no programs (mounted noexec), they are skipped,
// saying so, rather than failing as if the code were at fault. CTest takes
// the status 77 for "skipped".
class ProgramsRunInTemporaryFolders : public ::testing::Environment {
  void SetUp() override {
    const TempFolder folder;
    if (access(folder.script("probe", "exit 0").c_str(), X_OK) == 0)
      return;
    std::printf("skipped: %s cannot hold programs that run\n",
                folder.path().c_str());
    std::exit(77);
  }
};
const auto *const registered =
    ::testing::AddGlobalTestEnvironment(new ProgramsRunInTemporaryFolders);

} // namespace

TempFolder::TempFolder() {
  const auto base = std::filesystem::temp_directory_path();
  std::filesystem::create_directories(base);
  std::string pattern = (base / "raidvol-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr)
    throw std::runtime_error("mkdtemp");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::operator/(const std::string &name) const {
  return path_ + "/" + name;
}

std::string TempFolder::write(const std::string &name,
                              const std::string &content, mode_t mode) const {
  const std::string file = *this / name;
  std::filesystem::create_directories(
      std::filesystem::path(file).parent_path());
  std::ofstream(file, std::ios::binary) << content;
  if (chmod(file.c_str(), mode) != 0)
    throw std::runtime_error("chmod");
  return file;
}

std::string TempFolder::script(const std::string &name,
                               const std::string &body) const {
  return write(name, "#!/bin/sh\n" + body + "\n", 0755);
}

std::string TempFolder::read(const std::string &name) const {
  std::ifstream file(*this / name, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

bool TempFolder::has(const std::string &name) const {
  return std::filesystem::exists(*this / name);
}
