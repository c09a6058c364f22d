#pragma once

#include "engine/graphics/bmp_decoder.h"
#include "engine/graphics/picture_loader.h"
#include "engine/platform/platform.h"
#include "engine/platform/surface.h"
#include "engine/plugin/plugin_list.h"
#include "plugins/include/velmo_plugin.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace velmo {

class LayerTable;

enum class LayerKind : std::int32_t { Bitmap = 1, Filter = 2, Text = 3 };

// The drawing mode of a bitmap layer: colour-keyed, or any other value for a plain copy (the
// SRCCOPY raster code is what scripts' COPY stores).
inline constexpr std::uint32_t ModeTransparent = 1;
inline constexpr std::uint32_t ModeCopy = 0x00CC0020;

// A level of 256 (ALPHA=100, OMEGA=0) hides a bitmap layer.
inline constexpr std::uint32_t LevelHidden = 256;

// The flag scripts' colours are stored with (a palette-relative COLORREF).
inline constexpr std::uint32_t ScriptColorFlag = 0x02000000;

// One slot's content. The layer table owns its layers and a layer owns its pictures.
class TLayer {
public:
  explicit TLayer(LayerKind layerKind) : kind(layerKind) {}
  virtual ~TLayer() = default;
  TLayer(const TLayer&) = delete;
  TLayer& operator=(const TLayer&) = delete;

  // Empties the layer but keeps the object.
  virtual void Discard(LayerTable& table) = 0;

  const LayerKind kind;
  std::int32_t visible = 1;
  // NORMAL 0, REVERSE 1, UPSIDEDOWN 2, TURNOVER 3: recorded for scripts, not applied when drawn.
  std::int32_t geometry = 0;
};

class TBitmapLayer : public TLayer {
public:
  TBitmapLayer() : TLayer(LayerKind::Bitmap) {}

  // Discards, shows the layer and loads the picture `name`; false when the file yields no picture.
  // Raises the errors of picture loading.
  bool Load(const PictureSource& pictures, std::string_view name);
  // Hides the layer, moves it back to (0, 0) and deletes its mask and picture. Mode, level,
  // geometry and the mask's kind stay.
  void Discard();
  void Discard(LayerTable&) override { Discard(); }

  // Replaces the mask with the picture `name` (an omega mask when `inverted`); false when the
  // file yields no picture (the layer then has no mask).
  bool LoadMask(const PictureSource& pictures, std::string_view name, bool inverted);
  void DiscardMask() { alpha.reset(); }
  // A 640 x 480 picture filled with `colorRef`, shown at (0, 0).
  void MakeBlankPicture(std::uint32_t colorRef);

  std::optional<Picture> picture;
  std::optional<Picture> alpha;
  std::int32_t alphaInverted = 0; // 1: the mask came from @LoadOmega and is drawn inverted
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::uint32_t mode = ModeCopy;
  std::uint16_t level = 0; // 0 opaque .. 256 not drawn: the weight of what lies underneath
};

class TFilterLayer : public TLayer {
public:
  TFilterLayer() : TLayer(LayerKind::Filter) {}

  // Looks the filter up among the plug-ins' filters. Found: a fresh block with the filter's
  // parameters, the layer shown. Not found: discarded.
  bool Load(const TListPlugin& plugins, std::string_view type);
  // The function becomes one that does nothing; the layer is hidden.
  void Discard();
  void Discard(LayerTable&) override { Discard(); }

  // Calls the filter once on `surface`'s pixels (the from and to pictures are none).
  void Apply(TSurface& surface);

  VelmoEntryFunction function = nullptr; // owned by its plug-in
  bool variant = false;                  // the function takes the variant block ("00MX")
  EffectBlockEx blockEx{};
  EffectBlock& Block() { return blockEx.block; }
};

