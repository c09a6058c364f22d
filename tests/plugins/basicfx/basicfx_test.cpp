// The basic transitions and filters on the parameter block: the cross-fade's bytes, KICK's jumps
// from a fresh load, FLASH's inversions, the brightness table per channel with its parameters
// clamped and written back, monotone, and the amplitudes KICK must not divide by.
#include "plugins/basicfx/basicfx.h"
#include "plugins/basicfx/basicfx_exports.h"

#include "tests/plugins/plugin_frames.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace velmo {
namespace {

using test::PluginFrames;
using test::ScreenHeight;
using test::ScreenWidth;

TEST(BasicfxTest, OverlapMixesFromAndToInEighths) {
  for (std::int32_t n : {1, 4, 7, 8}) {
    PluginFrames frames;
    frames.Set(n, {});
    EXPECT_EQ(frames.Call(basicfx::funcTransition_Overlap), n < 8 ? 1 : 0) << n;
    int wrong = 0;
    for (std::size_t i = 0; i < test::ScreenBytes; ++i) {
      const int mixed = (frames.from[i] * (8 - n) + frames.to[i] * n) >> 3;
      wrong += frames.screen[i] != mixed;
    }
    EXPECT_EQ(wrong, 0) << n;
  }
  // Frame 4 is the byte average rounded down, frame 8 the new picture.
  PluginFrames half;
  half.Set(4, {});
  half.Call(basicfx::funcTransition_Overlap);
  EXPECT_EQ(half.screen[5], (half.from[5] + half.to[5]) / 2);
  PluginFrames last;
  last.Set(8, {});
  last.Call(basicfx::funcTransition_Overlap);
  EXPECT_EQ(last.screen, last.to);
}

// The runtime's classic sequence from seed 1.
TEST(BasicfxTest, TheRandomNumbersAreTheClassicSequenceFromSeedOne) {
  plugin::ClassicRandom random;
  std::vector<int> numbers;
  for (int i = 0; i < 5; ++i) numbers.push_back(random.Next());
  EXPECT_EQ(numbers, (std::vector<int>{41, 18467, 6334, 26500, 19169}));
}

// KICK over black: the new picture at (x, y).
std::vector<std::uint8_t> Kicked(const std::vector<std::uint8_t>& to, int x, int y) {
  std::vector<std::uint8_t> screen(test::ScreenBytes);
  for (int row = 0; row < ScreenHeight; ++row) {
    for (int column = 0; column < ScreenWidth; ++column) {
      const int sx = column - x, sy = row - y;
      if (sx < 0 || sy < 0 || sx >= ScreenWidth || sy >= ScreenHeight) continue;
      for (int c = 0; c < 3; ++c)
        screen[static_cast<std::size_t>((row * ScreenWidth + column) * 3 + c)] =
            to[static_cast<std::size_t>((sy * ScreenWidth + sx) * 3 + c)];
    }
  }
  return screen;
}

TEST(BasicfxTest, KickJumpsOverBlackByTheNumbersOfAFreshLoad) {
  // y first: 41 mod 40 - 20 = -19, x = 18467 mod 40 - 20 = 7; then 6334 and 26500.
  const struct {
    std::int32_t n;
    int x, y, result;
  } frames[] = {{1, 7, -19, 1}, {2, 0, -6, 1}};
  plugin::ClassicRandom random;
  PluginFrames f;
  f.Set(0, {5, 0});
  EXPECT_EQ(basicfx::KickFrame(f.Block(), random), 1);
  EXPECT_EQ(f.Block().params[1], 20) << "the set-up call gives the block an amplitude";
  EXPECT_EQ(f.screen, std::vector<std::uint8_t>(test::ScreenBytes, 0));
  for (const auto& frame : frames) {
    f.Block().frameCounter = frame.n;
    EXPECT_EQ(basicfx::KickFrame(f.Block(), random), frame.result) << frame.n;
    EXPECT_EQ(f.screen, Kicked(f.to, frame.x, frame.y)) << frame.n;
  }
  f.Block().frameCounter = 5;
  EXPECT_EQ(basicfx::KickFrame(f.Block(), random), 0);
  f.Block().frameCounter = -1;
  const std::vector<std::uint8_t> before = f.screen;
  EXPECT_EQ(basicfx::KickFrame(f.Block(), random), 1);
  EXPECT_EQ(f.screen, before);
}

TEST(BasicfxTest, KickKeepsAnAmplitudeItIsGiven) {
  plugin::ClassicRandom random;
  PluginFrames f;
  f.Set(0, {5, 7});
  basicfx::KickFrame(f.Block(), random);
  EXPECT_EQ(f.Block().params[1], 7);
  // y = 41 mod 14 - 7 = 6, x = 18467 mod 14 - 7 = -6.
  f.Block().frameCounter = 1;
  basicfx::KickFrame(f.Block(), random);
  EXPECT_EQ(f.screen, Kicked(f.to, -6, 6));
}

// An amplitude that is no amplitude (or whose double is no 32-bit number) in a frame call jumps
// as the default one does.
TEST(BasicfxTest, KickWithoutAUsableAmplitudeTakesTheDefault) {
  for (std::int32_t amplitude : {0, -1, INT_MIN, 0x40000000, INT_MAX}) {
    plugin::ClassicRandom random;
    PluginFrames f;
    f.Set(1, {5, amplitude});
    EXPECT_EQ(basicfx::KickFrame(f.Block(), random), 1) << amplitude;
    EXPECT_EQ(f.screen, Kicked(f.to, 7, -19)) << amplitude;
  }
}

TEST(BasicfxTest, FlashInvertsTheScreenEachFrame) {
  PluginFrames f;
  f.screen = f.from;
  f.Set(0, {5});
  EXPECT_EQ(f.Call(basicfx::funcTransition_Flash), 1);
  EXPECT_EQ(f.screen, f.from);
  std::vector<std::uint8_t> inverted = f.from;
  for (std::uint8_t& b : inverted) b = static_cast<std::uint8_t>(255 - b);
  for (std::int32_t n = 1; n <= 5; ++n) {
    f.Block().frameCounter = n;
    EXPECT_EQ(f.Call(basicfx::funcTransition_Flash), n < 5 ? 1 : 0) << n;
    EXPECT_EQ(f.screen, n % 2 == 1 ? inverted : f.from) << n;
  }
}

TEST(BasicfxTest, ShadowClampsWritesBackAndMapsEachChannel) {
  const struct {
    std::int32_t params[3];
    std::int32_t writtenBack[3];
    int (*channel[3])(int v);
  } cases[] = {
      {{-50, 50, 150},
       {-50, 50, 100},
       {[](int v) { return v * 50 / 100; }, [](int v) { return v + 50 * (255 - v) / 100; }, [](int) { return 255; }}},
      {{0, -150, INT_MAX}, {0, -100, 100}, {[](int v) { return v; }, [](int) { return 0; }, [](int) { return 255; }}},
      {{-1, 1, INT_MIN},
       {-1, 1, -100},
       {[](int v) { return v * 99 / 100; }, [](int v) { return (100 * v + 255 - v) / 100; }, [](int) { return 0; }}},
  };
  for (const auto& c : cases) {
    PluginFrames f;
    f.screen = f.from;
    f.Set(0, {c.params[0], c.params[1], c.params[2]});
    EXPECT_EQ(f.Call(basicfx::funcFilter_Shadow), 0);
    int wrong = 0;
    for (std::size_t i = 0; i < test::ScreenBytes; ++i) wrong += f.screen[i] != c.channel[i % 3](f.from[i]);
    EXPECT_EQ(wrong, 0) << c.params[0] << "," << c.params[1] << "," << c.params[2];
    for (int k = 0; k < 3; ++k) EXPECT_EQ(f.Block().params[k], c.writtenBack[k]) << k;
  }
}

TEST(BasicfxTest, MonoToneTurnsEachPixelToTheAverageOfItsBytes) {
  PluginFrames f;
  f.screen = f.from;
  f.screen[0] = 10;
  f.screen[1] = 20;
  f.screen[2] = 31;
  EXPECT_EQ(f.Call(basicfx::funcFilter_MonoTone), 0);
  EXPECT_EQ(f.screen[0], 20);
  EXPECT_EQ(f.screen[1], 20);
  EXPECT_EQ(f.screen[2], 20);
  int wrong = 0;
  for (std::size_t i = 3; i < test::ScreenBytes; ++i) {
    const std::size_t p = i - i % 3;
    wrong += f.screen[i] != (f.from[p] + f.from[p + 1] + f.from[p + 2]) / 3;
  }
  EXPECT_EQ(wrong, 0);
}

TEST(BasicfxTest, SetUpAndFinishingCallsOfTheTransitionsDrawNothing) {
  for (VelmoEntryFunction function :
       {VelmoEntryFunction{basicfx::funcTransition_Overlap}, VelmoEntryFunction{basicfx::funcTransition_Kick},
        VelmoEntryFunction{basicfx::funcTransition_Flash}}) {
    for (std::int32_t n : {0, -1}) {
      PluginFrames f;
      f.Set(n, {5, 20});
      EXPECT_EQ(f.Call(function), 1) << n;
      EXPECT_EQ(f.screen, std::vector<std::uint8_t>(test::ScreenBytes, 0)) << n;
    }
  }
}

TEST(BasicfxTest, NoBlockOrNoPicturesDoNothing) {
  for (VelmoEntryFunction function :
       {VelmoEntryFunction{basicfx::funcTransition_Overlap}, VelmoEntryFunction{basicfx::funcTransition_Kick},
        VelmoEntryFunction{basicfx::funcTransition_Flash}, VelmoEntryFunction{basicfx::funcFilter_Shadow},
        VelmoEntryFunction{basicfx::funcFilter_MonoTone}}) {
    EXPECT_EQ(function(nullptr), 0);
    EffectBlockEx empty{};
    empty.block.frameCounter = 1;
    empty.block.params[0] = 5;
    empty.block.params[1] = 20;
    function(&empty);
  }
}

} // namespace
} // namespace velmo
