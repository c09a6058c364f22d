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

} // namespace velmo
