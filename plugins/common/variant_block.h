#pragma once

// The parameter block as the delivered plug-ins read it: the variant form, with one leading word
// before the fields of EffectBlock. Counters and parameters are 32-bit numbers there; in the
// host build (where the fields are wider) only their low 32 bits count, as in the 32-bit one.
#include "plugins/common/pixel_rect.h"
#include "plugins/include/velmo_plugin.h"

#include <cstdint>

namespace velmo::plugin {

// The EffectBlock inside the variant block an entry function receives (null for none).
inline EffectBlock* BlockOf(void* variantBlock) {
  return variantBlock != nullptr ? &static_cast<EffectBlockEx*>(variantBlock)->block : nullptr;
}

inline std::int32_t FrameOf(const EffectBlock& block) { return static_cast<std::int32_t>(block.frameCounter); }

// Parameter i, i = 1 ... 63.
inline std::int32_t ParamOf(const EffectBlock& block, int i) { return static_cast<std::int32_t>(block.params[i - 1]); }
inline void SetParam(EffectBlock& block, int i, std::int32_t value) { block.params[i - 1] = value; }

inline PixelView ScreenOf(const EffectBlock& block) { return ScreenView(block.screenPixels); }
inline ConstPixelView FromOf(const EffectBlock& block) { return ConstScreenView(block.fromPixels); }
inline ConstPixelView ToOf(const EffectBlock& block) { return ConstScreenView(block.toPixels); }

// The counters of the set-up call and of the finishing call.
inline constexpr std::int32_t SetUpFrame = 0;
inline constexpr std::int32_t FinishFrame = VELMO_FINAL_FRAME_EX;

} // namespace velmo::plugin
