#include "bench/timing_clock.h"

#include <windows.h>

namespace velmo::bench {

double NowNs() {
  static const double nsPerTick = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1e9 / static_cast<double>(frequency.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * nsPerTick;
}

} // namespace velmo::bench
