#pragma once

// Rectangle operations on 24-bit pictures (B, G, R, top-down) with the system's BitBlt rules, for
// the plug-ins that draw in pixels what they would otherwise draw with BitBlt: an origin and a
// negative extent e cover origin + e + 1 ... origin (the rectangle is not mirrored), and a copy
// is clipped to its source and its destination together, so the part of the rectangle that lies
// outside either picture is left out on both sides. Coordinates and extents are 64-bit, so no
// origin or extent a caller passes can overflow.
#include <cstddef>
#include <cstdint>

namespace velmo::plugin {

inline constexpr int ScreenWidth = 640;
inline constexpr int ScreenHeight = 480;
inline constexpr std::ptrdiff_t ScreenStride = ScreenWidth * 3;
inline constexpr std::size_t ScreenBytes = static_cast<std::size_t>(ScreenStride) * ScreenHeight;

// A run of rows or columns: `length` of them from `start` (length > 0 unless empty).
struct Span {
  std::int64_t start = 0;
  std::int64_t length = 0;
};

// The rows or columns BitBlt covers from `origin` with `extent`.
inline Span NormalizedSpan(std::int64_t origin, std::int64_t extent) {
  return extent >= 0 ? Span{origin, extent} : Span{origin + extent + 1, -extent};
}

// A picture's pixels: `width` x `height` pixels of 3 bytes, rows `stride` bytes apart.
struct PixelView {
  std::uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;

  std::uint8_t* At(std::int64_t x, std::int64_t y) const {
    return bits + static_cast<std::ptrdiff_t>(y) * stride + static_cast<std::ptrdiff_t>(x) * 3;
  }
};

struct ConstPixelView {
  const std::uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;

  const std::uint8_t* At(std::int64_t x, std::int64_t y) const {
    return bits + static_cast<std::ptrdiff_t>(y) * stride + static_cast<std::ptrdiff_t>(x) * 3;
  }
};

// A 640 x 480 surface of the parameter block (no picture when `bits` is null).
inline PixelView ScreenView(std::uint8_t* bits) { return {bits, ScreenWidth, ScreenHeight, ScreenStride}; }
inline ConstPixelView ConstScreenView(const std::uint8_t* bits) {
  return {bits, ScreenWidth, ScreenHeight, ScreenStride};
}

// The raster operations the plug-ins use: SRCCOPY, SRCAND and SRCPAINT.
enum class RasterOp { Copy, And, Or };

// BitBlt(dest, x, y, width, height, source, sourceX, sourceY, op) on pixels. Nothing happens when
// either picture is missing.
void BlitPixels(PixelView dest, std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height,
                ConstPixelView source, std::int64_t sourceX, std::int64_t sourceY, RasterOp op);

// BitBlt with BLACKNESS and with DSTINVERT over the whole picture.
void FillBlack(PixelView picture);
void InvertPixels(PixelView picture);

} // namespace velmo::plugin
