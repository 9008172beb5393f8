#include "jobs.h"

#include <algorithm>
#include <sys/resource.h>

namespace rehearsal {

unsigned default_jobs() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NPROC, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
    return most_jobs;
  return static_cast<unsigned>(
      std::clamp<rlim_t>(limit.rlim_cur / 4, 1, most_jobs));
}

} // namespace rehearsal
