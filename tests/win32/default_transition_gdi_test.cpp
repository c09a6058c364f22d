#include "engine/plugin/win32/default_transition_gdi.h"

#include "engine/platform/win32/win32_platform.h"
#include "engine/plugin/effect_host.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <random>

namespace velmo {
namespace {

class DefaultTransitionGdiTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (auto* surface : {&to, &portable, &drawn}) {
      *surface = graphics.CreateSurface();
      ASSERT_NE(*surface, nullptr);
    }
  }

  void FillRandom(TSurface& surface) {
    for (std::size_t i = 0; i < TSurface::Size; ++i) surface.Bits()[i] = static_cast<std::uint8_t>(random());
  }

  // Both screens start from the same old picture.
  void StartScreens() {
    FillRandom(*portable);
    std::memcpy(drawn->Bits(), portable->Bits(), TSurface::Size);
  }

  Win32Graphics graphics;
  std::mt19937 random{20261208};
  std::unique_ptr<TSurface> to, portable, drawn;
};

TEST_F(DefaultTransitionGdiTest, EveryFrameMatchesThePortableTransitionPixelForPixel) {
  for (int n = 0; n < 7; ++n) {
    FillRandom(*to);
    StartScreens();
    EXPECT_EQ(DefaultTransitionGdi(n, *to, *drawn), DefaultTransition(n, *to, *portable)) << "frame " << n;
    GdiFlush();
    EXPECT_EQ(std::memcmp(drawn->Bits(), portable->Bits(), TSurface::Size), 0) << "frame " << n;
  }
}

TEST_F(DefaultTransitionGdiTest, FramesAccumulateAsThePortableOnesDo) {
  FillRandom(*to);
  StartScreens();
  for (int n = 0; n < 7; ++n) {
    DefaultTransitionGdi(n, *to, *drawn);
    DefaultTransition(n, *to, *portable);
  }
  GdiFlush();
  EXPECT_EQ(std::memcmp(drawn->Bits(), portable->Bits(), TSurface::Size), 0);
}

TEST_F(DefaultTransitionGdiTest, PatternBitsOfOneShowTheNewPicture) {
  std::memset(to->Bits(), 0xFF, TSurface::Size);
  std::memset(drawn->Bits(), 0x00, TSurface::Size);
  EXPECT_EQ(DefaultTransitionGdi(0, *to, *drawn), 1); // row 0 is 0x11: columns 3 and 7
  GdiFlush();
  for (int x = 0; x < 8; ++x) EXPECT_EQ(drawn->Bits()[x * 3] == 0xFF, x == 3 || x == 7) << "column " << x;
}

TEST_F(DefaultTransitionGdiTest, CountersOutsideTheFramesDrawNothing) {
  FillRandom(*to);
  StartScreens();
  for (std::int64_t n : {-1, 7, 65535, 65536}) EXPECT_EQ(DefaultTransitionGdi(n, *to, *drawn), 0) << n;
  GdiFlush();
  EXPECT_EQ(std::memcmp(drawn->Bits(), portable->Bits(), TSurface::Size), 0);
}

TEST_F(DefaultTransitionGdiTest, TheScreenKeepsItsColoursAndBrush) {
  HDC dc = static_cast<HDC>(drawn->Dc());
  SetTextColor(dc, RGB(1, 2, 3));
  SetBkColor(dc, RGB(4, 5, 6));
  HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
  DefaultTransitionGdi(3, *to, *drawn);
  EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
  EXPECT_EQ(GetBkColor(dc), RGB(4, 5, 6));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
}

} // namespace
} // namespace velmo
