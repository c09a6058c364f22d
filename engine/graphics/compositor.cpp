#include "engine/graphics/compositor.h"

#include "engine/base/pixel.h"
#include "engine/graphics/blit_kernels.h"

#include <algorithm>
#include <cstring>

namespace velmo {
namespace {

int BandEnd(std::int32_t end) { return std::clamp(end, 0, LayerTable::SlotCount); }

void DrawBand(Screen& screen, TSurface& surface, int first, int end) {
  for (int i = std::max(first, 0); i < end; ++i) DrawLayer(screen, surface, i);
}

} // namespace

void DrawBitmapLayer(const TBitmapLayer& layer, std::uint8_t* surfacePixels) {
  // Levels above 256 (ALPHA over 100, OMEGA below 0 or negative values) would wrap the blend's
  // weights; they are drawn as what they approach: nothing.
  if (layer.visible == 0 || !layer.picture || layer.level >= LevelHidden) return;
  const Picture& picture = *layer.picture;
  const Picture* mask = layer.alpha ? &*layer.alpha : nullptr;
  int width = picture.width;
  int height = picture.height;
  if (mask != nullptr) {
    width = std::min(width, mask->width);
    height = std::min(height, mask->height);
  }
  // The picture's part that lies on the surface, in 64 bits: offsets may be any 32-bit number.
  const std::int64_t left = std::max<std::int64_t>(layer.x, 0);
  const std::int64_t top = std::max<std::int64_t>(layer.y, 0);
  const std::int64_t right = std::min<std::int64_t>(std::int64_t{layer.x} + width, TSurface::Width);
  const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{layer.y} + height, TSurface::Height);
  if (left >= right || top >= bottom || picture.pixels.empty()) return;
  const auto sourceX = static_cast<std::size_t>(left - layer.x);
  const auto sourceY = static_cast<std::size_t>(top - layer.y);

  BlitArgs args;
  args.sourceStride = picture.Stride();
  args.source = picture.pixels.data() + sourceY * args.sourceStride + sourceX * 3;
  if (mask != nullptr) {
    args.maskStride = mask->Stride();
    args.mask = mask->pixels.data() + sourceY * args.maskStride + sourceX * 3;
    args.maskInverted = layer.alphaInverted != 0;
  }
  args.targetStride = TSurface::Stride;
  args.target = surfacePixels + static_cast<std::size_t>(top) * TSurface::Stride + static_cast<std::size_t>(left) * 3;
  args.width = static_cast<int>(right - left);
  args.height = static_cast<int>(bottom - top);
  args.level = layer.level;
  // The key is the picture's top-left pixel, wherever the drawn part begins.
  args.keyed = layer.mode == ModeTransparent;
  args.key = PixelKey(picture.pixels.data());
  DrawPicture(args);
}

bool DrawLayer(Screen& screen, TSurface& surface, int index) {
  TLayer* layer = screen.layers.At(index);
  if (layer == nullptr) return false;
  switch (layer->kind) {
  case LayerKind::Bitmap:
    DrawBitmapLayer(static_cast<TBitmapLayer&>(*layer), surface.Bits());
    break;
  case LayerKind::Filter: {
    auto& filter = static_cast<TFilterLayer&>(*layer);
    if (filter.visible == 0 || filter.function == nullptr) break;
    filter.Apply(surface);
    // A filter may draw through the surface's device context.
    screen.graphics.Flush();
    break;
  }
  case LayerKind::Text: {
    auto& text = static_cast<TTextLayer&>(*layer);
    if (text.visible == 0 || text.bitmap == nullptr) break;
    TransparentCopy(text.bitmap->Bits(), TSurface::Stride, surface.Bits(), TSurface::Stride, TSurface::Width,
                    TSurface::Height);
    break;
  }
  }
  return true;
}

void ComposeAll(Screen& screen) {
  const LayerTable& layers = screen.layers;
  // Text drawn through a device context, and plug-ins' drawing, must be in the pixels first.
  screen.graphics.Flush();
  // Transitions that copy monochrome patterns through the screen's context expect black text.
  screen.graphics.SetTextColour(*screen.screenSurface, 0);
  TSurface& base = *screen.baseSurface;
  FillPixels(base.Bits(), TSurface::Width * TSurface::Height, layers.backgroundColor);
  const int userEnd = BandEnd(layers.userEnd);
  const int windowEnd = BandEnd(layers.windowEnd);
  DrawBand(screen, base, 0, userEnd);
  std::memcpy(screen.windowSurface->Bits(), base.Bits(), TSurface::Size);
  DrawBand(screen, *screen.windowSurface, userEnd, windowEnd);
  ComposeTextBand(screen);
}

void ComposeTextBand(Screen& screen) {
  const LayerTable& layers = screen.layers;
  screen.graphics.Flush();
  std::memcpy(screen.composeSurface->Bits(), screen.windowSurface->Bits(), TSurface::Size);
  DrawBand(screen, *screen.composeSurface, BandEnd(layers.windowEnd), BandEnd(layers.textEnd));
}

} // namespace velmo
