#pragma once

// Pictures made in tests, their BMP files, and the frame a layer table is expected to compose,
// worked out pixel by pixel from the drawing rules (independently of the engine's kernels).
#include "engine/graphics/bmp_decoder.h"
#include "engine/platform/surface.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velmo {

using Pixel = std::array<std::uint8_t, 3>; // B, G, R

// A width x height picture whose pixel (x, y) is colour(x, y).
inline Picture MakePicture(int width, int height, const std::function<Pixel(int x, int y)>& colour) {
  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.resize(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Pixel p = colour(x, y);
      for (int c = 0; c < 3; ++c) picture.pixels[(static_cast<std::size_t>(y) * width + x) * 3 + c] = p[c];
    }
  }
  return picture;
}

inline Pixel PixelOf(const Picture& picture, int x, int y) {
  const std::uint8_t* p = picture.pixels.data() + (static_cast<std::size_t>(y) * picture.width + x) * 3;
  return {p[0], p[1], p[2]};
}

// A 24-bit BMP file of `picture`: bottom row first, rows padded to four bytes.
inline std::string EncodeBmp(const Picture& picture) {
  const std::size_t stride = (static_cast<std::size_t>(picture.width) * 3 + 3) / 4 * 4;
  const std::size_t size = 54 + stride * static_cast<std::size_t>(picture.height);
  std::string s(size, '\0');
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i) & 0xFF);
  };
  s[0] = 'B';
  s[1] = 'M';
  put32(2, static_cast<std::uint32_t>(size));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(picture.width));
  put32(22, static_cast<std::uint32_t>(picture.height));
  s[26] = 1;
  s[28] = 24;
  for (int y = 0; y < picture.height; ++y) {
    const std::size_t row = 54 + stride * static_cast<std::size_t>(picture.height - 1 - y);
    for (int i = 0; i < picture.width * 3; ++i) s[row + i] = static_cast<char>(picture.Row(y)[i]);
  }
  return s;
}

// One channel of a picture pixel s drawn over d, as the drawing rules state it: L the layer's
// level, m the mask's byte (when there is a mask) and `omega` for an inverted mask.
inline std::uint8_t BlendChannel(unsigned s, unsigned d, unsigned level, bool hasMask, unsigned m, bool omega) {
  unsigned w = 0;
  if (hasMask) {
    const unsigned byte = omega ? 255 - m : m;
    w = byte == 255 ? 256 : byte;
  }
  unsigned t = hasMask ? (d * w + s * (256 - w)) >> 8 : s;
  if (level != 0) t = ((256 - level) * t + level * d) >> 8;
  return static_cast<std::uint8_t>(t);
}

// A 640 x 480 frame worked out in the test.
struct ExpectedFrame {
  std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(TSurface::Size);

  Pixel At(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * TSurface::Width + x) * 3;
    return {bytes[i], bytes[i + 1], bytes[i + 2]};
  }
  void Fill(Pixel p) {
    for (std::size_t i = 0; i < bytes.size(); i += 3) std::copy(p.begin(), p.end(), bytes.begin() + i);
  }
  // `picture` drawn with its top-left corner at (left, top): each of its pixels that lands on the
  // frame (and under the mask, when there is one) and is not the key colour.
  void Draw(const Picture& picture, int left, int top, unsigned level = 0, const Picture* mask = nullptr,
            bool omega = false, bool keyed = false) {
    const Pixel key = PixelOf(picture, 0, 0);
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) {
        const long long fx = static_cast<long long>(left) + x, fy = static_cast<long long>(top) + y;
        if (fx < 0 || fy < 0 || fx >= TSurface::Width || fy >= TSurface::Height) continue;
        if (mask != nullptr && (x >= mask->width || y >= mask->height)) continue;
        const Pixel s = PixelOf(picture, x, y);
        if (keyed && s == key) continue;
        const unsigned m = mask != nullptr ? PixelOf(*mask, x, y)[0] : 0;
        std::uint8_t* d = bytes.data() + (static_cast<std::size_t>(fy) * TSurface::Width + fx) * 3;
        for (int c = 0; c < 3; ++c) d[c] = BlendChannel(s[c], d[c], level, mask != nullptr, m, omega);
      }
    }
  }
};

// The first pixel (x, y) where a surface's bytes differ from the expected frame, as text; "" when
// they are equal.
inline std::string FirstDifference(const std::uint8_t* actual, const ExpectedFrame& expected) {
  for (std::size_t i = 0; i < TSurface::Size; ++i) {
    if (actual[i] == expected.bytes[i]) continue;
    const std::size_t pixel = i / 3;
    const std::size_t at = pixel * 3;
    return "pixel (" + std::to_string(pixel % TSurface::Width) + ", " + std::to_string(pixel / TSurface::Width) +
           ") is " + std::to_string(actual[at]) + "," + std::to_string(actual[at + 1]) + "," +
           std::to_string(actual[at + 2]) + ", expected " + std::to_string(expected.bytes[at]) + "," +
           std::to_string(expected.bytes[at + 1]) + "," + std::to_string(expected.bytes[at + 2]);
  }
  return "";
}

} // namespace velmo
