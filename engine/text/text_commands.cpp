// The text and selection commands: @Text, @TextFont and @TextColor set up the message window;
// @BeginSelect, @Option, @Button and @EndSelect offer choices.
#include "engine/text/text_commands.h"

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
#include "engine/text/message_window.h"
#include "engine/text/selection.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace velmo {
namespace {

// Copies a face name into the 32-byte field, cut before its 32nd byte on a character boundary.
void SetFace(FontDescription& description, std::string_view face) {
  const std::string_view kept = CutAtCharBoundary(face, sizeof description.faceName - 1);
  std::memset(description.faceName, 0, sizeof description.faceName);
  std::memcpy(description.faceName, kept.data(), kept.size());
}

CommandResult CmdText(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  MessageWindow& window = *engine.ownMessageWindow;
  for (int i = 2; i <= line.Written(); ++i) {
    const char* value = line.Value(i);
    if (IsParam(line, i, "NOHEADINGCHAR", 0)) {
      window.noHeadingSet.Assign(value);
    } else if (IsParam(line, i, "NOCLOSINGCHAR", 0)) {
      window.noClosingSet.Assign(value);
    } else if (value[0] == '\0') {
      continue;
    } else if (IsParam(line, i, "WAIT", 0)) {
      engine.textStepIntervalMs = EqualsNoCase(value, "USER") ? -1 : ParseNumber(value);
    }
    // ALIGN and TYPESET are accepted and change nothing: text always runs horizontally.
  }
  return CommandResult::Continue;
}

CommandResult CmdTextFont(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  MessageWindow& window = *engine.ownMessageWindow;
  FontDescription& description = window.font.description;
  for (int i = 2; i <= line.Written(); ++i) {
    const char* value = line.Value(i);
    if (value[0] == '\0') continue;
    if (IsParam(line, i, "SIZE", 1)) {
      description.height = ParseNumber(value);
      description.width = 0;
      window.RecreateMessageFont();
    } else if (IsParam(line, i, "WEIGHT", 0)) {
      description.weight = ParseNumber(value);
      window.RecreateMessageFont();
    } else if (IsParam(line, i, "PITCH", 0)) {
      window.font.linePitch = ParseNumber(value);
    } else if (IsParam(line, i, "SPACING", 0)) {
      window.font.spacing = ParseNumber(value);
    } else if (IsParam(line, i, "FACE", 0)) {
      const bool user = EqualsNoCase(value, "USER") || engine.settings.forceUserFont != 0;
      SetFace(description, user ? std::string_view(engine.settings.faceName) : std::string_view(value));
      window.RecreateMessageFont();
    }
  }
  return CommandResult::Continue;
}

CommandResult CmdTextColor(ScriptContext& ctx) {
  static constexpr const char* Names[] = {"TEXT",   "TEXTBG",   "OPTION", "OPTIONBG",
                                          "ACTIVE", "ACTIVEBG", "CLICK",  "CLICKBG"};
  const TCommandLine& line = ctx.line;
  auto& colours = ctx.engine.ownMessageWindow->colours;
  for (int i = 2; i <= line.Written(); ++i) {
    const char* value = line.Value(i);
    if (value[0] == '\0') continue;
    for (int n = 0; n < 8; ++n) {
      if (!IsParam(line, i, Names[n], n == 0 ? 1 : 0)) continue;
      const std::uint32_t colour = static_cast<std::uint32_t>(ParseNumber(value)) | ScriptColorFlag;
      ColourPair& pair = colours[static_cast<std::size_t>(n / 2)];
      (n % 2 == 0 ? pair.text : pair.shadow) = colour;
      break;
    }
  }
  return CommandResult::Continue;
}

CommandResult CmdBeginSelect(ScriptContext& ctx) {
  std::int32_t mode = AutoActivateTrue;
  if (const char* value = FindParam(ctx.line, "AUTOACTIVATE", 0)) {
    if (EqualsNoCase(value, "FALSE") || EqualsNoCase(value, "DISABLE")) mode = AutoActivateFalse;
    if (EqualsNoCase(value, "ONCE")) mode = AutoActivateOnce;
  }
  ctx.engine.ownSelection->Begin(mode);
  return CommandResult::Continue;
}

// What @Option and @Button share: where the entry leads, its key and whether it is the default.
struct EntryTarget {
  bool found = false; // one of NAME, CODE, GOTO, RETURN
  std::int32_t kind = 0;
  std::string value;
  bool keyFound = false;
  char key = 0;
  std::int32_t keyKind = 0;
  bool isDefault = false;
};

// Reads token i if it is one of the shared parameters (GOTO and RETURN take the token after them
// too, moving i past it); false when it is none of them.
bool ReadTargetToken(const TCommandLine& line, int& i, EntryTarget& target) {
  const char* value = line.Value(i);
  auto setTarget = [&](std::int32_t kind, std::string text) {
    if (target.found) ThrowError(ErrExclusive, "無し");
    target.found = true;
    target.kind = kind;
    target.value = std::move(text);
  };
  auto setKey = [&](std::int32_t kind) {
    if (target.keyFound) ThrowError(ErrExclusive, "無し");
    target.keyFound = true;
    const char first = value[0];
    target.key = first >= 'a' && first <= 'z' ? static_cast<char>(first - 'a' + 'A') : first;
    target.keyKind = kind;
  };
  if (IsFlagWord(line, i, "DEFAULT")) {
    target.isDefault = true;
  } else if (IsFlagWord(line, i, "GOTO") || IsFlagWord(line, i, "RETURN")) {
    const bool jump = IsFlagWord(line, i, "GOTO");
    const char* next = i + 1 <= line.Written() ? line.Value(i + 1) : "";
    if (i + 1 <= line.Written()) ++i;
    setTarget(jump ? 0 : 1, RestoredText(next));
  } else if (IsParam(line, i, "NAME", 0)) {
    setTarget(0, RestoredText(value));
  } else if (IsParam(line, i, "CODE", 0)) {
    setTarget(1, value);
  } else if (IsParam(line, i, "ACCESSKEY", 0)) {
    setKey(AccessKey);
  } else if (IsParam(line, i, "HOTKEY", 0)) {
    setKey(HotKey);
  } else {
    return false;
  }
  return true;
}

void CheckRoom(const Selection& selection) {
  if (selection.Count() >= Selection::Capacity) ThrowError(ErrUnsupported, "64");
}

// Stores the entry's option[n] and adds it.
int AddEntry(Engine& engine, SelectionEntry& entry, const EntryTarget& target, std::string_view jumpByText) {
  Selection& selection = *engine.ownSelection;
  entry.kind = target.found ? target.kind : 0;
  entry.key = target.key;
  entry.keyKind = target.keyKind;
  std::string value = target.value;
  if (!target.found) value.assign(1, '#').append(jumpByText);
  engine.variables.SetVarText(FormatText("option[%d]", selection.Count()), value);
  return selection.Add(entry, target.isDefault);
}

CommandResult CmdOption(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  Selection& selection = *engine.ownSelection;
  CheckRoom(selection);
  const TCommandLine& line = ctx.line;
  EntryTarget target;
  const char* text = nullptr;
  for (int i = 2; i <= line.Written(); ++i) {
    if (ReadTargetToken(line, i, target)) continue;
    if (IsParam(line, i, "TEXT", 1) && line.Value(i)[0] != '\0') text = line.Value(i);
  }
  if (text == nullptr) ThrowError(ErrMissingParam, "無し");
  SelectionEntry entry;
  entry.text = text;
  TextLayerState& layout = engine.ownMessageWindow->Layout();
  entry.left = layout.CursorX();
  entry.top = layout.CursorY();
  selection.DrawOption(entry, OptionPair);
  layout.CursorX() = entry.right;
  AddEntry(engine, entry, target, text);
  engine.platform.window.Repaint();
  return CommandResult::Continue;
}

// LAYER or LAYER2 of @Button: a slot of the table (or -1, none, where `noneAllowed`), else
// ErrRange with the parameter's key.
std::int32_t ButtonLayer(const TCommandLine& line, std::string_view name, std::int32_t fallback, bool noneAllowed) {
  std::int32_t layer = fallback;
  for (int i = 2; i <= line.Written(); ++i) {
    if (!IsParam(line, i, name, 0) || line.Value(i)[0] == '\0') continue;
    layer = ParseNumber(line.Value(i));
    if (layer == -1 && noneAllowed) continue;
    if (layer < 0 || layer >= LayerTable::SlotCount) ThrowError(ErrRange, line.Key(i));
  }
  return layer;
}

CommandResult CmdButton(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  Selection& selection = *engine.ownSelection;
  CheckRoom(selection);
  const TCommandLine& line = ctx.line;
  EntryTarget target;
  const char* rect = nullptr;
  const char* activeAt = nullptr;
  const char* clickAt = nullptr;
  for (int i = 2; i <= line.Written(); ++i) {
    if (ReadTargetToken(line, i, target)) continue;
    const char* value = line.Value(i);
    if (value[0] == '\0') continue;
    if (IsParam(line, i, "RECT", 1)) rect = value;
    if (IsParam(line, i, "ACTIVE", 0)) activeAt = value;
    if (IsParam(line, i, "CLICK", 0)) clickAt = value;
  }
  if (rect == nullptr || !target.found) ThrowError(ErrMissingParam, "無し");
  const std::int32_t relativeTo = ButtonLayer(line, "LAYER", -1, true);
  const std::int32_t lookLayer = ButtonLayer(line, "LAYER2", engine.layers.currentLayer, false);
  std::int64_t dx = 0, dy = 0;
  if (relativeTo != -1) {
    const TLayer* layer = engine.layers.At(relativeTo);
    if (layer != nullptr && layer->kind == LayerKind::Bitmap) {
      dx = static_cast<const TBitmapLayer*>(layer)->x;
      dy = static_cast<const TBitmapLayer*>(layer)->y;
    }
  }
  const TWordList items(rect);
  SelectionEntry entry;
  entry.left = Saturate32(ParseNumber(items.Item(1)) + dx);
  entry.top = Saturate32(ParseNumber(items.Item(2)) + dy);
  entry.width = ParseNumber(items.Item(3));
  entry.height = ParseNumber(items.Item(4));
  entry.right = Saturate32(std::int64_t{entry.left} + entry.width);
  entry.bottom = Saturate32(std::int64_t{entry.top} + entry.height);
  GetLayer(engine, lookLayer, LayerKind::Bitmap);
  entry.lookLayer = lookLayer;
  if (activeAt != nullptr) {
    const TWordList at(activeAt);
    entry.activeX = ParseNumber(at.Item(1));
    entry.activeY = ParseNumber(at.Item(2));
  }
  if (clickAt != nullptr) {
    const TWordList at(clickAt);
    entry.clickX = ParseNumber(at.Item(1));
    entry.clickY = ParseNumber(at.Item(2));
  }
  AddEntry(engine, entry, target, "");
  return CommandResult::Continue;
}

CommandResult CmdEndSelect(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  Selection& selection = *engine.ownSelection;
  if (selection.Count() == 0) return CommandResult::Continue;
  engine.waitDeadline = 0;
  const TCommandLine& line = ctx.line;
  for (int i = 2; i <= line.Written(); ++i) {
    const char* value = line.Value(i);
    if (value[0] == '\0') continue;
    if (IsParam(line, i, "WAIT", 1)) {
      engine.waitDeadline = engine.platform.clock.NowMs() + static_cast<std::uint32_t>(ParseNumber(value));
    } else if (IsParam(line, i, "TIMER", 0)) {
      engine.waitDeadline = engine.timers[0] + static_cast<std::uint32_t>(ParseNumber(value));
    }
  }
  if (engine.settings.autoSelect != 0) selection.MoveCursorToDefault();
  engine.runState = RunState::SelectWait;
  return CommandResult::Stop;
}

} // namespace

void RegisterTextCommands(CommandTable& table) {
  static constexpr CommandSpec Commands[] = {
      {"@Text", CmdText},           {"@TextFont", CmdTextFont},
      {"@TextColor", CmdTextColor}, {"@BeginSelect", CmdBeginSelect},
      {"@Option", CmdOption},       {"@Button", CmdButton},
      {"@EndSelect", CmdEndSelect},
  };
  table.Add(CommandGroup::SelectionText, Commands);
}

} // namespace velmo
