#pragma once

#include <cstddef>
#include <cstdint>

namespace velmo {

// Where the engine's 640 x 480 picture stands in the window, and how the window's client
// coordinates and the picture's coordinates map onto each other. The engine works in picture
// coordinates only; the window scales the picture when it paints and maps the mouse back.

inline constexpr int PictureWidth = 640;
inline constexpr int PictureHeight = 480;

// The largest window scale the menus offer (x1, x2, x3).
inline constexpr int MaxWindowScale = 3;

// A rectangle [left, right) x [top, bottom), in client or picture pixels.
struct PixelBox {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const PixelBox&) const = default;
};

// The client rectangle the picture is stretched onto; outside it the window shows black.
struct PictureRect {
  int left = 0;
  int top = 0;
  int width = PictureWidth;
  int height = PictureHeight;
  bool operator==(const PictureRect&) const = default;
};

struct PixelPoint {
  int x = 0;
  int y = 0;
  bool operator==(const PixelPoint&) const = default;
};

// The picture of a window at scale `scale` (1 to MaxWindowScale): the whole client area.
PictureRect WindowPicture(int scale);

// The largest scale, at most `wanted` and at least 1, at which a window whose frame (caption,
// borders, menu bar) takes `frameWidth` x `frameHeight` pixels fits a work area of `workWidth` x
// `workHeight`. A wanted scale outside 1 to MaxWindowScale counts as 1.
int FittingWindowScale(int wanted, int frameWidth, int frameHeight, int workWidth, int workHeight);

// The picture on a full screen of `screenWidth` x `screenHeight`: scaled by the largest whole
// factor that fits and centred (black bars around it), or, with `smooth`, as large as fits with
// the picture's proportions. A screen smaller than the picture shrinks it to fit either way.
PictureRect FullScreenPicture(int screenWidth, int screenHeight, bool smooth);

// Whether the picture is shown at a whole multiple of its size, the same in both directions:
// then every picture pixel is a square block of client pixels and painting never blends them.
bool IsWholeMultiple(const PictureRect& picture);

// The picture pixel that client pixel (x, y) shows; a point on the black bars maps outside
// 0..639 x 0..479.
PixelPoint ClientToPicture(const PictureRect& picture, int x, int y);

// A client pixel that shows picture pixel (x, y): the middle of its block, so that mapping it back
// gives (x, y) again whenever the picture is not shrunk.
PixelPoint PictureToClient(const PictureRect& picture, int x, int y);

// The client pixels over which the picture pixels of `box` are stretched (where a child window over
// the picture, a movie's, stands).
PixelBox ScaledBox(const PictureRect& picture, const PixelBox& box);

// The client pixels that show the picture pixels of `box` (to be painted again): ScaledBox, and a
// smoothed picture's blending into the neighbours.
PixelBox ClientBoxOf(const PictureRect& picture, const PixelBox& box);

// The picture pixels shown in the client pixels of `box`, cut to the picture (empty when `box`
// lies on the bars only).
PixelBox PictureBoxUnder(const PictureRect& picture, const PixelBox& box);

// Smooth scaling for a picture not shown at a whole multiple: the client pixels of `box` (cut to
// the picture) computed from the 640 x 480 picture `source` (rows of 640 B, G, R pixels), each from
// the four picture pixels around the point it shows, weighted by distance. Written as B, G, R rows
// of `targetStride` bytes, the box's top-left pixel first. Every client pixel comes out the same
// whichever box it is painted in, so a part painted again never shows a seam.
void ScaleSmoothly(const std::uint8_t* source, const PictureRect& picture, const PixelBox& box, std::uint8_t* target,
                   std::size_t targetStride);

} // namespace velmo
