#include "plugins/weatherfx/sprite_sheet.h"

namespace velmo::weatherfx {

namespace {

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return b[at] | static_cast<std::uint32_t>(b[at + 1]) << 8 | static_cast<std::uint32_t>(b[at + 2]) << 16 |
         static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

// Sheets are small; anything larger is no sheet of ours.
constexpr std::int64_t MaxSide = 4096;

} // namespace

SpriteSheet DecodePackedDib(std::span<const std::uint8_t> dib) {
  if (dib.size() < 40) return {};
  const std::uint32_t headerSize = U32(dib, 0);
  const auto width = static_cast<std::int32_t>(U32(dib, 4));
  const auto rawHeight = static_cast<std::int32_t>(U32(dib, 8));
  const std::uint16_t planes = U16(dib, 12), bitCount = U16(dib, 14);
  const std::uint32_t compression = U32(dib, 16), used = U32(dib, 32);
  const std::int64_t height = rawHeight < 0 ? -std::int64_t{rawHeight} : rawHeight;
  if (headerSize < 40 || headerSize > dib.size() || planes != 1 || compression != 0) return {};
  if (width <= 0 || width > MaxSide || height <= 0 || height > MaxSide) return {};
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return {};
  const std::uint32_t colours = bitCount == 24 ? 0 : used == 0 ? 1u << bitCount : used;
  if (colours > 256) return {};
  const std::size_t paletteAt = headerSize, bitsAt = paletteAt + std::size_t{colours} * 4;
  const std::size_t stride = (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
  if (bitsAt + stride * static_cast<std::size_t>(height) > dib.size()) return {};

  SpriteSheet sheet;
  sheet.width = width;
  sheet.height = static_cast<int>(height);
  sheet.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  for (std::int64_t y = 0; y < height; ++y) {
    const std::size_t row = bitsAt + stride * static_cast<std::size_t>(rawHeight < 0 ? y : height - 1 - y);
    std::uint8_t* out = sheet.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3;
    for (std::int32_t x = 0; x < width; ++x, out += 3) {
      if (bitCount == 24) {
        for (int c = 0; c < 3; ++c) out[c] = dib[row + static_cast<std::size_t>(x) * 3 + static_cast<std::size_t>(c)];
        continue;
      }
      const std::size_t bit = static_cast<std::size_t>(x) * bitCount;
      const unsigned byte = dib[row + bit / 8];
      const unsigned index = (byte >> (8 - bitCount - bit % 8)) & ((1u << bitCount) - 1);
      // An index past the palette shows as black.
      if (index >= colours) {
        out[0] = out[1] = out[2] = 0;
        continue;
      }
      for (int c = 0; c < 3; ++c) out[c] = dib[paletteAt + index * 4 + static_cast<std::size_t>(c)];
    }
  }
  return sheet;
}

} // namespace velmo::weatherfx
