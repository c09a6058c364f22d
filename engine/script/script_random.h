#pragma once

#include <cstdint>

namespace velmo {

// The draws of =rand: 0 to 32767, from the classic linear congruential generator, so that a seed
// gives the same sequence in every build.
class ScriptRandom {
public:
  void Seed(std::uint32_t seed) { state = seed; }
  int Next() {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 16) & 0x7FFF);
  }

private:
  std::uint32_t state = 1;
};

} // namespace velmo
