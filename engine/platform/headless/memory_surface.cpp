#include "engine/platform/headless/memory_surface.h"

namespace velmo {

MemorySurface::MemorySurface() : pixels(new std::uint8_t[Size]()) { bits = pixels.get(); }

} // namespace velmo
