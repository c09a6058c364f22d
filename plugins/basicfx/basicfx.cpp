#include "plugins/basicfx/basicfx.h"

#include "plugins/basicfx/basicfx_kernels.h"
#include "plugins/common/variant_block.h"

#include <algorithm>

namespace velmo::basicfx {

namespace {

constexpr std::size_t ScreenPixels = static_cast<std::size_t>(plugin::ScreenWidth) * plugin::ScreenHeight;

bool IsSetUpOrFinish(std::int32_t n) { return n == plugin::SetUpFrame || n == plugin::FinishFrame; }

} // namespace

int OverlapFrame(EffectBlock& block) {
  const std::int32_t n = plugin::FrameOf(block);
  if (IsSetUpOrFinish(n)) return 1;
  if (block.screenPixels != nullptr && block.fromPixels != nullptr && block.toPixels != nullptr)
    Overlap(block.fromPixels, block.toPixels, block.screenPixels, plugin::ScreenBytes, n);
  return n < 8;
}

int KickFrame(EffectBlock& block, plugin::ClassicRandom& random) {
  const std::int32_t n = plugin::FrameOf(block);
  if (n == plugin::FinishFrame) return 1;
  if (n == plugin::SetUpFrame) {
    if (plugin::ParamOf(block, 2) == 0) plugin::SetParam(block, 2, DefaultKickAmplitude);
    return 1;
  }
  std::int32_t amplitude = plugin::ParamOf(block, 2);
  if (amplitude <= 0 || amplitude > MaxKickAmplitude) amplitude = DefaultKickAmplitude;
  const plugin::PixelView screen = plugin::ScreenOf(block);
  plugin::FillBlack(screen);
  const std::int32_t y = random.Below(2 * amplitude) - amplitude;
  const std::int32_t x = random.Below(2 * amplitude) - amplitude;
  plugin::BlitPixels(screen, x, y, plugin::ScreenWidth, plugin::ScreenHeight, plugin::ToOf(block), 0, 0,
                     plugin::RasterOp::Copy);
  return n < plugin::ParamOf(block, 1);
}

int FlashFrame(EffectBlock& block) {
  const std::int32_t n = plugin::FrameOf(block);
  if (IsSetUpOrFinish(n)) return 1;
  plugin::InvertPixels(plugin::ScreenOf(block));
  return n < plugin::ParamOf(block, 1);
}

int MonoToneFilter(EffectBlock& block) {
  if (block.screenPixels != nullptr) MonoTone(block.screenPixels, ScreenPixels);
  return 0;
}

int ShadowFilter(EffectBlock& block) {
  std::int32_t percents[3];
  for (int k = 1; k <= 3; ++k) {
    percents[k - 1] = std::clamp<std::int32_t>(plugin::ParamOf(block, k), -100, 100);
    plugin::SetParam(block, k, percents[k - 1]);
  }
  if (block.screenPixels != nullptr) Shadow(block.screenPixels, ScreenPixels, percents);
  return 0;
}

} // namespace velmo::basicfx
