#include "plugins/common/pixel_rect.h"

#include <algorithm>
#include <cstring>

namespace velmo::plugin {

namespace {

// Clips the span [start, start + length) of one picture against [0, limit) and moves the span of
// the other picture that pairs with it (at `otherStart`) by the same amount. False when nothing
// is left.
bool ClipPaired(std::int64_t& start, std::int64_t& length, std::int64_t& otherStart, std::int64_t limit) {
  if (start < 0) {
    otherStart -= start;
    length += start;
    start = 0;
  }
  if (start + length > limit) length = limit - start;
  return length > 0;
}

} // namespace

void BlitPixels(PixelView dest, std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height,
                ConstPixelView source, std::int64_t sourceX, std::int64_t sourceY, RasterOp op) {
  if (dest.bits == nullptr || source.bits == nullptr) return;
  // Both rectangles take the same extents, so they stay the same size and unmirrored.
  const Span columns = NormalizedSpan(x, width);
  const Span rows = NormalizedSpan(y, height);
  std::int64_t dx = columns.start, dy = rows.start, w = columns.length, h = rows.length;
  std::int64_t sx = NormalizedSpan(sourceX, width).start, sy = NormalizedSpan(sourceY, height).start;
  if (!ClipPaired(dx, w, sx, dest.width) || !ClipPaired(sx, w, dx, source.width)) return;
  if (!ClipPaired(dy, h, sy, dest.height) || !ClipPaired(sy, h, dy, source.height)) return;
  const std::size_t bytes = static_cast<std::size_t>(w) * 3;
  for (std::int64_t row = 0; row < h; ++row) {
    std::uint8_t* to = dest.At(dx, dy + row);
    const std::uint8_t* from = source.At(sx, sy + row);
    switch (op) {
    case RasterOp::Copy:
      std::memmove(to, from, bytes);
      break;
    case RasterOp::And:
      for (std::size_t i = 0; i < bytes; ++i) to[i] &= from[i];
      break;
    case RasterOp::Or:
      for (std::size_t i = 0; i < bytes; ++i) to[i] |= from[i];
      break;
    }
  }
}

void FillBlack(PixelView picture) {
  if (picture.bits == nullptr) return;
  for (int y = 0; y < picture.height; ++y)
    std::memset(picture.At(0, y), 0, static_cast<std::size_t>(picture.width) * 3);
}

void InvertPixels(PixelView picture) {
  if (picture.bits == nullptr) return;
  for (int y = 0; y < picture.height; ++y) {
    std::uint8_t* row = picture.At(0, y);
    for (int i = 0; i < picture.width * 3; ++i) row[i] = static_cast<std::uint8_t>(~row[i]);
  }
}

} // namespace velmo::plugin
