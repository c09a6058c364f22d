#pragma once

#include "engine/platform/surface.h"

#include <string>

namespace velmo {

// The size of a screen capture file: a 14-byte file header, a 40-byte info header and 480 rows of
// 1,920 bytes.
inline constexpr std::size_t CaptureFileSize = 14 + 40 + TSurface::Size;

// A surface as the bytes of a 640 x 480, 24-bit BMP file: uncompressed, bottom row first (the
// surface's last row is the file's first), no resolution and no palette.
std::string EncodeCapture(const TSurface& surface);

} // namespace velmo
