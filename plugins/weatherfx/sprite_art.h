#pragma once

// The artwork of the particle plug-in: five sprite sheets drawn here from integer formulas, so
// that every build draws the same bytes. The build of the DLL writes them as BMP files for its
// bitmap resources; the native build draws them when a transition is set up.
//
//   1001 petals, 1002 leaves: 48 x 128, 8 bits a pixel. Large sprites (16 x 16): picture at
//        x 0-15, AND mask at x 16-31, variant v at y = 16 v; small sprites (8 x 8): picture at
//        x 32-39, mask at x 40-47, variant v at y = 8 v (v = 0-7).
//   107  firefly glow: 64 x 16, 8 bits a pixel; the glow for speed s (1-3) at x = 16 s.
//   1000 snow: 8 x 8, 4 bits a pixel; a flake of 7 x 7 at (0, 0), whose top-left part from
//        (0, 1) also serves as the 5 x 5 and 3 x 3 flakes.
//   108  rain: 2 x 100, 8 bits a pixel; the streak in column 0, its mask in column 1, drawn
//        upward from the bottom.
// Masks are white around a sprite and black under it; pictures are black around it, so that
// ANDing the mask and then ORing the picture draws the sprite alone. Glow and snow are only ORed.
#include <cstdint>
#include <vector>

namespace velmo::weatherfx {

inline constexpr int PetalSheet = 1001;
inline constexpr int LeafSheet = 1002;
inline constexpr int GlowSheet = 107;
inline constexpr int SnowSheet = 1000;
inline constexpr int RainSheet = 108;
inline constexpr int SheetIds[] = {PetalSheet, LeafSheet, GlowSheet, SnowSheet, RainSheet};

// A sheet as a packed DIB (BITMAPINFOHEADER, palette, rows from the bottom up padded to 4 bytes):
// the bytes of the DLL's bitmap resource. Empty for any other number.
std::vector<std::uint8_t> DrawSpriteSheet(int resourceId);

// The BMP file of a packed DIB: the 14-byte file header, then the DIB.
std::vector<std::uint8_t> BmpFileOf(const std::vector<std::uint8_t>& dib);

// The file name the build gives sheet `resourceId` ("petals.bmp", ...); null for none.
const char* SheetFileName(int resourceId);

} // namespace velmo::weatherfx
