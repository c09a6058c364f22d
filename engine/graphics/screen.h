#pragma once

#include "engine/graphics/flashback_ring.h"
#include "engine/graphics/layers.h"
#include "engine/platform/platform.h"
#include "engine/platform/surface.h"

#include <cstdint>
#include <memory>

namespace velmo {

// What the player sees and what it is made of: the five surfaces, the flashback surfaces and the
// layer table with its colours. The surfaces are made once, when the screen is; a surface the
// system could not make stays missing, which start-up reports before anything draws.
class Screen {
public:
  explicit Screen(IGraphics& graphicsServices);
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  // Whether all five surfaces exist.
  bool HasSurfaces() const;
  // Makes the flashback surfaces for `count` pages in place of those there were (none for 0 or
  // less); false when the system cannot make one.
  bool MakeFlashbackSurfaces(std::int32_t count) { return flashback.Make(graphics, count); }

  IGraphics& graphics;
  // Background and user band; plus window band; plus text band (the finished frame); the
  // snapshot a transition starts from; and what the window shows.
  std::unique_ptr<TSurface> baseSurface;
  std::unique_ptr<TSurface> windowSurface;
  std::unique_ptr<TSurface> composeSurface;
  std::unique_ptr<TSurface> previousSurface;
  std::unique_ptr<TSurface> screenSurface;
  FlashbackRing flashback;
  LayerTable layers;
};

} // namespace velmo
