// Rectangle copies in pixels with the rules of BitBlt: negative extents, clipping against the
// destination and the source together, and the three raster operations.
#include "plugins/common/pixel_rect.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace velmo {
namespace {

using plugin::BlitPixels;
using plugin::RasterOp;

// A picture whose pixel (x, y) holds x + 1, y + 1 and a tag in its three bytes (all 0 in the
// destination), so a copied pixel names where it came from.
struct Picture {
  int width, height;
  std::vector<std::uint8_t> bytes;
  Picture(int w, int h, std::uint8_t tag) : width(w), height(h), bytes(static_cast<std::size_t>(w * h * 3)) {
    if (tag == 0) return;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        std::uint8_t* p = &bytes[static_cast<std::size_t>((y * w + x) * 3)];
        p[0] = static_cast<std::uint8_t>(x + 1);
        p[1] = static_cast<std::uint8_t>(y + 1);
        p[2] = tag;
      }
    }
  }
  plugin::PixelView View() { return {bytes.data(), width, height, static_cast<std::ptrdiff_t>(width) * 3}; }
  plugin::ConstPixelView ConstView() const {
    return {bytes.data(), width, height, static_cast<std::ptrdiff_t>(width) * 3};
  }
  const std::uint8_t* At(int x, int y) const { return &bytes[static_cast<std::size_t>((y * width + x) * 3)]; }
};

struct Copied {
  int x, y;             // destination pixel
  int sourceX, sourceY; // the source pixel it holds
};

// Every destination pixel that was written, with the source pixel it came from.
std::vector<Copied> Written(const Picture& dest) {
  std::vector<Copied> written;
  for (int y = 0; y < dest.height; ++y) {
    for (int x = 0; x < dest.width; ++x) {
      const std::uint8_t* p = dest.At(x, y);
      if (p[2] != 0) written.push_back({x, y, p[0] - 1, p[1] - 1});
    }
  }
  return written;
}

TEST(PixelRectTest, CopiesFollowBitBltsRulesForExtentsAndEdges) {
  const struct {
    const char* what;
    std::int64_t x, y, w, h, sx, sy;
    // The destination rectangle written and the source offset (source = destination + offset).
    int left, top, right, bottom, dx, dy;
  } cases[] = {
      {"inside", 2, 3, 4, 2, 5, 1, 2, 3, 6, 5, 3, -2},
      {"negative height covers the rows above, unmirrored", 1, 6, 3, -3, 1, 6, 1, 4, 4, 7, 0, 0},
      {"negative width covers the columns to the left", 6, 1, -3, 2, 8, 1, 4, 1, 7, 3, 2, 0},
      {"clipped at the destination's left and top", -2, -1, 5, 4, 0, 0, 0, 0, 3, 3, 2, 1},
      {"clipped at the destination's right and bottom", 8, 7, 5, 5, 0, 0, 8, 7, 10, 8, -8, -7},
      {"clipped where the source ends", 0, 0, 5, 5, 8, 9, 0, 0, 4, 3, 8, 9},
      {"source before its origin", 3, 3, 4, 4, -2, -1, 5, 4, 7, 7, -5, -4},
      {"negative height from beyond the source's last row", 4, 5, 1, -4, 0, 12, 4, 2, 5, 5, -4, 7},
  };
  for (const auto& c : cases) {
    Picture dest(10, 8, 0);
    const Picture source(12, 12, 9);
    BlitPixels(dest.View(), c.x, c.y, c.w, c.h, source.ConstView(), c.sx, c.sy, RasterOp::Copy);
    std::vector<Copied> expected;
    for (int y = c.top; y < c.bottom; ++y) {
      for (int x = c.left; x < c.right; ++x) expected.push_back({x, y, x + c.dx, y + c.dy});
    }
    const std::vector<Copied> written = Written(dest);
    ASSERT_EQ(written.size(), expected.size()) << c.what;
    for (std::size_t i = 0; i < written.size(); ++i) {
      EXPECT_EQ(written[i].x, expected[i].x) << c.what;
      EXPECT_EQ(written[i].y, expected[i].y) << c.what;
      EXPECT_EQ(written[i].sourceX, expected[i].sourceX) << c.what;
      EXPECT_EQ(written[i].sourceY, expected[i].sourceY) << c.what;
    }
  }
}

TEST(PixelRectTest, ExtremeRectanglesWriteOnlyWhatLiesOnBothPictures) {
  const struct {
    std::int64_t x, y, w, h;
    std::size_t written;
  } cases[] = {
      {0, 0, INT_MAX, INT_MAX, 10 * 8}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0},   {9, 7, INT_MIN, INT_MIN, 10 * 8},
      {LLONG_MAX / 4, 0, 5, 5, 0},      {0, 0, -LLONG_MAX / 4, -LLONG_MAX / 4, 1}, {0, 0, 0, 5, 0},
  };
  for (const auto& c : cases) {
    Picture dest(10, 8, 0);
    const Picture source(12, 12, 9);
    BlitPixels(dest.View(), c.x, c.y, c.w, c.h, source.ConstView(), c.x, c.y, RasterOp::Copy);
    EXPECT_EQ(Written(dest).size(), c.written) << c.x << "," << c.y << " " << c.w << "x" << c.h;
  }
}

TEST(PixelRectTest, AndAndOrCombineTheBytes) {
  Picture dest(2, 1, 0);
  dest.bytes = {0xF0, 0x0F, 0xAA, 0x12, 0x34, 0x56};
  Picture source(2, 1, 0);
  source.bytes = {0x3C, 0x3C, 0x0F, 0xFF, 0x00, 0x80};
  BlitPixels(dest.View(), 0, 0, 1, 1, source.ConstView(), 0, 0, RasterOp::And);
  BlitPixels(dest.View(), 1, 0, 1, 1, source.ConstView(), 1, 0, RasterOp::Or);
  EXPECT_EQ(dest.bytes, (std::vector<std::uint8_t>{0x30, 0x0C, 0x0A, 0xFF, 0x34, 0xD6}));
}

} // namespace
} // namespace velmo
