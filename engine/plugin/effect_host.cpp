#include "engine/plugin/effect_host.h"

#include <cstring>

namespace velmo {

const std::uint8_t DefaultTransitionPatterns[7][8] = {
    {0x11, 0x00, 0x44, 0x00, 0x11, 0x00, 0x44, 0x00}, {0x55, 0x00, 0x55, 0x00, 0x55, 0x00, 0x55, 0x00},
    {0x55, 0x22, 0x55, 0x88, 0x55, 0x22, 0x55, 0x88}, {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA},
    {0x55, 0xBB, 0x55, 0xEE, 0x55, 0xBB, 0x55, 0xEE}, {0x55, 0xFF, 0x55, 0xFF, 0x55, 0xFF, 0x55, 0xFF},
    {0x77, 0xFF, 0xDD, 0xFF, 0x77, 0xFF, 0xDD, 0xFF},
};

int DefaultTransition(std::int64_t counter, const TSurface& to, TSurface& screen) {
  if (counter < 0 || counter >= 7) return 0;
  const std::uint8_t* pattern = DefaultTransitionPatterns[counter];
  for (int y = 0; y < TSurface::Height; ++y) {
    const std::uint8_t row = pattern[y & 7];
    if (row == 0) continue;
    const std::uint8_t* source = to.Bits() + static_cast<std::size_t>(y) * TSurface::Stride;
    std::uint8_t* target = screen.Bits() + static_cast<std::size_t>(y) * TSurface::Stride;
    for (int x = 0; x < TSurface::Width; ++x) {
      if ((row >> (7 - (x & 7))) & 1) std::memcpy(target + x * 3, source + x * 3, 3);
    }
  }
  return counter < 6;
}

void EffectRecord::InstallDefaultTransition() {
  *this = EffectRecord{};
  builtIn = true;
  info.intervalMs = static_cast<std::int32_t>(DefaultTransitionIntervalMs);
}

void EffectHost::Start(const EffectRecord& record, TSurface& screenSurface, TSurface& from, TSurface& toSurface) {
  pending = record;
  screen = &screenSurface;
  to = &toSurface;
  finishing = false;
  blockEx = EffectBlockEx{};
  EffectBlock& block = blockEx.block;
  block.screenDc = screenSurface.Dc();
  block.screenPixels = screenSurface.Bits();
  block.fromDc = from.Dc();
  block.fromPixels = from.Bits();
  block.toDc = toSurface.Dc();
  block.toPixels = toSurface.Bits();
  block.frameCounter = 0;
  for (int i = 0; i < VELMO_PARAM_COUNT; ++i) block.params[i] = record.info.params[i];
}

int EffectHost::Step() {
  EffectBlock& block = blockEx.block;
  if (screen == nullptr) return 0;
  int result;
  if (pending.function == nullptr) {
    const std::int64_t counter = block.frameCounter;
    result = drawsBuiltInFrames ? DefaultTransition(counter, *to, *screen) : counter >= 0 && counter < 6;
  } else if (pending.variant) {
    result = pending.function(&blockEx);
    // The variant's finishing call is made once; what it answers does not matter.
    if (finishing) result = 0;
  } else {
    result = pending.function(&block);
  }
  ++block.frameCounter;
  return result;
}

void EffectHost::StartFinish() {
  finishing = true;
  blockEx.block.frameCounter = pending.variant ? VELMO_FINAL_FRAME_EX : VELMO_FINAL_FRAME;
}

void EffectHost::CopyFinalPicture() {
  if (screen != nullptr && to != nullptr) std::memcpy(screen->Bits(), to->Bits(), TSurface::Size);
}

std::uint32_t EffectHost::FrameIntervalMs() const {
  return pending.info.intervalMs > 0 ? static_cast<std::uint32_t>(pending.info.intervalMs) : 0;
}

} // namespace velmo
