#pragma once

// The particle transitions: petals, leaves, fireflies, snow and rain over the new picture. Each
// frame erases the particles by copying the new picture back under them, moves them and draws
// them again with sprites from the plug-in's sheets. They never end by themselves; the finishing
// call keeps the last frame by copying the screen into the new picture, which the engine then
// shows.
#include "plugins/common/classic_random.h"
#include "plugins/include/velmo_plugin.h"
#include "plugins/weatherfx/sprite_sheet.h"

#include <array>
#include <cstdint>

namespace velmo::weatherfx {

enum class Weather { Sakura, Kareha, Hotaru, Snow, Rain };

// The sheet each transition draws from.
int SheetOf(Weather weather);

// One particle. `speed` is the size or speed class, `timer` counts a hover or the steps until a
// firefly turns, `life` the frames a firefly has left.
struct Particle {
  double x = 0;
  double y = 0;
  std::int32_t speed = 0;
  std::int32_t timer = 0;
  std::int32_t direction = 0;
  std::int32_t life = 0;
};

inline constexpr int ParticleCapacity = 500;

// How a firefly moves in each of its eight directions: x by D[d], y by D[(d + 2) mod 8], times
// its speed + 1.
inline constexpr double FireflyDirections[8] = {0.94, 0.91, 0.34, -0.42, -0.94, -0.91, -0.34, 0.42};

// Where the sheets come from: the DLL's bitmap resources, or the artwork drawn natively.
using SheetSource = SpriteSheet (*)(int resourceId);

// The particles and sheet the five transitions share (one runs at a time), kept between calls.
class ParticleSystem {
public:
  explicit ParticleSystem(SheetSource source) : sheets(source) {}

  // One call of a transition's entry function: counter 0 sets up (loads the sheet, places the
  // particles), -1 finishes (lets the sheet go, copies the screen into the new picture), any other
  // counter draws a frame, setting up first when this transition has not been set up. Always 1.
  int Frame(Weather weather, EffectBlock& block);

  // As a fresh load: random numbers from seed 1, no sheet, the particles cleared.
  void Reset();

  const std::array<Particle, ParticleCapacity>& Particles() const { return particles; }
  bool HoldsSheet() const { return !sheet.Empty(); }

private:
  void SetUp(Weather weather, std::int32_t count);
  void Release();
  void Place(Weather weather, Particle& p, bool setUp);
  void Turn(Particle& p);
  void Move(Weather weather, Particle& p, std::int32_t fall);
  void Draw(Weather weather, const Particle& p, std::int32_t fall, plugin::PixelView screen);

  SheetSource sheets;
  plugin::ClassicRandom random;
  std::array<Particle, ParticleCapacity> particles{};
  SpriteSheet sheet;
  bool ready = false;
  Weather readyFor = Weather::Sakura;
  int placed = 0; // particles placed since the set-up
};

} // namespace velmo::weatherfx
