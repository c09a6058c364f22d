#pragma once

// Pixel helpers shared by the layer model, the kernels, the message window and selections. Pixels
// are 24 bits, B, G, R; a buffer of width w has rows of w * 3 bytes with no gap (pictures and
// surfaces alike).

#include <algorithm>
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

// Copies the rectangle (x, y, width, height) of one pixel buffer to (toX, toY) of another: only
// the part that lies inside both is copied; nothing for an empty or negative size. With `keyed`,
// source pixels of the source's first pixel's colour are left out. The two buffers may be the same
// only when the rectangle stays in place.
void CopyPixelRect(const std::uint8_t* source, int sourceWidth, int sourceHeight, std::int64_t x, std::int64_t y,
                   std::int64_t width, std::int64_t height, std::uint8_t* target, int targetWidth, int targetHeight,
                   std::int64_t toX, std::int64_t toY, bool keyed = false);

} // namespace velmo
