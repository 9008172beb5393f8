// Saves environment variables and the current folder, and puts them back
// when it goes, so a test may change them freely.
#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <string>

class EnvironmentGuard {
public:
  // Saves the current folder and `names`, then unsets each of them.
  explicit EnvironmentGuard(std::initializer_list<const char *> names);
  ~EnvironmentGuard();
  EnvironmentGuard(const EnvironmentGuard &) = delete;
  EnvironmentGuard &operator=(const EnvironmentGuard &) = delete;

private:
  std::map<std::string, std::optional<std::string>> saved_;
  std::string folder_;
};
