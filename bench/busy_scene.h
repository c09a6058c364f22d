#pragma once

// A busy scene for the composition benchmarks: a background, four sprites drawn with each kind of
// blend (an alpha mask, a transparency level, both, a colour key), a filter over the user band, a
// half-transparent window frame and a text layer with text on it, composed by ComposeAll as
// @UpdateScreen does. Shared by the Google Benchmark program and the timing program of the Windows
// build.
#include "engine/graphics/compositor.h"
#include "engine/graphics/layers.h"
#include "engine/graphics/screen.h"
#include "engine/platform/headless/headless_platform.h"

#include <cstdint>
#include <cstring>

namespace velmo::bench {

// A filter as a plug-in might have one: every byte of the surface to three quarters.
inline int VELMO_STDCALL DimFilter(void* block) {
  std::uint8_t* pixels = static_cast<EffectBlock*>(block)->screenPixels;
  for (std::size_t i = 0; i < TSurface::Size; ++i) pixels[i] = static_cast<std::uint8_t>(pixels[i] - (pixels[i] >> 2));
  return 0;
}

class BusyScene {
public:
  BusyScene() {
    LayerTable& layers = screen.layers;
    layers.userEnd = 6;
    layers.windowEnd = 8;
    layers.textEnd = 9;
    layers.backgroundColor = 0x02203040;
    layers.textLayerColor = 0x02000000;
    TBitmapLayer& background = Bitmap(0, 640, 480, 0, 0);
    (void)background;
    Bitmap(1, 200, 300, 20, 100).alpha = Mask(200, 300);
    Bitmap(2, 200, 300, 160, 60).level = 96;
    TBitmapLayer& both = Bitmap(3, 200, 300, 300, 120);
    both.alpha = Mask(200, 300);
    both.alphaInverted = 1;
    both.level = 64;
    TBitmapLayer& keyed = Bitmap(4, 200, 300, 420, 40);
    keyed.mode = ModeTransparent;
    for (int y = 0; y < 300; ++y) {
      for (int x = 0; x < 200; ++x) {
        // A key-coloured ground around an ellipse.
        const int dx = x - 100, dy = y - 150;
        if (dx * dx * 9 + dy * dy * 4 > 90000) std::memset(&keyed.picture->pixels[(y * 200 + x) * 3], 0, 3);
      }
    }
    auto& filter = static_cast<TFilterLayer&>(*screen.layers.GetLayer(5, LayerKind::Filter));
    filter.function = DimFilter;
    filter.visible = 1;
    Bitmap(6, 600, 120, 20, 350).level = 64;
    auto& text = static_cast<TTextLayer&>(*screen.layers.GetLayer(8, LayerKind::Text));
    for (int line = 0; line < 3; ++line) {
      for (int cell = 0; cell < 24; ++cell) {
        graphics.PaintText(*text.bitmap, 40 + cell * 22, 370 + line * 30, "\x82\xa0", 0xFFFFFF);
      }
    }
  }

  void Compose() { ComposeAll(screen); }
  const std::uint8_t* Shown() const { return screen.composeSurface->Bits(); }

private:
  static Picture Pattern(int width, int height, std::uint32_t seed) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<std::size_t>(width) * height * 3);
    std::uint32_t state = seed;
    for (std::uint8_t& byte : picture.pixels) {
      state = state * 1664525u + 1013904223u;
      byte = static_cast<std::uint8_t>(state >> 24);
    }
    return picture;
  }
  static Picture Mask(int width, int height) {
    Picture mask = Pattern(width, height, 7);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        std::memset(&mask.pixels[(static_cast<std::size_t>(y) * width + x) * 3], (x + y) & 0xFF, 3);
      }
    }
    return mask;
  }
  TBitmapLayer& Bitmap(int slot, int width, int height, int x, int y) {
    TBitmapLayer& layer = screen.layers.GetBitmapLayer(slot);
    layer.picture = Pattern(width, height, static_cast<std::uint32_t>(slot) + 1);
    layer.visible = 1;
    layer.x = x;
    layer.y = y;
    return layer;
  }

  HeadlessGraphics graphics;
  Screen screen{graphics};
};

} // namespace velmo::bench
