#include "engine/graphics/pixels.h"

#include "engine/graphics/blit_kernels.h"

#include <cstddef>
#include <cstring>

namespace velmo {

void CopyPixelRect(ConstPixelView source, std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height,
                   PixelView target, std::int64_t toX, std::int64_t toY, bool keyed) {
  // Clip to the source, then to the target, moving both corners together.
  const std::int64_t shiftX = toX - x;
  const std::int64_t shiftY = toY - y;
  const std::int64_t left = std::max<std::int64_t>({x, 0, -shiftX});
  const std::int64_t top = std::max<std::int64_t>({y, 0, -shiftY});
  const std::int64_t right = std::min<std::int64_t>({x + width, source.width, target.width - shiftX});
  const std::int64_t bottom = std::min<std::int64_t>({y + height, source.height, target.height - shiftY});
  if (left >= right || top >= bottom || width <= 0 || height <= 0) return;
  const std::uint8_t* from = source.At(left, top);
  std::uint8_t* to = target.At(left + shiftX, top + shiftY);
  if (keyed) {
    CopyKeyed(from, source.Stride(), to, target.Stride(), static_cast<int>(right - left),
              static_cast<int>(bottom - top), PixelKey(source.bits));
    return;
  }
  const std::size_t rowBytes = static_cast<std::size_t>(right - left) * 3;
  for (std::int64_t row = top; row < bottom; ++row) {
    std::memmove(to, from, rowBytes);
    from += source.Stride();
    to += target.Stride();
  }
}

} // namespace velmo
