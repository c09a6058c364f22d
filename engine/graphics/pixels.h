#pragma once

#include "engine/base/pixel.h"

#include <cstdint>

namespace velmo {

// Copies the rectangle (x, y, width, height) of `source` to (toX, toY) of `target`: only the part
// that lies inside both is copied; nothing for an empty or negative size. With `keyed`, source
// pixels of the source's first pixel's colour are left out. The two may be the same buffer only
// when the rectangle stays in place.
void CopyPixelRect(ConstPixelView source, std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height,
                   PixelView target, std::int64_t toX, std::int64_t toY, bool keyed = false);

} // namespace velmo
