// A rehearsal that cannot go on: the status it exits with, and why. Thrown
// where the failure is found, and said once, by main.
#pragma once

#include <stdexcept>
#include <string>

namespace rehearsal {

struct Stop : std::runtime_error {
  Stop(int status, const std::string &why)
      : std::runtime_error(why), status(status) {}
  int status;
};

// `what` failed with errno's error: "<what>: <the error>".
std::string with_error(const std::string &what);

} // namespace rehearsal
