// The layer and screen commands: arranging the layer table, loading pictures, masks and filters,
// copying rectangles, choosing transitions and effects, and showing the composed frame.
#include "engine/commands/layer_commands.h"

#include "engine/base/errors.h"
#include "engine/base/escapes.h"
#include "engine/base/parse_number.h"
#include "engine/base/sjis.h"
#include "engine/core/engine.h"
#include "engine/graphics/compositor.h"
#include "engine/graphics/layers.h"
#include "engine/graphics/picture_loader.h"
#include "engine/graphics/pixels.h"
#include "engine/graphics/screen.h"
#include "engine/platform/platform.h"
#include "engine/plugin/plugin_set.h"
#include "engine/script/arguments.h"
#include "engine/script/command_line.h"
#include "engine/script/script_state.h"
#include "engine/script/word_list.h"

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
  for (const ParamToken p : Params(line)) {
    if (p.Is(name, slot)) found = p.Index();
  }
  return found;
}

// The token's text for an error: its key as written (for a bare token, its value).
std::string_view TokenKey(const TCommandLine& line, int i) { return line.Key(i); }

// A layer index given by `name`: checked against the bands and made the current layer. Without
// the parameter, the current layer.
int ValidatedLayer(Engine& engine, const TCommandLine& line, std::string_view name = "LAYER", int slot = 1) {
  LayerTable& layers = engine.screen.layers;
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
  if (engine.screen.layers.At(index) == nullptr) return nullptr;
  return &engine.screen.layers.GetBitmapLayer(index);
}