// Where the text of a text layer goes: onto the shown surface (STREAM), into the layer's bitmap
// (BUFFER) or both (DEFAULT), as bits 1 and 2.
enum class TextOutputMode : std::int32_t { Stream = 1, Buffer = 2, Default = 3 };
inline bool DrawsOnScreen(TextOutputMode mode) { return (static_cast<std::int32_t>(mode) & 1) != 0; }
inline bool DrawsIntoBitmap(TextOutputMode mode) { return (static_cast<std::int32_t>(mode) & 2) != 0; }

// Where the message window types in a text layer: text origin and cursor, the text rectangle,
// the output mode and the saved line starts of \[.
struct TextLayerState {
  static constexpr int IndentCapacity = 16;

  struct Rect {
    std::int32_t left = 0, top = 0, width = 640, height = 480;
  };

  std::array<std::int32_t, 4> position{}; // text origin (0, 1) and cursor (2, 3)
  Rect rect;
  TextOutputMode mode = TextOutputMode::Default;
  std::int32_t indentCount = 0;
  std::array<std::int32_t, IndentCapacity> indents{};

  std::int32_t& CursorX() { return position[2]; }
  std::int32_t& CursorY() { return position[3]; }
  // Where a new line starts: the last saved indent, or the rectangle's left edge.
  std::int32_t LineStart() const {
    return indentCount > 0 ? indents[static_cast<std::size_t>(indentCount - 1)] : rect.left;
  }
};

class TTextLayer : public TLayer, public TextLayerState {
public:
  // Made with a 640 x 480 bitmap of `graphics` filled with `colorRef`; raises ErrInternal (fatal)
  // "new TTextLayer" when the system cannot make one.
  TTextLayer(IGraphics& graphics, std::uint32_t colorRef);

  // A fresh bitmap in the table's text layer colour of the moment; the cursor goes back to (0, 0).
  void Discard(LayerTable& table) override;

  std::unique_ptr<TSurface> bitmap;

private:
  void Fill(IGraphics& graphics, std::uint32_t colorRef);
};

// The 256 layer slots, split into the user, window and text bands, and the two colours of the
// layer model. The table owns its layers; text layers make their bitmaps through `graphics`.
class LayerTable {
public:
  static constexpr int SlotCount = 256;

  explicit LayerTable(IGraphics& surfaces) : graphics(surfaces) {}

  // The layer in slot `index` (0..255) of kind `kind`: the slot's layer when it is of that kind,
  // otherwise a new layer of that kind in place of the old one. A kind outside 1..3 empties the
  // slot and returns nullptr.
  TLayer* GetLayer(int index, LayerKind kind);
  TBitmapLayer& GetBitmapLayer(int index);
  // Discard on every occupied slot; no layer is destroyed.
  void ResetAllLayers();
  IGraphics& Graphics() const { return graphics; }

  std::array<std::unique_ptr<TLayer>, SlotCount> slots;
  // The bands' ends as running sums: user 0..userEnd-1, window userEnd..windowEnd-1, text
  // windowEnd..textEnd-1. A stored end may exceed 256 after a failed @AssignLayer; users clamp.
  std::int32_t userEnd = 0;
  std::int32_t windowEnd = 0;
  std::int32_t textEnd = 0;
  std::int32_t currentLayer = 0;
  std::int32_t messageLayer = 0;     // the slot whose text layer the message window types into
  std::uint32_t backgroundColor = 0; // COLORREF with the script flag
  std::uint32_t textLayerColor = 0;

  // The number of valid layer indices (at most 256).
  std::int32_t Total() const { return textEnd < SlotCount ? textEnd : SlotCount; }
  TLayer* At(int index) const { return slots[static_cast<std::size_t>(index)].get(); }

private:
  IGraphics& graphics;
};

// Fills `bytes` (24-bit pixels, B G R) with a COLORREF's colour.
void FillPixels(std::uint8_t* bytes, std::size_t pixelCount, std::uint32_t colorRef);

} // namespace velmo
