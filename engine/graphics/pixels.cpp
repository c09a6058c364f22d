#include "engine/graphics/pixels.h"

#include "engine/graphics/blit_kernels.h"

#include <cstddef>
#include <cstring>

namespace velmo {

void CopyPixelRect(const std::uint8_t* source, int sourceWidth, int sourceHeight, std::int64_t x, std::int64_t y,
                   std::int64_t width, std::int64_t height, std::uint8_t* target, int targetWidth, int targetHeight,
                   std::int64_t toX, std::int64_t toY, bool keyed) {
  // Clip to the source, then to the target, moving both corners together.
  const std::int64_t shiftX = toX - x;
  const std::int64_t shiftY = toY - y;
  const std::int64_t left = std::max<std::int64_t>({x, 0, -shiftX});
  const std::int64_t top = std::max<std::int64_t>({y, 0, -shiftY});
  const std::int64_t right = std::min<std::int64_t>({x + width, sourceWidth, targetWidth - shiftX});
  const std::int64_t bottom = std::min<std::int64_t>({y + height, sourceHeight, targetHeight - shiftY});
  if (left >= right || top >= bottom || width <= 0 || height <= 0) return;
  const std::size_t sourceStride = static_cast<std::size_t>(sourceWidth) * 3;
  const std::size_t targetStride = static_cast<std::size_t>(targetWidth) * 3;
  const std::uint8_t* from = source + static_cast<std::size_t>(top) * sourceStride + static_cast<std::size_t>(left) * 3;
  std::uint8_t* to =
      target + static_cast<std::size_t>(top + shiftY) * targetStride + static_cast<std::size_t>(left + shiftX) * 3;
  if (keyed) {
    CopyKeyed(from, sourceStride, to, targetStride, static_cast<int>(right - left), static_cast<int>(bottom - top),
              PixelKey(source));
    return;
  }
  const std::size_t rowBytes = static_cast<std::size_t>(right - left) * 3;
  for (std::int64_t row = top; row < bottom; ++row) {
    std::memmove(to, from, rowBytes);
    from += sourceStride;
    to += targetStride;
  }
}

} // namespace velmo
