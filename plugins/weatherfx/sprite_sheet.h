#pragma once

// A sprite sheet as the particle transitions draw from it: its bitmap resource decoded to 24-bit
// pixels (B, G, R, top row first), the colours a BitBlt from the bitmap puts on the screen.
#include "plugins/common/pixel_rect.h"

#include <cstdint>
#include <span>
#include <vector>

namespace velmo::weatherfx {

struct SpriteSheet {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;

  bool Empty() const { return pixels.empty(); }
  plugin::ConstPixelView View() const {
    return {pixels.empty() ? nullptr : pixels.data(), width, height, static_cast<std::ptrdiff_t>(width) * 3};
  }
};

// Decodes a packed DIB of 1, 4 or 8 bits a pixel with a palette, or of 24 bits, uncompressed,
// rows bottom-up or top-down. An empty sheet when the bytes are not such a bitmap or are too few
// for what its header says.
SpriteSheet DecodePackedDib(std::span<const std::uint8_t> dib);

} // namespace velmo::weatherfx
