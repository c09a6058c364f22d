#pragma once

// Pixel helpers shared by the platform's surfaces, the layer model, the kernels, the message
// window and selections. Pixels are 24 bits, B, G, R.

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace velmo {

// A pixel's 24-bit value B | G << 8 | R << 16, as colour keys compare it.
inline std::uint32_t PixelKey(const std::uint8_t* pixel) {
  return static_cast<std::uint32_t>(pixel[0]) | static_cast<std::uint32_t>(pixel[1]) << 8 |
         static_cast<std::uint32_t>(pixel[2]) << 16;
}

// The B, G, R bytes of a COLORREF (0x00BBGGRR; flags in the top byte are ignored).
struct PixelBytes {
  std::uint8_t bytes[3];
};
inline PixelBytes ColorRefPixel(std::uint32_t colorRef) {
  return {{static_cast<std::uint8_t>(colorRef >> 16), static_cast<std::uint8_t>(colorRef >> 8),
           static_cast<std::uint8_t>(colorRef)}};
}

// A position or size computed in 64 bits from script numbers, kept in 32 bits: saturated, never
// wrapped.
inline std::int32_t Saturate32(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

// A buffer of width x height pixels whose rows are width * 3 bytes with no gap (pictures and
// surfaces alike), top row first. `Pixels` is const or mutable std::uint8_t.
template <typename Pixels> struct BasicPixelView {
  Pixels* bits = nullptr;
  int width = 0;
  int height = 0;

  // A view of mutable pixels reads as one of constant pixels.
  operator BasicPixelView<const Pixels>() const { return {bits, width, height}; }

  std::size_t Stride() const { return static_cast<std::size_t>(width) * 3; }
  Pixels* At(std::int64_t x, std::int64_t y) const {
    return bits + static_cast<std::size_t>(y) * Stride() + static_cast<std::size_t>(x) * 3;
  }
};
using PixelView = BasicPixelView<std::uint8_t>;
using ConstPixelView = BasicPixelView<const std::uint8_t>;

} // namespace velmo
