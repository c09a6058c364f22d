// Where the picture stands in a window or on a full screen, and how clicks, the cursor and the
// repainted areas map between the client area and the 640 x 480 picture, for every scale.
#include "engine/platform/display_layout.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmo {
namespace {

std::string Describe(const PictureRect& r) {
  return std::to_string(r.width) + "x" + std::to_string(r.height) + "+" + std::to_string(r.left) + "+" +
         std::to_string(r.top);
}

TEST(DisplayLayoutTest, FullScreenPictureByScreenAndScaling) {
  struct Case {
    int width;
    int height;
    bool smooth;
    PictureRect expected;
  };
  const Case cases[] = {
      {640, 480, false, {0, 0, 640, 480}},
      {640, 480, true, {0, 0, 640, 480}},
      {800, 600, false, {80, 60, 640, 480}},
      {800, 600, true, {0, 0, 800, 600}},
      {1024, 768, false, {192, 144, 640, 480}},
      {1024, 768, true, {0, 0, 1024, 768}},
      {1280, 960, false, {0, 0, 1280, 960}},
      {1280, 960, true, {0, 0, 1280, 960}},
      {1280, 1024, false, {0, 32, 1280, 960}},
      {1280, 1024, true, {0, 32, 1280, 960}},
      {1366, 768, false, {363, 144, 640, 480}},
      {1366, 768, true, {171, 0, 1024, 768}},
      {1920, 1080, false, {320, 60, 1280, 960}},
      {1920, 1080, true, {240, 0, 1440, 1080}},
      {2560, 1440, false, {320, 0, 1920, 1440}},
      {3840, 2160, false, {640, 120, 2560, 1920}},
      {3440, 1440, false, {760, 0, 1920, 1440}},
      {1080, 1920, false, {220, 720, 640, 480}},
      {1080, 1920, true, {0, 555, 1080, 810}},
      // Smaller than the picture: shrunk to fit whatever the setting.
      {320, 240, false, {0, 0, 320, 240}},
      {600, 480, false, {0, 15, 600, 450}},
      {0, 0, false, {0, 0, 640, 480}},
  };
  for (const Case& c : cases) {
    const PictureRect got = FullScreenPicture(c.width, c.height, c.smooth);
    EXPECT_EQ(got, c.expected) << c.width << "x" << c.height << (c.smooth ? " smooth: " : " sharp: ") << Describe(got);
  }
}

TEST(DisplayLayoutTest, WindowScalesAndWhatFitsTheWorkArea) {
  EXPECT_EQ(WindowPicture(2), (PictureRect{0, 0, 1280, 960}));
  EXPECT_EQ(WindowPicture(3), (PictureRect{0, 0, 1920, 1440}));
  EXPECT_EQ(WindowPicture(9), (PictureRect{0, 0, 640, 480}));
  struct Case {
    int wanted;
    int workWidth;
    int workHeight;
    int expected;
  };
  // A frame of 6 x 45 pixels (borders, caption and menu bar).
  const Case cases[] = {
      {1, 1024, 738, 1},  {2, 1024, 738, 1},  {2, 1920, 1040, 2}, {3, 1920, 1040, 2},
      {3, 2560, 1400, 2}, {3, 2560, 1485, 3}, {3, 1926, 1484, 2}, {2, 1286, 1005, 2},
      {2, 1285, 1005, 1}, {0, 3840, 2100, 1}, {4, 3840, 2100, 1}, {1, 300, 200, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FittingWindowScale(c.wanted, 6, 45, c.workWidth, c.workHeight), c.expected)
        << "x" << c.wanted << " on " << c.workWidth << "x" << c.workHeight;
  }
}

// Every layout the window can take that does not shrink the picture.
std::vector<PictureRect> Layouts() {
  std::vector<PictureRect> layouts = {WindowPicture(1), WindowPicture(2), WindowPicture(3)};
  const int screens[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 960}, {1366, 768}, {1920, 1080}, {3840, 2160}};
  for (const auto& screen : screens) {
    for (const bool smooth : {false, true}) layouts.push_back(FullScreenPicture(screen[0], screen[1], smooth));
  }
  return layouts;
}

TEST(DisplayLayoutTest, EveryPicturePixelMapsToTheClientAndBack) {
  for (const PictureRect& layout : Layouts()) {
    for (int x = 0; x < PictureWidth; ++x) {
      for (int y = 0; y < PictureHeight; y += x % 7 == 0 ? 1 : 53) {
        const PixelPoint client = PictureToClient(layout, x, y);
        ASSERT_GE(client.x, layout.left) << Describe(layout);
        ASSERT_LT(client.x, layout.left + layout.width) << Describe(layout);
        ASSERT_GE(client.y, layout.top) << Describe(layout);
        ASSERT_LT(client.y, layout.top + layout.height) << Describe(layout);
        ASSERT_EQ(ClientToPicture(layout, client.x, client.y), (PixelPoint{x, y}))
            << Describe(layout) << " at " << x << "," << y;
      }
    }
  }
}

