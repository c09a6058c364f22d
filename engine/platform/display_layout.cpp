#include "engine/platform/display_layout.h"

#include <algorithm>
#include <cstdint>
#include <vector>

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

// Where client pixel `at` (counted from the picture's edge) samples a picture axis of
// `pictureSize` pixels shown over `size` client pixels: the lower picture pixel and the weight
// (0 to 256) of the one after it. The pixel's centre maps to the picture; beyond the outer
// pixels' centres the edge pixel is taken alone.
struct Sample {
  int first = 0;
  int second = 0;
  int weight = 0;
};

Sample SampleAt(int at, int size, int pictureSize) {
  // In 1/256 picture pixels: (at + 1/2) * pictureSize / size - 1/2.
  const std::int64_t position = ((2 * std::int64_t{at} + 1) * pictureSize * 256 / size - 256) / 2;
  if (position <= 0) return Sample{0, 0, 0};
  const int first = static_cast<int>(position / 256);
  if (first >= pictureSize - 1) return Sample{pictureSize - 1, pictureSize - 1, 0};
  return Sample{first, first + 1, static_cast<int>(position % 256)};
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

PixelBox ScaledBox(const PictureRect& rect, const PixelBox& box) {
  const PictureRect picture = Usable(rect);
  return PixelBox{picture.left + FloorDiv(std::int64_t{box.left} * picture.width, PictureWidth),
                  picture.top + FloorDiv(std::int64_t{box.top} * picture.height, PictureHeight),
                  picture.left + CeilDiv(std::int64_t{box.right} * picture.width, PictureWidth),
                  picture.top + CeilDiv(std::int64_t{box.bottom} * picture.height, PictureHeight)};
}

PixelBox ClientBoxOf(const PictureRect& rect, const PixelBox& box) {
  const PictureRect picture = Usable(rect);
  PixelBox client = ScaledBox(picture, box);
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

void ScaleSmoothly(const std::uint8_t* source, const PictureRect& rect, const PixelBox& box, std::uint8_t* target,
                   std::size_t targetStride) {
  const PictureRect picture = Usable(rect);
  const int left = std::max(box.left, picture.left);
  const int top = std::max(box.top, picture.top);
  const int right = std::min(box.right, picture.left + picture.width);
  const int bottom = std::min(box.bottom, picture.top + picture.height);
  if (right <= left || bottom <= top) return;
  std::vector<Sample> columns;
  columns.reserve(static_cast<std::size_t>(right - left));
  for (int x = left; x < right; ++x) columns.push_back(SampleAt(x - picture.left, picture.width, PictureWidth));
  constexpr std::size_t Stride = std::size_t{PictureWidth} * 3;
  for (int y = top; y < bottom; ++y) {
    const Sample row = SampleAt(y - picture.top, picture.height, PictureHeight);
    const std::uint8_t* upper = source + static_cast<std::size_t>(row.first) * Stride;
    const std::uint8_t* lower = source + static_cast<std::size_t>(row.second) * Stride;
    std::uint8_t* out =
        target + static_cast<std::size_t>(y - box.top) * targetStride + static_cast<std::size_t>(left - box.left) * 3;
    for (const Sample& column : columns) {
      const std::size_t a = static_cast<std::size_t>(column.first) * 3;
      const std::size_t b = static_cast<std::size_t>(column.second) * 3;
      for (std::size_t c = 0; c < 3; ++c) {
        const int upperMix = upper[a + c] * (256 - column.weight) + upper[b + c] * column.weight;
        const int lowerMix = lower[a + c] * (256 - column.weight) + lower[b + c] * column.weight;
        const int value = (upperMix * (256 - row.weight) + lowerMix * row.weight + 32768) >> 16;
        *out++ = static_cast<std::uint8_t>(value);
      }
    }
  }
}

} // namespace velmo
