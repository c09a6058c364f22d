// Text through GDI: the message font is made from a description, texts are measured in it and
// drawn onto a surface's pixels in a colour without touching the background.
#include "engine/platform/surface.h"
#include "engine/platform/win32/win32_platform.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <string_view>

namespace velmo {
namespace {

class Win32GraphicsTextTest : public ::testing::Test {
protected:
  void SetUp() override {
    surface = graphics.CreateSurface();
    ASSERT_NE(surface, nullptr);
    std::memset(surface->Bits(), 0x20, TSurface::Size);
  }

  FontDescription Font(std::int32_t height, std::string_view face) {
    FontDescription description = graphics.SystemFont();
    description.height = height;
    description.width = 0;
    description.charSet = SHIFTJIS_CHARSET;
    std::memset(description.faceName, 0, sizeof description.faceName);
    std::memcpy(description.faceName, face.data(), face.size());
    return description;
  }

  // Pixels of the rectangle that hold exactly the colour B, G, R, and pixels that are neither it
  // nor the background.
  void CountPixels(int left, int top, int width, int height, const std::uint8_t (&colour)[3], int& painted,
                   int& other) {
    painted = other = 0;
    for (int y = top; y < top + height; ++y) {
      for (int x = left; x < left + width; ++x) {
        const std::uint8_t* p = surface->Bits() + y * TSurface::Stride + x * 3;
        if (std::memcmp(p, colour, 3) == 0) {
          ++painted;
        } else if (p[0] != 0x20 || p[1] != 0x20 || p[2] != 0x20) {
          ++other;
        }
      }
    }
  }

  Win32Graphics graphics;
  std::unique_ptr<TSurface> surface;
};

TEST_F(Win32GraphicsTextTest, TheSystemFontIsTheStockOneUntilAMessageFontIsMade) {
  const FontDescription system = graphics.SystemFont();
  EXPECT_NE(system.faceName[0], '\0');
  EXPECT_NE(system.height, 0);
  const TextSize before = graphics.MeasureText("AB");
  EXPECT_GT(before.cx, 0);
  EXPECT_GT(before.cy, 0);

  graphics.SetMessageFont(Font(40, "ＭＳ ゴシック"));
  const TextSize after = graphics.MeasureText("AB");
  EXPECT_NEAR(after.cy, 40, 2); // a positive height asks for the cell height (as near as the face has)
  EXPECT_GT(after.cx, before.cx);
}

TEST_F(Win32GraphicsTextTest, JapaneseCharactersAreMeasuredAsOneCharacterEach) {
  graphics.SetMessageFont(Font(24, "ＭＳ ゴシック"));
  const TextSize one = graphics.MeasureText("あ");
  const TextSize three = graphics.MeasureText("あいう");
  EXPECT_NEAR(one.cy, 24, 2);
  EXPECT_GT(one.cx, 12);
  EXPECT_EQ(three.cx, 3 * one.cx);
  // A two-byte character is wider than a single-byte one in a Japanese fixed-pitch face.
  EXPECT_GT(one.cx, graphics.MeasureText("a").cx);
}

TEST_F(Win32GraphicsTextTest, PaintTextDrawsInTheColourAndLeavesTheBackground) {
  graphics.SetMessageFont(Font(32, "ＭＳ ゴシック"));
  const TextSize size = graphics.MeasureText("漢字");
  // COLORREF 0x00BBGGRR: red 0x10, green 0xC0, blue 0xF0, with the flag scripts' colours carry.
  graphics.PaintText(*surface, 100, 200, "漢字", 0x02F0C010);
  graphics.Flush();
  const std::uint8_t colour[3] = {0xF0, 0xC0, 0x10};
  int painted = 0, other = 0;
  CountPixels(100, 200, size.cx, size.cy, colour, painted, other);
  EXPECT_GT(painted, 40);
  EXPECT_LT(painted, size.cx * size.cy); // glyphs, not a filled box: the background shows between strokes
  // Outside the text's cell nothing changed.
  int outsidePainted = 0, outsideOther = 0;
  CountPixels(0, 0, 640, 190, colour, outsidePainted, outsideOther);
  EXPECT_EQ(outsidePainted + outsideOther, 0);
  CountPixels(100 + size.cx + 4, 200, 100, size.cy, colour, outsidePainted, outsideOther);
  EXPECT_EQ(outsidePainted + outsideOther, 0);
}

TEST_F(Win32GraphicsTextTest, TextReachingPastTheSurfaceIsClipped) {
  graphics.SetMessageFont(Font(32, "ＭＳ ゴシック"));
  const TextSize size = graphics.MeasureText("漢字漢字");
  const std::uint8_t white[3] = {0xFF, 0xFF, 0xFF};
  int painted = 0, other = 0;

  // Past the bottom-right corner: only the 10 x 10 pixels left on the surface can change.
  graphics.PaintText(*surface, 630, 470, "漢字漢字", 0x00FFFFFF);
  graphics.Flush();
  CountPixels(630, 470, 10, 10, white, painted, other);
  EXPECT_GT(painted, 0);
  int outside = 0;
  CountPixels(0, 0, 640, 470, white, painted, other);
  outside += painted + other;
  CountPixels(0, 470, 630, 10, white, painted, other);
  outside += painted + other;
  EXPECT_EQ(outside, 0);

  // Before the top-left corner: what is drawn lies inside the text's cell less the 20 pixels cut.
  std::memset(surface->Bits(), 0x20, TSurface::Size);
  graphics.PaintText(*surface, -20, -20, "漢字漢字", 0x00FFFFFF);
  graphics.Flush();
  CountPixels(0, 0, size.cx - 20, size.cy - 20, white, painted, other);
  EXPECT_GT(painted, 0);
  CountPixels(0, size.cy - 20, 640, 480 - (size.cy - 20), white, painted, other);
  EXPECT_EQ(painted + other, 0);
}

} // namespace
} // namespace velmo
