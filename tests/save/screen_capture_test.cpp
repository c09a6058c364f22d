// Screen captures: the BMP file of a known surface, which surface is shown, a capture that cannot
// be written in full, and the automatic names.
#include "engine/save/screen_capture.h"

#include "engine/graphics/screen.h"
#include "engine/platform/headless/headless_platform.h"

#include <gtest/gtest.h>

#include <string>

namespace velmo {
namespace {

class ScreenCaptureTest : public ::testing::Test {
protected:
  ScreenCaptureTest() {
    // Each row of the screen holds its number in every byte; the base surface is all 0xEE.
    for (int row = 0; row < TSurface::Height; ++row) {
      std::uint8_t* p = screen.screenSurface->Bits() + static_cast<std::size_t>(row) * TSurface::Stride;
      for (std::size_t i = 0; i < TSurface::Stride; ++i) p[i] = static_cast<std::uint8_t>(row + i % 3);
    }
    std::fill_n(screen.baseSurface->Bits(), TSurface::Size, 0xEE);
  }

  HeadlessGraphics graphics;
  Screen screen{graphics};
  MemoryFileSystem files;
  HeadlessClock clock;
};

TEST_F(ScreenCaptureTest, TheFileIsABottomUpBitmapOfTheShownSurface) {
  ASSERT_TRUE(WriteCapture(files, graphics, *screen.screenSurface, "shot.bmp"));
  const std::string& file = files.files["shot.bmp"];
  ASSERT_EQ(file.size(), 921654u);
  const unsigned char header[54] = {'B',  'M', 0x36, 0x10, 0x0E, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                    0x80, 2,   0,    0,    0xE0, 1, 0, 0, 1, 0, 24, 0, 0, 0, 0,  0, 0, 0};
  EXPECT_EQ(file.substr(0, 54), std::string(reinterpret_cast<const char*>(header), 54));
  // The file's first row is the screen's last; its last row is the screen's first.
  EXPECT_EQ(static_cast<unsigned char>(file[54]), 479 % 256);
  EXPECT_EQ(static_cast<unsigned char>(file[54 + 1]), (479 + 1) % 256);
  EXPECT_EQ(static_cast<unsigned char>(file[54 + 479 * TSurface::Stride]), 0);
  EXPECT_EQ(static_cast<unsigned char>(file[54 + 478 * TSurface::Stride + 2]), 1 + 2);
}

TEST_F(ScreenCaptureTest, WhileTheMessageWindowIsHiddenTheBaseSurfaceIsCaptured) {
  ASSERT_TRUE(WriteCapture(files, graphics, *ShownSurface(screen, RunState::MessageHidden), "hidden.bmp"));
  EXPECT_EQ(files.files["hidden.bmp"].substr(54), std::string(TSurface::Size, '\xEE'));
  EXPECT_EQ(ShownSurface(screen, RunState::ClickWait), screen.screenSurface.get());
}

TEST_F(ScreenCaptureTest, ACaptureThatCannotBeWrittenInFullLeavesNoShortFile) {
  files.faults.failAfterBytes = 54;
  EXPECT_FALSE(WriteCapture(files, graphics, *screen.screenSurface, "shot.bmp"));
  EXPECT_TRUE(files.files.empty());
}

TEST_F(ScreenCaptureTest, AutomaticNamesComeFromTheClockAndNeverOverwrite) {
  clock.localTime = LocalTime{2024, 3, 9, 7, 5, 4};
  clock.nowMs = 123456789;
  EXPECT_EQ(AutoCaptureName(clock.Now(), clock.nowMs), "20240309-070504-789.bmp");
  EXPECT_EQ(CaptureAuto(files, clock, graphics, *screen.screenSurface), "20240309-070504-789.bmp");
  // The same second and counter again: the next free name.
  files.files["20240309-070504-790.bmp"] = "someone else's";
  EXPECT_EQ(CaptureAuto(files, clock, graphics, *screen.screenSurface), "20240309-070504-791.bmp");
  EXPECT_EQ(files.files["20240309-070504-790.bmp"], "someone else's");
  clock.nowMs = 999;
  files.files["20240309-070504-999.bmp"] = "";
  EXPECT_EQ(CaptureAuto(files, clock, graphics, *screen.screenSurface), "20240309-070504-000.bmp");
}

} // namespace
} // namespace velmo
