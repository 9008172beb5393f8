#include "environment_guard.h"

#include <cstdlib>
#include <filesystem>

EnvironmentGuard::EnvironmentGuard(std::initializer_list<const char *> names)
    : folder_(std::filesystem::current_path().string()) {
  for (const char *name : names) {
    const char *const value = std::getenv(name);
    saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
    unsetenv(name);
  }
}

EnvironmentGuard::~EnvironmentGuard() {
  for (const auto &[name, value] : saved_) {
    if (value)
      setenv(name.c_str(), value->c_str(), 1);
    else
      unsetenv(name.c_str());
  }
  std::error_code ignored;
  std::filesystem::current_path(folder_, ignored);
}
