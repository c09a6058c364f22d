// The layer and screen commands: arranging the layer table, loading pictures, masks and filters,
// copying rectangles, choosing transitions and effects, and showing the composed frame.
#include "engine/graphics/layer_commands.h"

#include "engine/graphics/compositor.h"
#include "engine/graphics/layers.h"
#include "engine/graphics/pixels.h"
#include "engine/script/command_line.h"
#include "engine/script/errors.h"
#include "engine/script/escapes.h"
#include "engine/script/format.h"
#include "engine/script/parse_number.h"
#include "engine/script/sjis.h"
#include "engine/script/word_list.h"
#include "engine/shell/engine.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace velmo {
namespace {

// The last token that is the parameter `name` (bare at `slot`, or named); 0 for none.
int FindToken(const TCommandLine& line, std::string_view name, int slot) {
  int found = 0;
  for (int i = 2; i <= line.Written(); ++i) {
    if (IsParam(line, i, name, slot)) found = i;
  }
  return found;
}

// The token's text for an error: its key as written (for a bare token, its value).
std::string_view TokenKey(const TCommandLine& line, int i) { return line.Key(i); }

// A layer index given by `name`: checked against the bands and made the current layer. Without
// the parameter, the current layer.
int ValidatedLayer(Engine& engine, const TCommandLine& line, std::string_view name = "LAYER", int slot = 1) {
  LayerTable& layers = engine.layers;
  const int token = FindToken(line, name, slot);
  if (token == 0 || line.Value(token)[0] == '\0') return layers.currentLayer;
  const std::int32_t index = ParseNumber(line.Value(token));
  if (index < 0 || index >= layers.Total()) ThrowError(ErrRange, TokenKey(line, token));
  layers.currentLayer = index;
  return index;
}

// The layer of a command that leaves an empty slot alone and makes an occupied one a bitmap
// layer (replacing a text or filter layer): nullptr for an empty slot.
TBitmapLayer* OccupiedAsBitmap(Engine& engine, const TCommandLine& line) {
  const int index = ValidatedLayer(engine, line);
  if (engine.layers.At(index) == nullptr) return nullptr;
  return &GetBitmapLayer(engine, index);
}

// LAYER or LAYER2 of @BitBlt and @BitBltEx: the current layer by default and not made current;
// only kept inside the table.
int CopyLayer(const Engine& engine, const TCommandLine& line, std::string_view name, int slot) {
  const int token = FindToken(line, name, slot);
  if (token == 0 || line.Value(token)[0] == '\0') return engine.layers.currentLayer;
  const std::int32_t index = ParseNumber(line.Value(token));
  if (index < 0 || index >= LayerTable::SlotCount) ThrowError(ErrRange, TokenKey(line, token));
  return index;
}

// The four numbers of a rectangle ("x, y, width, height"); missing items read as 0.
struct ScriptRect {
  std::int32_t x = 0, y = 0, width = 0, height = 0;
};
ScriptRect ReadRect(const char* value) {
  if (value == nullptr) return {};
  const TWordList items(value);
  return {ParseNumber(items.Item(1)), ParseNumber(items.Item(2)), ParseNumber(items.Item(3)),
          ParseNumber(items.Item(4))};
}

bool IsTrue(const char* value) { return EqualsNoCase(value, "TRUE"); }
bool IsFalse(const char* value) { return EqualsNoCase(value, "FALSE"); }

// PARAM of the filter and transition commands: each non-empty item i (1..63) is kept as the text
// of argv[i] (at most 63 bytes) and its number as parameter i of `params`.
template <typename Param> void ApplyParamList(Engine& engine, const char* list, Param* params, int lastItem) {
  const TWordList items(list);
  for (int i = 1; i <= lastItem; ++i) {
    const char* item = items.Item(i);
    if (item[0] == '\0') continue;
    const std::string name = FormatText("argv[%d]", i);
    engine.variables.SetVarText(name, item);
    if (i <= VELMO_PARAM_COUNT) params[i - 1] = ParseNumber(engine.variables.GetVar(name));
  }
}

CommandResult CmdAssignLayer(ScriptContext& ctx) {
  LayerTable& layers = ctx.engine.layers;
  std::int64_t end = 0;
  std::int64_t ends[3];
  const char* names[3] = {"USER", "WINDOW", "TEXT"};
  for (int band = 0; band < 3; ++band) {
    const char* value = FindParam(ctx.line, names[band], band + 1);
    end += value != nullptr ? ParseNumber(value) : 0;
    ends[band] = end;
  }
  layers.userEnd = Saturate32(ends[0]);
  layers.windowEnd = Saturate32(ends[1]);
  layers.textEnd = Saturate32(ends[2]);
  if (ends[0] > LayerTable::SlotCount || ends[1] > LayerTable::SlotCount || ends[2] > LayerTable::SlotCount) {
    ThrowFatal(ErrRange, "無し");
  }
  ResetAllLayers(ctx.engine);
  return CommandResult::Continue;
}

CommandResult CmdInitAllLayer(ScriptContext& ctx) {
  ResetAllLayers(ctx.engine);
  return CommandResult::Continue;
}

CommandResult CmdBGColor(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  LayerTable& layers = ctx.engine.layers;
  for (int i = 2; i <= line.Written(); ++i) {
    const char* value = line.Value(i);
    if (value[0] == '\0') continue;
    if (IsParam(line, i, "COLOR", 1)) {
      layers.backgroundColor = static_cast<std::uint32_t>(ParseNumber(value)) | ScriptColorFlag;
    } else if (IsParam(line, i, "TEXT", 0)) {
      layers.textLayerColor = static_cast<std::uint32_t>(ParseNumber(value)) | ScriptColorFlag;
    }
  }
  return CommandResult::Continue;
}

CommandResult CmdTextLayer(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  LayerTable& layers = engine.layers;
  std::int32_t index = layers.messageLayer;
  if (const char* value = FindParam(line, "LAYER", 1); value != nullptr && value[0] != '\0') {
    const std::int64_t wanted = std::int64_t{layers.windowEnd} + ParseNumber(value);
    if (wanted < std::max(layers.windowEnd, 0) || wanted >= layers.Total()) ThrowError(ErrRange, "無し");
    index = static_cast<std::int32_t>(wanted);
  }
  layers.messageLayer = index;
  auto& layer = static_cast<TTextLayer&>(*GetLayer(engine, index, LayerKind::Text));
  for (int i = 2; i <= line.Written(); ++i) {
    const char* value = line.Value(i);
    if (value[0] == '\0') continue;
    if (IsParam(line, i, "MODE", 2)) {
      if (EqualsNoCase(value, "STREAM")) {
        layer.mode = 1;
      } else if (EqualsNoCase(value, "BUFFER")) {
        layer.mode = 2;
      } else if (EqualsNoCase(value, "DEFAULT")) {
        layer.mode = 3;
      } else {
        ThrowError(ErrSyntax, value);
      }
    } else if (IsParam(line, i, "RECT", 0)) {
      const ScriptRect rect = ReadRect(value);
      layer.rect = {rect.x, rect.y, rect.width, rect.height};
    }
  }
  return CommandResult::Continue;
}

CommandResult CmdLayer(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  TBitmapLayer* occupied = OccupiedAsBitmap(engine, line);
  if (occupied == nullptr) return CommandResult::Continue;
  TBitmapLayer& layer = *occupied;
  for (int i = 2; i <= line.Written(); ++i) {
    const char* value = line.Value(i);
    if (value[0] == '\0') continue;
    if (IsParam(line, i, "MODE", 2)) {
      if (EqualsNoCase(value, "TRANSPARENT")) {
        layer.mode = ModeTransparent;
      } else if (EqualsNoCase(value, "COPY")) {
        layer.mode = ModeCopy;
      } else {
        ThrowError(ErrSyntax, value);
      }
    } else if (IsParam(line, i, "GEOMETRY", 0)) {
      static constexpr const char* Geometries[] = {"NORMAL", "REVERSE", "UPSIDEDOWN", "TURNOVER"};
      const auto* found = std::find_if(std::begin(Geometries), std::end(Geometries),
                                       [&](const char* word) { return EqualsNoCase(value, word); });
      if (found == std::end(Geometries)) ThrowError(ErrSyntax, value);
      layer.geometry = static_cast<std::int32_t>(found - std::begin(Geometries));
    } else if (IsParam(line, i, "ALPHA", 0)) {
      layer.level = static_cast<std::uint16_t>(std::int64_t{ParseNumber(value)} * 256 / 100);
    } else if (IsParam(line, i, "OMEGA", 0)) {
      layer.level = static_cast<std::uint16_t>(256 - std::int64_t{ParseNumber(value)} * 256 / 100);
    }
  }
  return CommandResult::Continue;
}

CommandResult CmdLoadLayer(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  TBitmapLayer& layer = GetBitmapLayer(engine, ValidatedLayer(engine, line));
  layer.visible = 1;
  for (int i = 2; i <= line.Written(); ++i) {
    const char* value = line.Value(i);
    if (value[0] == '\0') continue;
    if (IsFlagWord(line, i, "SHOW")) {
      layer.visible = 1;
    } else if (IsParam(line, i, "SRC", 2)) {
      const std::string file = RestoredText(value);
      if (EqualsNoCase(file, "DISCARD")) {
        layer.Discard(engine);
      } else if (!layer.Load(engine, file)) {
        ThrowError(ErrBadFormat, file);
      }
    } else if (IsParam(line, i, "LEFT", 3) || IsParam(line, i, "X", 0)) {
      layer.x = ParseNumber(value);
    } else if (IsParam(line, i, "TOP", 4) || IsParam(line, i, "Y", 0)) {
      layer.y = ParseNumber(value);
    } else if (line.IsBare(i) && i == 6) {
      layer.visible = 1;
    } else if (IsParam(line, i, "SHOW", 0)) {
      if (IsTrue(value)) layer.visible = 1;
      if (IsFalse(value)) layer.visible = 0;
    }
  }
  return CommandResult::Continue;
}

CommandResult LoadMask(ScriptContext& ctx, bool inverted) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  TBitmapLayer& layer = GetBitmapLayer(engine, ValidatedLayer(engine, line));
  for (int i = 2; i <= line.Written(); ++i) {
    const char* value = line.Value(i);
    if (value[0] == '\0' || !IsParam(line, i, "SRC", 2)) continue;
    const std::string file = RestoredText(value);
    if (EqualsNoCase(file, "DISCARD")) {
      layer.DiscardMask();
    } else if (!layer.LoadMask(engine, file, inverted)) {
      ThrowError(ErrBadFormat, file);
    }
  }
  return CommandResult::Continue;
}

