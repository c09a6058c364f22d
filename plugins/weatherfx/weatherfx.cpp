#include "plugins/weatherfx/weatherfx.h"

#include "plugins/common/variant_block.h"
#include "plugins/weatherfx/sprite_art.h"

#include <algorithm>
#include <limits>

namespace velmo::weatherfx {

namespace {

using plugin::RasterOp;

// A coordinate as the drawing takes it: truncated toward zero, and held inside the 32-bit range
// (far outside the screen either way) so that no fall, however large, makes it overflow.
std::int32_t ToInt(double v) {
  if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

} // namespace

int SheetOf(Weather weather) {
  switch (weather) {
  case Weather::Sakura:
    return PetalSheet;
  case Weather::Kareha:
    return LeafSheet;
  case Weather::Hotaru:
    return GlowSheet;
  case Weather::Snow:
    return SnowSheet;
  case Weather::Rain:
    break;
  }
  return RainSheet;
}

void ParticleSystem::Reset() {
  Release();
  random.Seed(plugin::ClassicRandom::LoadSeed);
  particles = {};
}

void ParticleSystem::Release() {
  sheet = SpriteSheet{};
  ready = false;
  placed = 0;
}

void ParticleSystem::SetUp(Weather weather, std::int32_t count) {
  // A second set-up lets go of what the first one held.
  Release();
  sheet = sheets(SheetOf(weather));
  ready = true;
  readyFor = weather;
  for (; placed < count; ++placed) Place(weather, particles[static_cast<std::size_t>(placed)], true);
}

void ParticleSystem::Turn(Particle& p) {
  p.timer = random.Below(10) + 5;
  p.direction = (p.direction + 7 + 2 * random.Below(2)) % 8;
}

void ParticleSystem::Place(Weather weather, Particle& p, bool setUp) {
  switch (weather) {
  case Weather::Sakura:
  case Weather::Kareha:
    p.x = random.Below(1280) - 640;
    p.y = 0;
    p.speed = random.Below(3) + 2;
    p.timer = 0;
    // At the set-up the particles start above the screen at staggered heights.
    if (setUp) p.y = -random.Below(480);
    break;
  case Weather::Hotaru:
    p.x = random.Below(640);
    p.y = random.Below(480);
    p.speed = random.Below(3) + 1;
    p.direction = random.Below(8);
    p.life = random.Below(50) + 30;
    Turn(p);
    break;
  case Weather::Snow:
    p.x = random.Below(640);
    p.y = 0;
    p.speed = random.Below(3) + 2;
    if (setUp) p.y = -random.Below(480);
    break;
  case Weather::Rain:
    p.x = random.Below(640);
    p.y = -random.Below(480);
    break;
  }
}

void ParticleSystem::Move(Weather weather, Particle& p, std::int32_t fall) {
  switch (weather) {
  case Weather::Sakura:
  case Weather::Kareha:
    // Drift right by speed to 2 x speed - 1, now and then hover with a jitter of one pixel.
    if (p.timer < 1) {
      p.x += random.Below(p.speed) + p.speed;
      if (random.Below(640) < 15) p.timer = random.Below(10) + 10;
    } else {
      p.x += random.Below(3) - 1;
      p.timer -= 1;
    }
    p.y += p.speed;
    if (p.y > 480 || p.x > 640) Place(weather, p, false);
    p.y += fall;
    break;
  case Weather::Hotaru: {
    const double step = p.speed + 1;
    p.x += step * FireflyDirections[p.direction & 7];
    p.y += step * FireflyDirections[(p.direction + 2) & 7];
    p.life -= 1;
    if (p.timer < 1) {
      Turn(p);
    } else {
      p.timer -= 1;
    }
    if (p.life < 0 || p.x < 0 || p.x > 640 || p.y < 0 || p.y > 480) Place(weather, p, false);
    break;
  }
  case Weather::Snow:
    p.x += (random.Below(2 * p.speed + 1) - p.speed) / 2;
    p.y += p.speed;
    if (p.y > 480 || p.x < 0 || p.x > 640) Place(weather, p, false);
    p.y += fall;
    break;
  case Weather::Rain:
    p.y += fall;
    if (p.y > 480 || p.x < 0 || p.x > 640) Place(weather, p, false);
    break;
  }
}

void ParticleSystem::Draw(Weather weather, const Particle& p, std::int32_t fall, plugin::PixelView screen) {
  const plugin::ConstPixelView art = sheet.View();
  const std::int64_t x = ToInt(p.x), y = ToInt(p.y);
  // The mask clears the sprite's place, the picture is ORed into it.
  const auto masked = [&](int size, int pictureX, int maskX, int top) {
    plugin::BlitPixels(screen, x, y, size, size, art, maskX, top, RasterOp::And);
    plugin::BlitPixels(screen, x, y, size, size, art, pictureX, top, RasterOp::Or);
  };
  switch (weather) {
  case Weather::Sakura:
  case Weather::Kareha: {
    const int variant = random.Below(8);
    if (p.speed == 4) {
      masked(16, 0, 16, 16 * variant);
    } else {
      masked(8, 32, 40, 8 * variant);
    }
    break;
  }
  case Weather::Hotaru:
    plugin::BlitPixels(screen, x, y, 16, 16, art, 16 * std::int64_t{p.speed}, 0, RasterOp::Or);
    break;
  case Weather::Snow:
    if (p.speed == 4) {
      plugin::BlitPixels(screen, x, y, 7, 7, art, 0, 0, RasterOp::Or);
    } else if (p.speed == 3) {
      plugin::BlitPixels(screen, x, y, 5, 5, art, 0, 1, RasterOp::Or);
    } else if (p.speed == 2) {
      plugin::BlitPixels(screen, x, y, 3, 3, art, 0, 1, RasterOp::Or);
    }
    break;
  case Weather::Rain:
    // The streak's lower end is the sheet's row 100, one below its last: it is drawn upward from
    // there with the negative height, and only what lies on the sheet shows.
    plugin::BlitPixels(screen, x, y, 1, -std::int64_t{fall}, art, 1, 100, RasterOp::And);
    plugin::BlitPixels(screen, x, y, 1, -std::int64_t{fall}, art, 0, 100, RasterOp::Or);
    break;
  }
}

int ParticleSystem::Frame(Weather weather, EffectBlock& block) {
  const std::int32_t n = plugin::FrameOf(block);
  const std::int32_t count = std::clamp<std::int32_t>(plugin::ParamOf(block, 1), 0, ParticleCapacity);
  const std::int32_t fall = plugin::ParamOf(block, 2);
  const plugin::PixelView screen = plugin::ScreenOf(block);
  if (n == plugin::SetUpFrame) {
    SetUp(weather, count);
    return 1;
  }
  if (n == plugin::FinishFrame) {
    Release();
    plugin::BlitPixels(plugin::ScreenView(block.toPixels), 0, 0, plugin::ScreenWidth, plugin::ScreenHeight,
                       plugin::ConstScreenView(block.screenPixels), 0, 0, RasterOp::Copy);
    return 1;
  }
  // A frame without this transition's set-up sets up first; particles beyond those placed then
  // (the count grew) are placed as a set-up places them.
  if (!ready || readyFor != weather) SetUp(weather, count);
  for (; placed < count; ++placed) Place(weather, particles[static_cast<std::size_t>(placed)], true);

  const plugin::ConstPixelView to = plugin::ToOf(block);
  for (std::int32_t i = 0; i < count; ++i) {
    const Particle& p = particles[static_cast<std::size_t>(i)];
    const std::int64_t x = ToInt(p.x), y = ToInt(p.y);
    if (weather == Weather::Rain) {
      plugin::BlitPixels(screen, x, y, 1, -std::int64_t{fall}, to, x, y, RasterOp::Copy);
    } else {
      const int box = weather == Weather::Snow ? 7 : 16;
      plugin::BlitPixels(screen, x, y, box, box, to, x, y, RasterOp::Copy);
    }
  }
  for (std::int32_t i = 0; i < count; ++i) {
    Particle& p = particles[static_cast<std::size_t>(i)];
    Move(weather, p, fall);
    Draw(weather, p, fall, screen);
  }
  return 1;
}

} // namespace velmo::weatherfx
