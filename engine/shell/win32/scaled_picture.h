#pragma once

#include "engine/platform/display_layout.h"
#include "engine/platform/surface.h"

#include <windows.h>

namespace velmo {

// Paints the part `update` of a client area of `clientWidth` x `clientHeight`: the picture of
// `shown` (none: black) stretched onto `picture` (pixel blocks at a whole multiple, smoothed
// otherwise), and black around it.
void PaintScaledPicture(HDC target, const RECT& update, int clientWidth, int clientHeight, const PictureRect& picture,
                        const TSurface* shown);

// The screen rectangle of the monitor the window is on (the nearest one, when it is on none).
RECT MonitorOf(HWND window);

} // namespace velmo