CommandResult CmdLoadAlpha(ScriptContext& ctx) { return LoadMask(ctx, false); }
CommandResult CmdLoadOmega(ScriptContext& ctx) { return LoadMask(ctx, true); }

CommandResult CmdDiscardLayer(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  if (TLayer* layer = engine.layers.At(ValidatedLayer(engine, ctx.line))) layer->Discard(engine);
  return CommandResult::Continue;
}

CommandResult CmdDiscardAlpha(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  TLayer* layer = engine.layers.At(ValidatedLayer(engine, ctx.line));
  if (layer != nullptr && layer->kind == LayerKind::Bitmap) static_cast<TBitmapLayer*>(layer)->DiscardMask();
  return CommandResult::Continue;
}

CommandResult CmdShowLayer(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  TLayer* layer = engine.layers.At(ValidatedLayer(engine, line));
  if (layer == nullptr) return CommandResult::Continue;
  layer->visible = 1;
  for (int i = 2; i <= line.Written(); ++i) {
    const char* value = line.Value(i);
    if (value[0] == '\0') continue;
    const bool shows = EqualsNoCase(value, "TRUE") || EqualsNoCase(value, "SHOW");
    const bool hides = EqualsNoCase(value, "FALSE") || EqualsNoCase(value, "HIDE");
    if (IsParam(line, i, "SHOW", 2)) {
      if (!shows && !hides) ThrowError(ErrSyntax, value);
      layer->visible = shows ? 1 : 0;
    } else if (line.IsBare(i) && (shows || hides)) {
      layer->visible = shows ? 1 : 0;
    }
  }
  return CommandResult::Continue;
}