TEST(DisplayLayoutTest, ClientPixelsMapInOrderAndTheBarsLieOutsideThePicture) {
  for (const PictureRect& layout : Layouts()) {
    int previous = -1;
    for (int cx = layout.left; cx < layout.left + layout.width; ++cx) {
      const int x = ClientToPicture(layout, cx, layout.top).x;
      ASSERT_TRUE(x == previous || x == previous + 1) << Describe(layout) << " column " << cx;
      previous = x;
    }
    EXPECT_EQ(previous, PictureWidth - 1) << Describe(layout);
    EXPECT_EQ(ClientToPicture(layout, layout.left - 1, layout.top - 1).x, -1) << Describe(layout);
    EXPECT_EQ(ClientToPicture(layout, layout.left - 1, layout.top - 1).y, -1) << Describe(layout);
    EXPECT_GE(ClientToPicture(layout, layout.left + layout.width, 0).x, PictureWidth) << Describe(layout);
    EXPECT_GE(ClientToPicture(layout, 0, layout.top + layout.height).y, PictureHeight) << Describe(layout);
  }
  // An option at picture (70, 336) on a 1280 x 960 full screen, and on a 1024 x 768 one.
  EXPECT_EQ(ClientToPicture(FullScreenPicture(1280, 960, false), 141, 673), (PixelPoint{70, 336}));
  EXPECT_EQ(PictureToClient(FullScreenPicture(1280, 960, false), 70, 336), (PixelPoint{140, 672}));
  EXPECT_EQ(ClientToPicture(FullScreenPicture(1024, 768, false), 262, 480), (PixelPoint{70, 336}));
  EXPECT_EQ(PictureToClient(WindowPicture(3), 70, 336), (PixelPoint{211, 1009}));
}

TEST(DisplayLayoutTest, RepaintedAreasCoverWhatTheyShow) {
  const PixelBox boxes[] = {{0, 0, 640, 480}, {40, 300, 75, 331}, {639, 479, 640, 480}, {1, 2, 3, 4}};
  for (const PictureRect& layout : Layouts()) {
    for (const PixelBox& box : boxes) {
      const PixelBox client = ClientBoxOf(layout, box);
      // The client box holds every pixel that shows a picture pixel of the box.
      const PixelPoint first = PictureToClient(layout, box.left, box.top);
      const PixelPoint last = PictureToClient(layout, box.right - 1, box.bottom - 1);
      EXPECT_LE(client.left, first.x) << Describe(layout);
      EXPECT_LE(client.top, first.y) << Describe(layout);
      EXPECT_GT(client.right, last.x) << Describe(layout);
      EXPECT_GT(client.bottom, last.y) << Describe(layout);
      // Painting it takes the box's pixels again, exactly where the picture is whole blocks.
      const PixelBox under = PictureBoxUnder(layout, client);
      if (IsWholeMultiple(layout)) {
        EXPECT_EQ(under, box) << Describe(layout);
        EXPECT_EQ(client.right - client.left, (box.right - box.left) * (layout.width / PictureWidth));
      } else {
        EXPECT_TRUE(under.left <= box.left && under.top <= box.top && under.right >= box.right &&
                    under.bottom >= box.bottom)
            << Describe(layout);
      }
    }
    // The bars (and whatever lies left of the picture) show no picture pixel.
    EXPECT_EQ(PictureBoxUnder(layout, {layout.left - 10, 0, layout.left, 100}), PixelBox{}) << Describe(layout);
  }
  // A movie's window over the picture stands where its pixels are shown.
  EXPECT_EQ(ScaledBox(WindowPicture(2), {40, 300, 600, 450}), (PixelBox{80, 600, 1200, 900}));
  EXPECT_EQ(ScaledBox(FullScreenPicture(1024, 768, false), {0, 0, 320, 240}), (PixelBox{192, 144, 512, 384}));
  EXPECT_EQ(ScaledBox(FullScreenPicture(1024, 768, true), {0, 0, 320, 240}), (PixelBox{0, 0, 512, 384}));
  EXPECT_TRUE(IsWholeMultiple(WindowPicture(3)));
  EXPECT_FALSE(IsWholeMultiple(FullScreenPicture(1920, 1080, true)));
  EXPECT_FALSE(IsWholeMultiple(PictureRect{0, 0, 1280, 480}));
}

