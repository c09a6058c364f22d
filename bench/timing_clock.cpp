#include "bench/timing_clock.h"

#include <time.h>

namespace velmo::bench {

double NowNs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

} // namespace velmo::bench