CommandResult CmdOffsetLayer(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  TBitmapLayer* occupied = OccupiedAsBitmap(engine, line);
  if (occupied == nullptr) return CommandResult::Continue;
  TBitmapLayer& layer = *occupied;
  for (int i = 2; i <= line.Written(); ++i) {
    const char* value = line.Value(i);
    if (value[0] == '\0') continue;
    if (IsParam(line, i, "LEFT", 2) || IsParam(line, i, "X", 0)) {
      layer.x = ParseNumber(value);
    } else if (IsParam(line, i, "TOP", 3) || IsParam(line, i, "Y", 0)) {
      layer.y = ParseNumber(value);
    }
  }
  return CommandResult::Continue;
}

// The source picture of @BitBlt and @BitBltEx: the slot's bitmap layer's picture, or nullptr.
const Picture* CopySource(const Engine& engine, int index) {
  const TLayer* layer = engine.layers.At(index);
  if (layer == nullptr || layer->kind != LayerKind::Bitmap) return nullptr;
  const auto& bitmap = static_cast<const TBitmapLayer&>(*layer);
  return bitmap.picture ? &*bitmap.picture : nullptr;
}

CommandResult CmdBitBlt(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  const int sourceIndex = CopyLayer(engine, line, "LAYER", 1);
  const int targetIndex = CopyLayer(engine, line, "LAYER2", 3);
  const ScriptRect from = ReadRect(FindParam(line, "RECT", 2));
  const ScriptRect to = ReadRect(FindParam(line, "RECT2", 4));
  if (CopySource(engine, sourceIndex) == nullptr) return CommandResult::Continue;
  TBitmapLayer& target = GetBitmapLayer(engine, targetIndex);
  if (!target.picture) target.MakeBlankPicture(engine);
  Picture& picture = *target.picture;
  // A copy inside one picture reads from a snapshot, so that rows it writes are not read again.
  std::optional<Picture> snapshot;
  if (sourceIndex == targetIndex) snapshot = picture;
  const Picture& source = snapshot ? *snapshot : *CopySource(engine, sourceIndex);
  CopyPixelRect(source.pixels.data(), source.width, source.height, from.x, from.y, from.width, from.height,
                picture.pixels.data(), picture.width, picture.height, to.x, to.y);
  return CommandResult::Continue;
}

