#include "engine/graphics/screen.h"

namespace velmo {

Screen::Screen(IGraphics& graphicsServices)
    : graphics(graphicsServices), baseSurface(graphics.CreateSurface()), windowSurface(graphics.CreateSurface()),
      composeSurface(graphics.CreateSurface()), previousSurface(graphics.CreateSurface()),
      screenSurface(graphics.CreateSurface()), layers(graphicsServices) {}

bool Screen::HasSurfaces() const {
  return baseSurface != nullptr && windowSurface != nullptr && composeSurface != nullptr &&
         previousSurface != nullptr && screenSurface != nullptr;
}

bool Screen::MakeFlashbackSurfaces(std::int32_t count) {
  flashbackSurfaces.clear();
  for (std::int32_t i = 0; i < count; ++i) {
    std::unique_ptr<TSurface> surface = graphics.CreateSurface();
    if (surface == nullptr) return false;
    flashbackSurfaces.push_back(std::move(surface));
  }
  return true;
}

} // namespace velmo