// LAYER or LAYER2 of @BitBlt and @BitBltEx: the current layer by default and not made current;
// only kept inside the table.
int CopyLayer(const Engine& engine, const TCommandLine& line, std::string_view name, int slot) {
  const int token = FindToken(line, name, slot);
  if (token == 0 || line.Value(token)[0] == '\0') return engine.screen.layers.currentLayer;
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

// PARAM of the filter and transition commands: each non-empty item i (1..lastItem) is kept as the
// text of argv[i] (at most 63 bytes) and the number of that text as parameter i of `params`.
template <typename Param> void ApplyParamList(Engine& engine, const char* list, Param* params, int lastItem) {
  SetArguments(engine.script.variables, list, ArgumentItems::NonEmpty, lastItem, [&](int i, const char* stored) {
    if (i <= VELMO_PARAM_COUNT) params[i - 1] = ParseNumber(stored);
  });
}

CommandResult CmdAssignLayer(ScriptContext& ctx) {
  LayerTable& layers = ctx.engine.screen.layers;
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
  layers.ResetAllLayers();
  return CommandResult::Continue;
}

CommandResult CmdInitAllLayer(ScriptContext& ctx) {
  ctx.engine.screen.layers.ResetAllLayers();
  return CommandResult::Continue;
}

CommandResult CmdBGColor(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  LayerTable& layers = ctx.engine.screen.layers;
  for (const ParamToken p : Params(line)) {
    if (p.Empty()) continue;
    if (p.Is("COLOR", 1)) {
      layers.backgroundColor = static_cast<std::uint32_t>(ParseNumber(p.Value())) | ScriptColorFlag;
    } else if (p.Is("TEXT")) {
      layers.textLayerColor = static_cast<std::uint32_t>(ParseNumber(p.Value())) | ScriptColorFlag;
    }
  }
  return CommandResult::Continue;
}

CommandResult CmdTextLayer(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  LayerTable& layers = engine.screen.layers;
  std::int32_t index = layers.messageLayer;
  if (const char* value = FindParam(line, "LAYER", 1); value != nullptr && value[0] != '\0') {
    const std::int64_t wanted = std::int64_t{layers.windowEnd} + ParseNumber(value);
    if (wanted < std::max(layers.windowEnd, 0) || wanted >= layers.Total()) ThrowError(ErrRange, "無し");
    index = static_cast<std::int32_t>(wanted);
  }
  layers.messageLayer = index;
  auto& layer = static_cast<TTextLayer&>(*layers.GetLayer(index, LayerKind::Text));
  for (const ParamToken p : Params(line)) {
    const char* value = p.Value();
    if (p.Empty()) continue;
    if (p.Is("MODE", 2)) {
      if (EqualsNoCase(value, "STREAM")) {
        layer.mode = TextOutputMode::Stream;
      } else if (EqualsNoCase(value, "BUFFER")) {
        layer.mode = TextOutputMode::Buffer;
      } else if (EqualsNoCase(value, "DEFAULT")) {
        layer.mode = TextOutputMode::Default;
      } else {
        ThrowError(ErrSyntax, value);
      }
    } else if (p.Is("RECT")) {
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
  for (const ParamToken p : Params(line)) {
    const char* value = p.Value();
    if (p.Empty()) continue;
    if (p.Is("MODE", 2)) {
      if (EqualsNoCase(value, "TRANSPARENT")) {
        layer.mode = ModeTransparent;
      } else if (EqualsNoCase(value, "COPY")) {
        layer.mode = ModeCopy;
      } else {
        ThrowError(ErrSyntax, value);
      }
    } else if (p.Is("GEOMETRY")) {
      static constexpr const char* Geometries[] = {"NORMAL", "REVERSE", "UPSIDEDOWN", "TURNOVER"};
      const auto* found = std::find_if(std::begin(Geometries), std::end(Geometries),
                                       [&](const char* word) { return EqualsNoCase(value, word); });
      if (found == std::end(Geometries)) ThrowError(ErrSyntax, value);
      layer.geometry = static_cast<std::int32_t>(found - std::begin(Geometries));
    } else if (p.Is("ALPHA")) {
      layer.level = static_cast<std::uint16_t>(std::int64_t{ParseNumber(value)} * 256 / 100);
    } else if (p.Is("OMEGA")) {
      layer.level = static_cast<std::uint16_t>(256 - std::int64_t{ParseNumber(value)} * 256 / 100);
    }
  }
  return CommandResult::Continue;
}

CommandResult CmdLoadLayer(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  TBitmapLayer& layer = engine.screen.layers.GetBitmapLayer(ValidatedLayer(engine, line));
  layer.visible = 1;
  for (const ParamToken p : Params(line)) {
    const char* value = p.Value();
    if (p.Empty()) continue;
    if (p.IsFlag("SHOW")) {
      layer.visible = 1;
    } else if (p.Is("SRC", 2)) {
      const std::string file = RestoredText(value);
      if (EqualsNoCase(file, "DISCARD")) {
        layer.Discard();
      } else if (!layer.Load(engine.Pictures(), file)) {
        ThrowError(ErrBadFormat, file);
      } else {
        // Scripts read the picture's size from argv[1] and argv[2].
        engine.script.variables.SetVarNumber("argv[1]", layer.picture->width);
        engine.script.variables.SetVarNumber("argv[2]", layer.picture->height);
      }
    } else if (p.Is("LEFT", 3) || p.Is("X")) {
      layer.x = ParseNumber(value);
    } else if (p.Is("TOP", 4) || p.Is("Y")) {
      layer.y = ParseNumber(value);
    } else if (p.IsBare() && p.Index() == 6) {
      layer.visible = 1;
    } else if (p.Is("SHOW")) {
      if (IsTrue(value)) layer.visible = 1;
      if (IsFalse(value)) layer.visible = 0;
    }
  }
  return CommandResult::Continue;
}

CommandResult LoadMask(ScriptContext& ctx, bool inverted) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  TBitmapLayer& layer = engine.screen.layers.GetBitmapLayer(ValidatedLayer(engine, line));
  for (const ParamToken p : Params(line)) {
    if (p.Empty() || !p.Is("SRC", 2)) continue;
    const std::string file = RestoredText(p.Value());
    if (EqualsNoCase(file, "DISCARD")) {
      layer.DiscardMask();
    } else if (!layer.LoadMask(engine.Pictures(), file, inverted)) {
      ThrowError(ErrBadFormat, file);
    }
  }
  return CommandResult::Continue;
}

CommandResult CmdLoadAlpha(ScriptContext& ctx) { return LoadMask(ctx, false); }
CommandResult CmdLoadOmega(ScriptContext& ctx) { return LoadMask(ctx, true); }

CommandResult CmdDiscardLayer(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  LayerTable& layers = engine.screen.layers;
  if (TLayer* layer = layers.At(ValidatedLayer(engine, ctx.line))) layer->Discard(layers);
  return CommandResult::Continue;
}

CommandResult CmdDiscardAlpha(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  TLayer* layer = engine.screen.layers.At(ValidatedLayer(engine, ctx.line));
  if (layer != nullptr && layer->kind == LayerKind::Bitmap) static_cast<TBitmapLayer*>(layer)->DiscardMask();
  return CommandResult::Continue;
}

CommandResult CmdShowLayer(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  TLayer* layer = engine.screen.layers.At(ValidatedLayer(engine, line));
  if (layer == nullptr) return CommandResult::Continue;
  layer->visible = 1;
  for (const ParamToken p : Params(line)) {
    const char* value = p.Value();
    if (p.Empty()) continue;
    const bool shows = EqualsNoCase(value, "TRUE") || EqualsNoCase(value, "SHOW");
    const bool hides = EqualsNoCase(value, "FALSE") || EqualsNoCase(value, "HIDE");
    if (p.Is("SHOW", 2)) {
      if (!shows && !hides) ThrowError(ErrSyntax, value);
      layer->visible = shows ? 1 : 0;
    } else if (p.IsBare() && (shows || hides)) {
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
  for (const ParamToken p : Params(line)) {
    if (p.Empty()) continue;
    if (p.Is("LEFT", 2) || p.Is("X")) {
      layer.x = ParseNumber(p.Value());
    } else if (p.Is("TOP", 3) || p.Is("Y")) {
      layer.y = ParseNumber(p.Value());
    }
  }
  return CommandResult::Continue;
}

// The source picture of @BitBlt and @BitBltEx: the slot's bitmap layer's picture, or nullptr.
const Picture* CopySource(const Engine& engine, int index) {
  const TLayer* layer = engine.screen.layers.At(index);
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
  const TLayer* sourceLayer = engine.screen.layers.At(sourceIndex);
  if (sourceLayer == nullptr || sourceLayer->kind != LayerKind::Bitmap) return CommandResult::Continue;
  // The destination is made ready even when the source has no picture to copy.
  TBitmapLayer& target = engine.screen.layers.GetBitmapLayer(targetIndex);
  if (!target.picture) target.MakeBlankPicture(engine.screen.layers.backgroundColor);
  if (CopySource(engine, sourceIndex) == nullptr) return CommandResult::Continue;
  Picture& picture = *target.picture;
  // A copy inside one picture reads from a snapshot, so that rows it writes are not read again.
  std::optional<Picture> snapshot;
  if (sourceIndex == targetIndex) snapshot = picture;
  const Picture& source = snapshot ? *snapshot : *CopySource(engine, sourceIndex);
  CopyPixelRect(source.View(), from.x, from.y, from.width, from.height, picture.View(), to.x, to.y);
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
  CopyPixelRect(source->View(), from.x, from.y, from.width, from.height, engine.screen.screenSurface->View(), to.x,
                to.y);
  IWindow& window = engine.platform.window;
  window.Invalidate(to.x, to.y, Saturate32(std::int64_t{to.x} + from.width),
                    Saturate32(std::int64_t{to.y} + from.height));
  window.Update();
  return CommandResult::Continue;
}

CommandResult CmdLoadFilter(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  const int index = ValidatedLayer(engine, line);
  auto& layer = static_cast<TFilterLayer&>(*engine.screen.layers.GetLayer(index, LayerKind::Filter));
  layer.visible = 1;
  for (const ParamToken p : Params(line)) {
    const char* value = p.Value();
    if (p.Empty()) continue;
    if (p.Is("TYPE", 2)) {
      if (EqualsNoCase(value, "DISCARD")) {
        layer.Discard();
      } else {
        layer.Load(engine.plugins.list, value);
      }
    } else if (p.Is("SHOW", 3)) {
      if (IsTrue(value)) layer.visible = 1;
      if (IsFalse(value)) layer.visible = 0;
    }
  }
  for (const ParamToken p : Params(line)) {
    if (p.Is("PARAM") && !p.Empty()) ApplyParamList(engine, p.Value(), layer.Block().params, 64);
  }
  return CommandResult::Continue;
}

// The transition named `name` of the plug-ins, or a record without a function.
EffectRecord FindTransition(const Engine& engine, const char* name, const char* infoExport) {
  EffectRecord record;
  record.info.name = name;
  record.function = engine.plugins.list.FindEffect(record.info, VELMO_TAG_EFFECT, infoExport, &record.variant);
  if (record.function == nullptr) record = EffectRecord{};
  return record;
}

CommandResult CmdSetTransition(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  EffectRecord& transition = engine.plugins.currentTransition;
  if (const char* type = FindParam(line, "TYPE", 1); type != nullptr && type[0] != '\0') {
    transition = FindTransition(engine, type, TransitionInfoExport);
  }
  // Without a function of its own the record takes the built-in transition; once it has one, a
  // later WAIT changes only the interval.
  if (!transition.HasFunction()) transition.InstallDefaultTransition();
  for (const ParamToken p : Params(line)) {
    if (p.Empty()) continue;
    if (p.Is("WAIT", 2)) {
      transition.info.intervalMs = ParseNumber(p.Value());
    } else if (p.Is("PARAM")) {
      ApplyParamList(engine, p.Value(), transition.info.params, VELMO_PARAM_COUNT);
    }
  }
  return CommandResult::Continue;
}

// Starts the pending transition or effect for the frame driver and stops the interpreter.
CommandResult RunPending(Engine& engine, bool animate) {
  engine.run.state = animate ? RunState::TransitionStep : RunState::TransitionEnd;
  return CommandResult::Stop;
}

CommandResult CmdEffect(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  bool animate = engine.settings.effect != 0 && !engine.run.SkippingPages();
  EffectRecord pending;
  for (const ParamToken p : Params(line)) {
    const char* value = p.Value();
    if (p.IsFlag("MODE")) {
      animate = true;
    } else if (p.Empty()) {
      continue;
    } else if (p.Is("TYPE", 1)) {
      pending = FindTransition(engine, value, EffectInfoExport);
      break;
    } else if (p.Is("MODE")) {
      if (IsTrue(value)) animate = true;
      if (IsFalse(value)) animate = false;
    }
  }
  if (pending.function == nullptr) return CommandResult::Continue;
  TSurface& previous = *engine.screen.previousSurface;
  engine.plugins.host.Start(pending, *engine.screen.screenSurface, previous, previous);
  EffectRecord& record = engine.plugins.host.Pending();
  for (const ParamToken p : Params(line)) {
    if (p.Empty()) continue;
    if (p.Is("WAIT", 2)) {
      record.info.intervalMs = ParseNumber(p.Value());
    } else if (p.Is("PARAM")) {
      ApplyParamList(engine, p.Value(), engine.plugins.host.Block().params, VELMO_PARAM_COUNT);
    }
  }
  engine.platform.graphics.Flush();
  std::memcpy(previous.Bits(), engine.screen.screenSurface->Bits(), TSurface::Size);
  return RunPending(engine, animate);
}

CommandResult CmdUpdateScreen(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  ComposeAll(engine.screen);
  std::memcpy(engine.screen.previousSurface->Bits(), engine.screen.screenSurface->Bits(), TSurface::Size);
  bool animate = engine.settings.transition != 0 && !engine.run.SkippingPages();
  EffectRecord pending = engine.plugins.currentTransition;
  for (const ParamToken p : Params(line)) {
    const char* value = p.Value();
    if (p.Empty()) continue;
    if (p.Is("TYPE")) {
      pending = FindTransition(engine, value, TransitionInfoExport);
    } else if (p.Is("MODE", 1)) {
      if (EqualsNoCase(value, "FADE")) animate = true;
      if (EqualsNoCase(value, "NOFADE")) animate = false;
    }
  }
  if (!pending.HasFunction()) pending.InstallDefaultTransition();
  engine.plugins.host.Start(pending, *engine.screen.screenSurface, *engine.screen.previousSurface,
                            *engine.screen.composeSurface);
  EffectRecord& record = engine.plugins.host.Pending();
  for (const ParamToken p : Params(line)) {
    if (p.Empty()) continue;
    if (p.Is("WAIT")) {
      record.info.intervalMs = ParseNumber(p.Value());
    } else if (p.Is("PARAM")) {
      ApplyParamList(engine, p.Value(), engine.plugins.host.Block().params, VELMO_PARAM_COUNT);
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