CommandResult CmdBitBltEx(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  const int sourceIndex = CopyLayer(engine, line, "LAYER", 1);
  const ScriptRect from = ReadRect(FindParam(line, "RECT", 2));
  const ScriptRect to = ReadRect(FindParam(line, "RECT2", 4));
  const Picture* source = CopySource(engine, sourceIndex);
  if (source == nullptr) return CommandResult::Continue;
  engine.platform.graphics.Flush();
  CopyPixelRect(source->pixels.data(), source->width, source->height, from.x, from.y, from.width, from.height,
                engine.screenSurface->Bits(), TSurface::Width, TSurface::Height, to.x, to.y);
  IWindow& window = engine.platform.window;
  window.Invalidate(to.x, to.y, Saturate32(std::int64_t{to.x} + from.width),
                    Saturate32(std::int64_t{to.y} + from.height));
  window.Update();
  return CommandResult::Continue;
}

CommandResult CmdLoadFilter(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  auto& layer = static_cast<TFilterLayer&>(*GetLayer(engine, ValidatedLayer(engine, line), LayerKind::Filter));
  layer.visible = 1;
  for (int i = 2; i <= line.Written(); ++i) {
    const char* value = line.Value(i);
    if (value[0] == '\0') continue;
    if (IsParam(line, i, "TYPE", 2)) {
      if (EqualsNoCase(value, "DISCARD")) {
        layer.Discard(engine);
      } else {
        layer.Load(engine, value);
      }
    } else if (IsParam(line, i, "SHOW", 3)) {
      if (IsTrue(value)) layer.visible = 1;
      if (IsFalse(value)) layer.visible = 0;
    }
  }
  for (int i = 2; i <= line.Written(); ++i) {
    if (IsParam(line, i, "PARAM", 0) && line.Value(i)[0] != '\0')
      ApplyParamList(engine, line.Value(i), layer.Block().params, 64);
  }
  return CommandResult::Continue;
}

// The transition named `name` of the plug-ins, or a record without a function.
EffectRecord FindTransition(const Engine& engine, const char* name, const char* infoExport) {
  EffectRecord record;
  record.info.name = name;
  record.function = engine.plugins.FindEffect(record.info, VELMO_TAG_EFFECT, infoExport, &record.variant);
  if (record.function == nullptr) record = EffectRecord{};
  return record;
}

CommandResult CmdSetTransition(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  EffectRecord& transition = engine.currentTransition;
  if (const char* type = FindParam(line, "TYPE", 1); type != nullptr && type[0] != '\0') {
    transition = FindTransition(engine, type, TransitionInfoExport);
  }
  if (transition.function == nullptr)
    transition.info.intervalMs = static_cast<std::int32_t>(DefaultTransitionIntervalMs);
  for (int i = 2; i <= line.Written(); ++i) {
    const char* value = line.Value(i);
    if (value[0] == '\0') continue;
    if (IsParam(line, i, "WAIT", 2)) {
      transition.info.intervalMs = ParseNumber(value);
    } else if (IsParam(line, i, "PARAM", 0)) {
      ApplyParamList(engine, value, transition.info.params, VELMO_PARAM_COUNT);
    }
  }
  return CommandResult::Continue;
}

