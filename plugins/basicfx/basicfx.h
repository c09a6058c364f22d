#pragma once

// The basic transitions (a cross-fade, a shaking jolt over black, a flash) and the layer filters
// (monotone and a brightness table per channel), on the parameter block's pixels.
#include "plugins/common/classic_random.h"
#include "plugins/include/velmo_plugin.h"

#include <cstdint>

namespace velmo::basicfx {

// KICK's amplitude when the block has none, and the largest it takes: beyond it twice the
// amplitude is no 32-bit number.
inline constexpr std::int32_t DefaultKickAmplitude = 20;
inline constexpr std::int32_t MaxKickAmplitude = 0x3FFFFFFF;

// Transitions: 1 while more frames follow, 0 with the last. The set-up and finishing calls draw
// nothing and return 1; KICK's set-up call gives a block without an amplitude the default one.
int OverlapFrame(EffectBlock& block);
int KickFrame(EffectBlock& block, plugin::ClassicRandom& random);
int FlashFrame(EffectBlock& block);

// Filters, on the block's screen pixels; both return 0. SHADOW first clamps its parameters 1-3
// to -100 ... 100 and writes them back into the block.
int MonoToneFilter(EffectBlock& block);
int ShadowFilter(EffectBlock& block);

} // namespace velmo::basicfx
