#pragma once

#include "engine/graphics/layers.h"
#include "engine/graphics/screen.h"
#include "engine/platform/surface.h"

namespace velmo {

// Recomposes the whole frame: the background colour and the user band into BaseSurface, a copy
// of it and the window band into WindowSurface, then the text band (ComposeTextBand).
void ComposeAll(Screen& screen);

// Recomposes only the text band: a copy of WindowSurface and the text layers into ComposeSurface.
// The message window calls it after drawing text, so typing never redraws the bands below.
void ComposeTextBand(Screen& screen);

// Draws slot `index` onto `surface`; false when the slot is empty. A bitmap layer is drawn with the
// kernel its mask and level select, clipped to the surface (and to its mask); a filter changes the
// surface's pixels in place; a text layer is copied without its key colour.
bool DrawLayer(Screen& screen, TSurface& surface, int index);

// The drawing of one bitmap layer onto a 640 x 480 surface's pixels, clipped: only the part of the
// picture that lies on the surface, and under the mask when there is one, is drawn.
void DrawBitmapLayer(const TBitmapLayer& layer, std::uint8_t* surfacePixels);

} // namespace velmo