// Starts the pending transition or effect for the frame driver and stops the interpreter.
CommandResult RunPending(Engine& engine, bool animate) {
  engine.transition = &engine.effects;
  engine.runState = animate ? RunState::TransitionStep : RunState::TransitionEnd;
  return CommandResult::Stop;
}

CommandResult CmdEffect(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  bool animate = engine.settings.effect != 0 && !engine.skipToOption;
  EffectRecord pending;
  for (int i = 2; i <= line.Written(); ++i) {
    const char* value = line.Value(i);
    if (IsFlagWord(line, i, "MODE")) {
      animate = true;
    } else if (value[0] == '\0') {
      continue;
    } else if (IsParam(line, i, "TYPE", 1)) {
      pending = FindTransition(engine, value, EffectInfoExport);
      break;
    } else if (IsParam(line, i, "MODE", 0)) {
      if (IsTrue(value)) animate = true;
      if (IsFalse(value)) animate = false;
    }
  }
  if (pending.function == nullptr) return CommandResult::Continue;
  TSurface& previous = *engine.previousSurface;
  engine.effects.Start(pending, *engine.screenSurface, previous, previous);
  EffectRecord& record = engine.effects.Pending();
  for (int i = 2; i <= line.Written(); ++i) {
    const char* value = line.Value(i);
    if (value[0] == '\0') continue;
    if (IsParam(line, i, "WAIT", 2)) {
      record.info.intervalMs = ParseNumber(value);
    } else if (IsParam(line, i, "PARAM", 0)) {
      ApplyParamList(engine, value, engine.effects.Block().params, VELMO_PARAM_COUNT);
    }
  }
  engine.platform.graphics.Flush();
  std::memcpy(previous.Bits(), engine.screenSurface->Bits(), TSurface::Size);
  return RunPending(engine, animate);
}

CommandResult CmdUpdateScreen(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  ComposeAll(engine);
  std::memcpy(engine.previousSurface->Bits(), engine.screenSurface->Bits(), TSurface::Size);
  bool animate = engine.settings.transition != 0 && !engine.skipToOption;
  EffectRecord pending = engine.currentTransition;
  for (int i = 2; i <= line.Written(); ++i) {
    const char* value = line.Value(i);
    if (value[0] == '\0') continue;
    if (IsParam(line, i, "TYPE", 0)) {
      pending = FindTransition(engine, value, TransitionInfoExport);
    } else if (IsParam(line, i, "MODE", 1)) {
      if (EqualsNoCase(value, "FADE")) animate = true;
      if (EqualsNoCase(value, "NOFADE")) animate = false;
    }
  }
  if (pending.function == nullptr) pending.info.intervalMs = static_cast<std::int32_t>(DefaultTransitionIntervalMs);
  engine.effects.Start(pending, *engine.screenSurface, *engine.previousSurface, *engine.composeSurface);
  EffectRecord& record = engine.effects.Pending();
  for (int i = 2; i <= line.Written(); ++i) {
    const char* value = line.Value(i);
    if (value[0] == '\0') continue;
    if (IsParam(line, i, "WAIT", 0)) {
      record.info.intervalMs = ParseNumber(value);
    } else if (IsParam(line, i, "PARAM", 0)) {
      ApplyParamList(engine, value, engine.effects.Block().params, VELMO_PARAM_COUNT);
    }
  }
  return RunPending(engine, animate);
}

} // namespace

void RegisterLayerCommands(CommandTable& table) {
  static constexpr CommandSpec Commands[] = {
      {"@AssignLayer", CmdAssignLayer},
      {"@InitAllLayer", CmdInitAllLayer},
      {"@BGColor", CmdBGColor},
      {"@TextLayer", CmdTextLayer},
      {"@Layer", CmdLayer},
      {"@LoadLayer", CmdLoadLayer},
      {"@LoadAlpha", CmdLoadAlpha},
      {"@LoadOmega", CmdLoadOmega},
      {"@DiscardLayer", CmdDiscardLayer},
      {"@DiscardAlpha", CmdDiscardAlpha},
      {"@ShowLayer", CmdShowLayer},
      {"@OffsetLayer", CmdOffsetLayer},
      {"@BitBlt", CmdBitBlt},
      {"@BitBltEx", CmdBitBltEx},
      {"@LoadFilter", CmdLoadFilter},
      {"@SetTransition", CmdSetTransition},
      {"@Effect", CmdEffect},
      {"@UpdateScreen", CmdUpdateScreen},
  };
  table.Add(CommandGroup::LayerScreen, Commands);
}

} // namespace velmo
