#include "engine/graphics/layers.h"

#include "engine/base/errors.h"
#include "engine/base/pixel.h"

#include <cstring>
#include <new>

namespace velmo {
namespace {

// What a discarded filter layer calls: nothing.
int VELMO_STDCALL NoFilter(void*) { return 0; }

template <typename Layer, typename... Args> std::unique_ptr<TLayer> MakeLayer(const char* what, Args&... args) {
  std::unique_ptr<TLayer> layer(new (std::nothrow) Layer(args...));
  if (layer == nullptr) ThrowFatal(ErrInternal, what);
  return layer;
}

} // namespace

void FillPixels(std::uint8_t* bytes, std::size_t pixelCount, std::uint32_t colorRef) {
  const PixelBytes colour = ColorRefPixel(colorRef);
  const std::uint8_t* pixel = colour.bytes;
  if (pixel[0] == pixel[1] && pixel[1] == pixel[2]) {
    std::memset(bytes, pixel[0], pixelCount * 3);
    return;
  }
  for (std::size_t i = 0; i < pixelCount; ++i) std::memcpy(bytes + i * 3, pixel, 3);
}

bool TBitmapLayer::Load(const PictureSource& pictures, std::string_view name) {
  Discard();
  visible = 1;
  picture = pictures.Load(name);
  return picture.has_value();
}

void TBitmapLayer::Discard() {
  visible = 0;
  x = 0;
  y = 0;
  alpha.reset();
  picture.reset();
}

bool TBitmapLayer::LoadMask(const PictureSource& pictures, std::string_view name, bool inverted) {
  alpha.reset();
  alpha = pictures.Load(name);
  alphaInverted = inverted ? 1 : 0;
  return alpha.has_value();
}

void TBitmapLayer::MakeBlankPicture(std::uint32_t colorRef) {
  Discard();
  Picture blank;
  blank.width = TSurface::Width;
  blank.height = TSurface::Height;
  blank.pixels.resize(TSurface::Size);
  FillPixels(blank.pixels.data(), TSurface::Width * TSurface::Height, colorRef);
  picture = std::move(blank);
  visible = 1;
}

bool TFilterLayer::Load(const TListPlugin& plugins, std::string_view type) {
  EffectInfo info{};
  const std::string name(type);
  info.name = name.c_str();
  bool takesVariant = false;
  VelmoEntryFunction found = plugins.FindEffect(info, VELMO_TAG_EFFECT, FilterInfoExport, &takesVariant);
  if (found == nullptr) {
    // No plug-in has a filter of that name (or its plug-in lacks the function).
    Discard();
    return false;
  }
  blockEx = EffectBlockEx{};
  for (int i = 0; i < VELMO_PARAM_COUNT; ++i) Block().params[i] = info.params[i];
  function = found;
  variant = takesVariant;
  visible = 1;
  return true;
}

void TFilterLayer::Discard() {
  function = NoFilter;
  variant = false;
  visible = 0;
}

void TFilterLayer::Apply(TSurface& surface) {
  EffectBlock& block = Block();
  block.screenDc = surface.Dc();
  block.screenPixels = surface.Bits();
  block.fromDc = nullptr;
  block.fromPixels = nullptr;
  block.toDc = nullptr;
  block.toPixels = nullptr;
  if (variant) {
    function(&blockEx);
  } else {
    function(&block);
  }
}

TTextLayer::TTextLayer(IGraphics& graphics, std::uint32_t colorRef) : TLayer(LayerKind::Text) {
  Fill(graphics, colorRef);
}

void TTextLayer::Fill(IGraphics& graphics, std::uint32_t colorRef) {
  // The bitmap is made once and refilled afterwards: a fresh one would look no different.
  if (bitmap == nullptr) bitmap = graphics.CreateSurface();
  if (bitmap == nullptr) ThrowFatal(ErrInternal, "new TTextLayer");
  FillPixels(bitmap->Bits(), TSurface::Width * TSurface::Height, colorRef);
}

void TTextLayer::Discard(LayerTable& table) {
  Fill(table.Graphics(), table.textLayerColor);
  position[2] = 0;
  position[3] = 0;
}

TLayer* LayerTable::GetLayer(int index, LayerKind kind) {
  std::unique_ptr<TLayer>& slot = slots[static_cast<std::size_t>(index)];
  if (slot != nullptr && slot->kind == kind) return slot.get();
  slot.reset();
  switch (kind) {
  case LayerKind::Bitmap:
    slot = MakeLayer<TBitmapLayer>("new TBitmapLayer");
    break;
  case LayerKind::Filter:
    slot = MakeLayer<TFilterLayer>("new TFilterLayer");
    break;
  case LayerKind::Text:
    slot = MakeLayer<TTextLayer>("new TTextLayer", graphics, textLayerColor);
    break;
  }
  return slot.get();
}

TBitmapLayer& LayerTable::GetBitmapLayer(int index) {
  return static_cast<TBitmapLayer&>(*GetLayer(index, LayerKind::Bitmap));
}

void LayerTable::ResetAllLayers() {
  for (std::unique_ptr<TLayer>& slot : slots) {
    if (slot != nullptr) slot->Discard(*this);
  }
}

} // namespace velmo
