// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <string>
#include <sys/stat.h>

class TempFolder {
public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder &) = delete;
  TempFolder &operator=(const TempFolder &) = delete;

  const std::string &path() const { return path_; }
  std::string operator/(const std::string &name) const;

  // Writes `content` to `name` with the given permission bits; its path.
  std::string write(const std::string &name, const std::string &content,
                    mode_t mode = 0644) const;
  // A shell script that runs `body`.
  std::string script(const std::string &name, const std::string &body) const;
  std::string read(const std::string &name) const;
  bool has(const std::string &name) const;

private:
  std::string path_;
};
