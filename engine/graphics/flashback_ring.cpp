#include "engine/graphics/flashback_ring.h"

#include <cstring>
#include <utility>

namespace velmo {

bool FlashbackRing::Make(IGraphics& graphics, std::int32_t pageCount) {
  pages.clear();
  reading.reset();
  noted = false;
  newest = -1;
  count = looking = 0;
  if (pageCount <= 0) return true;
  reading = graphics.CreateSurface();
  if (reading == nullptr) return false;
  for (std::int32_t i = 0; i < pageCount; ++i) {
    std::unique_ptr<TSurface> surface = graphics.CreateSurface();
    if (surface == nullptr) return false;
    pages.push_back(std::move(surface));
  }
  return true;
}

void FlashbackRing::NotePage(const TSurface& shown) {
  if (reading == nullptr) return;
  std::memcpy(reading->Bits(), shown.Bits(), TSurface::Size);
  noted = true;
}

void FlashbackRing::KeepPage(const TSurface& shown) {
  if (reading == nullptr) return;
  if (!noted) NotePage(shown);
  noted = false;
  // The page's picture takes the slot of the oldest page; that surface reads the next page.
  newest = (newest + 1) % Capacity();
  std::swap(pages[static_cast<std::size_t>(newest)], reading);
  if (count < Capacity()) ++count;
  looking = 0;
}

bool FlashbackRing::Back() {
  if (looking >= count) return false;
  ++looking;
  return true;
}

bool FlashbackRing::Forward() {
  if (looking > 0) --looking;
  return looking > 0;
}

const TSurface* FlashbackRing::Shown() const {
  if (looking <= 0 || looking > count) return nullptr;
  const std::int32_t slot = (newest - (looking - 1) + Capacity()) % Capacity();
  return pages[static_cast<std::size_t>(slot)].get();
}

} // namespace velmo