// A picture of 640 x 480 B, G, R pixels, from a pixel's colour rule.
template <typename Rule> std::vector<std::uint8_t> MakePicture(Rule rule) {
  std::vector<std::uint8_t> pixels(std::size_t{PictureWidth} * PictureHeight * 3);
  for (int y = 0; y < PictureHeight; ++y) {
    for (int x = 0; x < PictureWidth; ++x) {
      for (int c = 0; c < 3; ++c) {
        pixels[(static_cast<std::size_t>(y) * PictureWidth + static_cast<std::size_t>(x)) * 3 +
               static_cast<std::size_t>(c)] = rule(x, y, c);
      }
    }
  }
  return pixels;
}

// The client pixels of `box` smoothed, as rows of box-width pixels (what is off the picture 0x11).
std::vector<std::uint8_t> Smoothed(const std::vector<std::uint8_t>& source, const PictureRect& picture,
                                   const PixelBox& box) {
  const std::size_t stride = static_cast<std::size_t>(box.right - box.left) * 3;
  std::vector<std::uint8_t> out(stride * static_cast<std::size_t>(box.bottom - box.top), 0x11);
  ScaleSmoothly(source.data(), picture, box, out.data(), stride);
  return out;
}

TEST(DisplayLayoutTest, SmoothScalingIsTheSameInEveryPaintedPartAndKeepsFlatColoursAndCorners) {
  const auto pattern =
      MakePicture([](int x, int y, int c) { return static_cast<std::uint8_t>(x * 7 + y * 13 + c * 50); });
  const auto flat = MakePicture([](int, int, int c) { return static_cast<std::uint8_t>(40 + c * 90); });
  const PictureRect layouts[] = {FullScreenPicture(1024, 768, true), FullScreenPicture(1920, 1080, true),
                                 FullScreenPicture(600, 480, false), FullScreenPicture(1366, 768, true)};
  for (const PictureRect& layout : layouts) {
    const PixelBox whole{layout.left, layout.top, layout.left + layout.width, layout.top + layout.height};
    const auto all = Smoothed(pattern, layout, whole);
    const std::size_t stride = static_cast<std::size_t>(layout.width) * 3;
    // A part painted again (one reaching over the bars as well) equals the whole picture there.
    for (const PixelBox& part : {PixelBox{whole.left + 101, whole.top + 57, whole.left + 190, whole.top + 90},
                                 PixelBox{whole.left - 5, whole.top - 3, whole.left + 7, whole.top + 4},
                                 PixelBox{whole.right - 9, whole.bottom - 2, whole.right + 3, whole.bottom + 8}}) {
      const auto got = Smoothed(pattern, layout, part);
      const std::size_t partStride = static_cast<std::size_t>(part.right - part.left) * 3;
      for (int y = part.top; y < part.bottom; ++y) {
        for (int x = part.left; x < part.right; ++x) {
          const std::size_t at =
              static_cast<std::size_t>(y - part.top) * partStride + static_cast<std::size_t>(x - part.left) * 3;
          const bool inside = x >= whole.left && x < whole.right && y >= whole.top && y < whole.bottom;
          const std::uint8_t expected =
              inside
                  ? all[static_cast<std::size_t>(y - whole.top) * stride + static_cast<std::size_t>(x - whole.left) * 3]
                  : std::uint8_t{0x11};
          ASSERT_EQ(got[at], expected) << Describe(layout) << " at " << x << "," << y;
        }
      }
    }
    // Enlarged, the corners show the picture's corner pixels; a flat picture stays flat.
    if (layout.width > PictureWidth) {
      EXPECT_EQ(all[0], pattern[0]) << Describe(layout);
      EXPECT_EQ(all[all.size() - 1], pattern[pattern.size() - 1]) << Describe(layout);
    }
    const auto even = Smoothed(flat, layout, whole);
    for (std::size_t i = 0; i < even.size(); i += 3) {
      ASSERT_TRUE(even[i] == 40 && even[i + 1] == 130 && even[i + 2] == 220) << Describe(layout) << " byte " << i;
    }
  }
  // A dark left half and a light right half: the edge between them is blended over a few pixels,
  // never out of order.
  const auto halves = MakePicture([](int x, int, int) { return static_cast<std::uint8_t>(x < 320 ? 0 : 255); });
  const PictureRect wide = FullScreenPicture(1024, 768, true);
  const auto row = Smoothed(halves, wide, {0, 100, 1024, 101});
  int blended = 0;
  for (std::size_t i = 3; i < row.size(); i += 3) {
    ASSERT_GE(row[i], row[i - 3]) << i / 3;
    if (row[i] != 0 && row[i] != 255) ++blended;
  }
  EXPECT_TRUE(blended >= 1 && blended <= 2) << blended;
}

} // namespace
} // namespace velmo
