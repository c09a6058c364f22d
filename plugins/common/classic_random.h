#pragma once

// The pseudo-random numbers of the plug-ins that draw at random: the C runtime's classic
// generator (state x 214013 + 2531011, numbers 0 ... 32767 from bits 16-30), kept by each plug-in
// for itself and seeded with 1 when the plug-in is loaded, so a fresh load draws the same frames
// in every build and no other module's seeding disturbs it.
#include <cstdint>

namespace velmo::plugin {

class ClassicRandom {
public:
  static constexpr std::uint32_t LoadSeed = 1;

  void Seed(std::uint32_t seed) { state = seed; }
  int Next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
  }
  // Next() mod k: 0 ... k - 1, as the numbers are never negative. No k the plug-ins pass is 0 or
  // less; such a k would give 0 and leave the sequence where it is.
  int Below(int k) { return k > 0 ? Next() % k : 0; }

private:
  std::uint32_t state = LoadSeed;
};

} // namespace velmo::plugin
