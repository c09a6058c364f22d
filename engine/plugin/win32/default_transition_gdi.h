#pragma once

#include "engine/platform/surface.h"

#include <cstdint>

namespace velmo {

// The built-in transition drawn by GDI between two DIB-section surfaces: frame `counter` (0..6)
// copies the pixels of `to` that the frame's 8 x 8 pattern selects onto `screen`, through the
// surfaces' DCs, with the same result as DefaultTransition. Returns non-zero while more frames
// follow; any other counter draws nothing and returns 0. GDI may still be drawing when it
// returns: call GdiFlush before reading the screen's pixels.
int DefaultTransitionGdi(std::int64_t counter, const TSurface& to, TSurface& screen);

} // namespace velmo
