#include "engine/platform/display_layout.h"

#include <algorithm>
#include <cstdint>

namespace velmo {

namespace {

// Divisions rounding toward minus and plus infinity (the divisor is positive): points left of or
// above the picture map to negative picture pixels, not to pixel 0.
int FloorDiv(std::int64_t value, std::int64_t divisor) {
  std::int64_t quotient = value / divisor;
  if (value % divisor != 0 && value < 0) --quotient;
  return static_cast<int>(quotient);
}

int CeilDiv(std::int64_t value, std::int64_t divisor) { return -FloorDiv(-value, divisor); }

// A picture rectangle of no size (a window not laid out yet) maps as the picture itself.
PictureRect Usable(const PictureRect& picture) {
  if (picture.width > 0 && picture.height > 0) return picture;
  return PictureRect{picture.left, picture.top, PictureWidth, PictureHeight};
}

} // namespace

PictureRect WindowPicture(int scale) {
  const int k = scale >= 1 && scale <= MaxWindowScale ? scale : 1;
  return PictureRect{0, 0, PictureWidth * k, PictureHeight * k};
}

int FittingWindowScale(int wanted, int frameWidth, int frameHeight, int workWidth, int workHeight) {
  int scale = wanted >= 1 && wanted <= MaxWindowScale ? wanted : 1;
  while (scale > 1 &&
         (PictureWidth * scale + frameWidth > workWidth || PictureHeight * scale + frameHeight > workHeight))
    --scale;
  return scale;
}

PictureRect FullScreenPicture(int screenWidth, int screenHeight, bool smooth) {
  if (screenWidth <= 0 || screenHeight <= 0) return PictureRect{};
  const int whole = std::min(screenWidth / PictureWidth, screenHeight / PictureHeight);
  int width = 0;
  int height = 0;
  if (!smooth && whole >= 1) {
    width = PictureWidth * whole;
    height = PictureHeight * whole;
  } else if (std::int64_t{screenWidth} * PictureHeight <= std::int64_t{screenHeight} * PictureWidth) {
    // The screen is narrower than the picture's 4:3: the picture takes its width.
    width = screenWidth;
    height = static_cast<int>(std::int64_t{screenWidth} * PictureHeight / PictureWidth);
  } else {
    height = screenHeight;
    width = static_cast<int>(std::int64_t{screenHeight} * PictureWidth / PictureHeight);
  }
  return PictureRect{(screenWidth - width) / 2, (screenHeight - height) / 2, width, height};
}

bool IsWholeMultiple(const PictureRect& picture) {
  return picture.width > 0 && picture.width % PictureWidth == 0 && picture.height % PictureHeight == 0 &&
         picture.width / PictureWidth == picture.height / PictureHeight;
}

PixelPoint ClientToPicture(const PictureRect& rect, int x, int y) {
  const PictureRect picture = Usable(rect);
  return PixelPoint{FloorDiv((std::int64_t{x} - picture.left) * PictureWidth, picture.width),
                    FloorDiv((std::int64_t{y} - picture.top) * PictureHeight, picture.height)};
}

PixelPoint PictureToClient(const PictureRect& rect, int x, int y) {
  const PictureRect picture = Usable(rect);
  // The client pixels [first, last] show picture pixel `at`; their middle is taken.
  const auto middle = [](int at, int size, int pictureSize) {
    const int first = CeilDiv(std::int64_t{at} * size, pictureSize);
    const int last = std::max(first, CeilDiv((std::int64_t{at} + 1) * size, pictureSize) - 1);
    return first + (last - first) / 2;
  };
  return PixelPoint{picture.left + middle(x, picture.width, PictureWidth),
                    picture.top + middle(y, picture.height, PictureHeight)};
}

PixelBox ClientBoxOf(const PictureRect& rect, const PixelBox& box) {
  const PictureRect picture = Usable(rect);
  PixelBox client{picture.left + FloorDiv(std::int64_t{box.left} * picture.width, PictureWidth),
                  picture.top + FloorDiv(std::int64_t{box.top} * picture.height, PictureHeight),
                  picture.left + CeilDiv(std::int64_t{box.right} * picture.width, PictureWidth),
                  picture.top + CeilDiv(std::int64_t{box.bottom} * picture.height, PictureHeight)};
  if (!IsWholeMultiple(picture)) {
    // A smoothed picture blends each pixel into its neighbours' blocks as well.
    const int marginX = CeilDiv(picture.width, PictureWidth);
    const int marginY = CeilDiv(picture.height, PictureHeight);
    client = PixelBox{client.left - marginX, client.top - marginY, client.right + marginX, client.bottom + marginY};
  }
  return client;
}

PixelBox PictureBoxUnder(const PictureRect& rect, const PixelBox& box) {
  const PictureRect picture = Usable(rect);
  const auto cut = [](int value, int limit) { return std::clamp(value, 0, limit); };
  PixelBox under{cut(FloorDiv((std::int64_t{box.left} - picture.left) * PictureWidth, picture.width), PictureWidth),
                 cut(FloorDiv((std::int64_t{box.top} - picture.top) * PictureHeight, picture.height), PictureHeight),
                 cut(CeilDiv((std::int64_t{box.right} - picture.left) * PictureWidth, picture.width), PictureWidth),
                 cut(CeilDiv((std::int64_t{box.bottom} - picture.top) * PictureHeight, picture.height), PictureHeight)};
  if (under.right <= under.left || under.bottom <= under.top) return PixelBox{};
  return under;
}

} // namespace velmo
