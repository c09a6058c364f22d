#pragma once

#include "engine/platform/surface.h"

#include <memory>

namespace velmo {

// A surface as a plain pixel buffer, for tests and velmo-run. Starts black.
class MemorySurface : public TSurface {
public:
  MemorySurface();

private:
  std::unique_ptr<std::uint8_t[]> pixels;
};

} // namespace velmo
