#include "engine/graphics/layers.h"

#include "engine/graphics/picture_loader.h"
#include "engine/graphics/pixels.h"
#include "engine/script/errors.h"
#include "engine/shell/engine.h"

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

bool TBitmapLayer::Load(Engine& engine, std::string_view name) {
  Discard(engine);
  visible = 1;
  picture = LoadPicture(engine, name);
  if (!picture) return false;
  engine.variables.SetVarNumber("argv[1]", picture->width);
  engine.variables.SetVarNumber("argv[2]", picture->height);
  return true;
}

void TBitmapLayer::Discard(Engine&) {
  visible = 0;
  x = 0;
  y = 0;
  alpha.reset();
  picture.reset();
}

bool TBitmapLayer::LoadMask(Engine& engine, std::string_view name, bool inverted) {
  alpha.reset();
  alpha = LoadPicture(engine, name);
  alphaInverted = inverted ? 1 : 0;
  return alpha.has_value();
}

void TBitmapLayer::MakeBlankPicture(Engine& engine) {
  Discard(engine);
  Picture blank;
  blank.width = TSurface::Width;
  blank.height = TSurface::Height;
  blank.pixels.resize(TSurface::Size);
  FillPixels(blank.pixels.data(), TSurface::Width * TSurface::Height, engine.layers.backgroundColor);
  picture = std::move(blank);
  visible = 1;
}

bool TFilterLayer::Load(Engine& engine, std::string_view type) {
  EffectInfo info{};
  const std::string name(type);
  info.name = name.c_str();
  bool takesVariant = false;
  VelmoEntryFunction found = engine.plugins.FindEffect(info, VELMO_TAG_EFFECT, FilterInfoExport, &takesVariant);
  if (found == nullptr) {
    // No plug-in has a filter of that name (or its plug-in lacks the function).
    Discard(engine);
    return false;
  }
  blockEx = EffectBlockEx{};
  for (int i = 0; i < VELMO_PARAM_COUNT; ++i) Block().params[i] = info.params[i];
  function = found;
  variant = takesVariant;
  visible = 1;
  return true;
}

void TFilterLayer::Discard(Engine&) {
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

TTextLayer::TTextLayer(Engine& engine) : TLayer(LayerKind::Text) { Fill(engine); }

void TTextLayer::Fill(Engine& engine) {
  bitmap.reset();
  bitmap = engine.platform.graphics.CreateSurface();
  if (bitmap == nullptr) ThrowFatal(ErrInternal, "new TTextLayer");
  FillPixels(bitmap->Bits(), TSurface::Width * TSurface::Height, engine.layers.textLayerColor);
}

void TTextLayer::Discard(Engine& engine) {
  Fill(engine);
  position[2] = 0;
  position[3] = 0;
}

TLayer* GetLayer(Engine& engine, int index, LayerKind kind) {
  std::unique_ptr<TLayer>& slot = engine.layers.slots[static_cast<std::size_t>(index)];
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
    slot = MakeLayer<TTextLayer>("new TTextLayer", engine);
    break;
  }
  return slot.get();
}

TBitmapLayer& GetBitmapLayer(Engine& engine, int index) {
  return static_cast<TBitmapLayer&>(*GetLayer(engine, index, LayerKind::Bitmap));
}

void ResetAllLayers(Engine& engine) {
  for (std::unique_ptr<TLayer>& slot : engine.layers.slots) {
    if (slot != nullptr) slot->Discard(engine);
  }
}

} // namespace velmo
