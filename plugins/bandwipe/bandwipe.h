#pragma once

// The stripe and wipe transitions: each frame copies rows, columns or cells of the new picture
// onto the screen where they lie, so a transition reveals the new picture bit by bit. They draw
// in pixels exactly what the same rectangles copied with BitBlt and SRCCOPY give.
#include "plugins/common/pixel_rect.h"

#include <cstdint>

namespace velmo::bandwipe {

// The pseudo-random rows and columns of the RANDOM_STRIPE transitions: one state for both,
// 759375 when the plug-in is loaded, never seeded again.
class StripeSequence {
public:
  static constexpr std::int32_t LoadState = 759375;

  // state := state x 19 mod m; the new state. `m` is 479 or 641, so every value stays far below
  // the 32-bit limit.
  std::int32_t Next(std::int32_t m) {
    state = static_cast<std::int32_t>(std::int64_t{state} * 19 % m);
    return state;
  }
  std::int32_t State() const { return state; }
  void Reset() { state = LoadState; }

private:
  std::int32_t state = LoadState;
};

// One frame of a transition: counter n, parameters 1 and 2, and the pictures.
struct StripeFrame {
  std::int32_t n = 0;
  std::int32_t p1 = 0;
  std::int32_t p2 = 0;
  plugin::PixelView screen;
  plugin::ConstPixelView to;
};

// Each draws frame `f` and returns 1 while more frames follow, 0 with the last. The set-up and
// finishing calls (counters 0 and -1) draw nothing and return 1.
int BlindH(const StripeFrame& f);
int BlindV(const StripeFrame& f);
int InterlaceH(const StripeFrame& f);
int InterlaceV(const StripeFrame& f);
int RandomStripeH(const StripeFrame& f, StripeSequence& sequence);
int RandomStripeV(const StripeFrame& f, StripeSequence& sequence);
int CheckerWipeH(const StripeFrame& f);
int CheckerWipeV(const StripeFrame& f);
int GradWipeUp(const StripeFrame& f);
int GradWipeDown(const StripeFrame& f);
int GradWipeLeft(const StripeFrame& f);
int GradWipeRight(const StripeFrame& f);

} // namespace velmo::bandwipe
