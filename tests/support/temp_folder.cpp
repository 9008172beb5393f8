#include "temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

TempFolder::TempFolder() {
  const auto base = std::filesystem::temp_directory_path() / "raidvol-XXXXXX";
  std::string pattern = base.string();
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
