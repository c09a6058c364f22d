// The particle transitions' rules that hold whatever the artwork: which rows a frame can reach,
// how the particles move and come back, the set-up and finishing calls (also out of turn), the
// limit of 500 particles, and falls so large that coordinates would overflow.
#include "plugins/weatherfx/weatherfx.h"
#include "plugins/weatherfx/weatherfx_exports.h"

#include "tests/plugins/plugin_frames.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace velmo {
namespace {

using test::PluginFrames;
using weatherfx::ParticleSystem;
using weatherfx::Weather;

const Weather AllWeathers[] = {Weather::Sakura, Weather::Kareha, Weather::Hotaru, Weather::Snow, Weather::Rain};

// The pictures with the screen showing the old picture; counter and parameters set by Step.
struct Scene : PluginFrames {
  ParticleSystem particles{weatherfx::LoadSpriteSheet};
  Scene() { screen = from; }
  int Step(Weather weather, std::int32_t n, std::int32_t count, std::int32_t fall) {
    Set(n, {count, fall});
    return particles.Frame(weather, Block());
  }
};

TEST(WeatherfxTest, TheFirstFrameReachesOnlyTheRowsNearTheTop) {
  // Falling particles start above the screen and move at most 4 rows (rain: its fall) before
  // they are drawn; boxes are 16 rows (snow 7, rain the fall).
  const struct {
    Weather weather;
    std::int32_t fall;
    int firstUntouched;
  } cases[] = {{Weather::Sakura, 0, 20}, {Weather::Kareha, 0, 20}, {Weather::Snow, 0, 11}, {Weather::Rain, 50, 51}};
  for (const auto& c : cases) {
    Scene scene;
    EXPECT_EQ(scene.Step(c.weather, 0, 500, c.fall), 1);
    EXPECT_EQ(scene.screen, scene.from) << "the set-up call draws nothing";
    EXPECT_EQ(scene.Step(c.weather, 1, 500, c.fall), 1);
    int changedAbove = 0, changedBelow = 0;
    for (int y = 0; y < test::ScreenHeight; ++y) {
      for (int x = 0; x < test::ScreenWidth; ++x) {
        if (scene.Untouched(x, y, scene.from)) continue;
        (y < c.firstUntouched ? changedAbove : changedBelow) += 1;
      }
    }
    EXPECT_GT(changedAbove, 0) << static_cast<int>(c.weather);
    EXPECT_EQ(changedBelow, 0) << static_cast<int>(c.weather);
  }
}

TEST(WeatherfxTest, RainThatDoesNotFallNeitherMovesNorShows) {
  Scene scene;
  scene.Step(Weather::Rain, 0, 50, 0);
  const auto placed = scene.particles.Particles();
  for (std::int32_t n = 1; n <= 10; ++n) EXPECT_EQ(scene.Step(Weather::Rain, n, 50, 0), 1);
  EXPECT_EQ(scene.screen, scene.from);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(scene.particles.Particles()[i].y, placed[i].y) << i;
}

TEST(WeatherfxTest, TheFinishingCallKeepsTheLastFrameInTheNewPicture) {
  for (Weather weather : AllWeathers) {
    Scene scene;
    for (std::int32_t n = 0; n <= 5; ++n) scene.Step(weather, n, 200, 30);
    EXPECT_TRUE(scene.particles.HoldsSheet());
    const std::vector<std::uint8_t> last = scene.screen;
    EXPECT_EQ(scene.Step(weather, -1, 200, 30), 1);
    EXPECT_EQ(scene.to, last) << static_cast<int>(weather);
    EXPECT_EQ(scene.screen, last) << static_cast<int>(weather);
    EXPECT_FALSE(scene.particles.HoldsSheet());
  }
}

TEST(WeatherfxTest, AtMost500ParticlesMove) {
  for (Weather weather : AllWeathers) {
    Scene limited, asked;
    for (std::int32_t n = 0; n <= 4; ++n) {
      limited.Step(weather, n, 500, 20);
      asked.Step(weather, n, 1000, 20);
    }
    EXPECT_EQ(asked.screen, limited.screen) << static_cast<int>(weather);
    EXPECT_NE(limited.screen, limited.from) << static_cast<int>(weather);
  }
}

TEST(WeatherfxTest, AFrameBeforeTheSetUpSetsUpFirst) {
  for (Weather weather : AllWeathers) {
    Scene early, inTurn;
    early.Step(weather, 1, 100, 10);
    inTurn.Step(weather, 0, 100, 10);
    inTurn.Step(weather, 1, 100, 10);
    EXPECT_EQ(early.screen, inTurn.screen) << static_cast<int>(weather);
    // Another transition's set-up is no set-up of this one.
    const Weather other = weather == Weather::Snow ? Weather::Rain : Weather::Snow;
    Scene skipped, setUp;
    skipped.Step(other, 0, 100, 10);
    skipped.Step(weather, 1, 100, 10);
    setUp.Step(other, 0, 100, 10);
    setUp.Step(weather, 0, 100, 10);
    setUp.Step(weather, 1, 100, 10);
    EXPECT_EQ(skipped.screen, setUp.screen) << static_cast<int>(weather);
  }
}

int sheetLoads = 0;
weatherfx::SpriteSheet CountedSheet(int id) {
  ++sheetLoads;
  return weatherfx::LoadSpriteSheet(id);
}

TEST(WeatherfxTest, SetUpsLoadTheSheetOnceAndTheFinishingCallLetsItGo) {
  sheetLoads = 0;
  PluginFrames frames;
  ParticleSystem particles(CountedSheet);
  frames.Set(0, {20, 0});
  particles.Frame(Weather::Snow, frames.Block());
  particles.Frame(Weather::Snow, frames.Block());
  EXPECT_EQ(sheetLoads, 2);
  for (std::int32_t n = 1; n <= 3; ++n) {
    frames.Block().frameCounter = n;
    particles.Frame(Weather::Snow, frames.Block());
  }
  EXPECT_EQ(sheetLoads, 2) << "frames draw with the sheet the set-up loaded";
  frames.Block().frameCounter = -1;
  particles.Frame(Weather::Snow, frames.Block());
  EXPECT_FALSE(particles.HoldsSheet());
  // A frame after the finishing call sets up again.
  frames.Block().frameCounter = 4;
  particles.Frame(Weather::Snow, frames.Block());
  EXPECT_EQ(sheetLoads, 3);
}

TEST(WeatherfxTest, TheFinishingCallWithoutSetUpStillCopiesTheScreen) {
  Scene scene;
  EXPECT_EQ(scene.Step(Weather::Hotaru, -1, 20, 0), 1);
  EXPECT_EQ(scene.to, scene.from);
}

TEST(WeatherfxTest, SnowFallsByItsSpeedAndComesBackAtTheTop) {
  Scene scene;
  scene.Step(Weather::Snow, 0, 100, 0);
  int returned = 0;
  for (std::int32_t n = 1; n <= 200; ++n) {
    const auto before = scene.particles.Particles();
    scene.Step(Weather::Snow, n, 100, 0);
    for (int i = 0; i < 100; ++i) {
      const weatherfx::Particle& p = scene.particles.Particles()[i];
      if (p.y == before[i].y + before[i].speed) {
        EXPECT_LE(p.y, 480) << n << " " << i;
      } else {
        // Fallen out (or blown off a side): back at the top at a new place.
        EXPECT_EQ(p.y, 0) << n << " " << i;
        EXPECT_TRUE(p.x >= 0 && p.x < 640 && p.speed >= 2 && p.speed <= 4) << n << " " << i;
        ++returned;
      }
      EXPECT_TRUE(p.x >= 0 && p.x <= 640) << n << " " << i;
    }
  }
  EXPECT_GT(returned, 0);
}

// Falls beyond the 32-bit range of a coordinate: particles leave the screen at once, and the
// screen only ever shows the old picture or the new one, never a sprite drawn at a wrapped place.
TEST(WeatherfxTest, HugeFallsLeaveTheScreenWithoutOverflowing) {
  const struct {
    Weather weather;
    std::int32_t fall;
  } cases[] = {{Weather::Snow, INT_MAX},
               {Weather::Rain, INT_MIN},
               {Weather::Rain, INT_MAX},
               {Weather::Sakura, INT_MIN},
               {Weather::Kareha, INT_MAX}};
  for (const auto& c : cases) {
    Scene scene;
    for (std::int32_t n = 0; n <= 6; ++n) EXPECT_EQ(scene.Step(c.weather, n, 500, c.fall), 1);
    int other = 0;
    for (int y = 0; y < test::ScreenHeight; ++y) {
      for (int x = 0; x < test::ScreenWidth; ++x) other += !scene.Untouched(x, y, scene.from) && !scene.FromTo(x, y);
    }
    EXPECT_EQ(other, 0) << static_cast<int>(c.weather) << " " << c.fall;
  }
}

TEST(WeatherfxTest, NoBlockOrNoPicturesDrawNothing) {
#define VELMO_ENTRY_ITEM(name) VelmoEntryFunction{weatherfx::name},
  for (VelmoEntryFunction function : {VELMO_WEATHERFX_ENTRIES(VELMO_ENTRY_ITEM)}) {
#undef VELMO_ENTRY_ITEM
    EXPECT_EQ(function(nullptr), 0);
    EffectBlockEx empty{};
    empty.block.params[0] = 50;
    empty.block.params[1] = 50;
    for (std::int32_t n : {0, 1, 2, -1}) {
      empty.block.frameCounter = n;
      EXPECT_EQ(function(&empty), 1);
    }
  }
  weatherfx::ResetForLoad();
}

} // namespace
} // namespace velmo
