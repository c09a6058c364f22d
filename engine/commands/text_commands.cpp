// The text and selection commands: @Text, @TextFont and @TextColor set up the message window;
// @BeginSelect, @Option, @Button and @EndSelect offer choices.
#include "engine/commands/text_commands.h"

#include "engine/base/errors.h"
#include "engine/base/escapes.h"
#include "engine/base/format.h"
#include "engine/base/parse_number.h"
#include "engine/base/sjis.h"
#include "engine/core/engine.h"
#include "engine/graphics/layers.h"
#include "engine/graphics/pixels.h"
#include "engine/graphics/screen.h"
#include "engine/platform/platform.h"
#include "engine/script/command_line.h"
#include "engine/script/script_state.h"
#include "engine/script/word_list.h"
#include "engine/text/message_window.h"
#include "engine/text/selection.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

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
  MessageWindow& window = engine.messageWindow;
  for (const ParamToken p : Params(line)) {
    const char* value = p.Value();
    if (p.Is("NOHEADINGCHAR")) {
      window.noHeadingSet.Assign(value);
    } else if (p.Is("NOCLOSINGCHAR")) {
      window.noClosingSet.Assign(value);
    } else if (p.Empty()) {
      continue;
    } else if (p.Is("WAIT")) {
      engine.run.textStepIntervalMs = EqualsNoCase(value, "USER") ? -1 : ParseNumber(value);
    }
    // ALIGN and TYPESET are accepted and change nothing: text always runs horizontally.
  }
  return CommandResult::Continue;
}

CommandResult CmdTextFont(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  Engine& engine = ctx.engine;
  MessageWindow& window = engine.messageWindow;
  FontDescription& description = window.font.description;
  for (const ParamToken p : Params(line)) {
    const char* value = p.Value();
    if (p.Empty()) continue;
    if (p.Is("SIZE", 1)) {
      description.height = ParseNumber(value);
      description.width = 0;
      window.RecreateMessageFont();
    } else if (p.Is("WEIGHT")) {
      description.weight = ParseNumber(value);
      window.RecreateMessageFont();
    } else if (p.Is("PITCH")) {
      window.font.linePitch = ParseNumber(value);
    } else if (p.Is("SPACING")) {
      window.font.spacing = ParseNumber(value);
    } else if (p.Is("FACE")) {
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
  auto& colours = ctx.engine.messageWindow.colours;
  for (const ParamToken p : Params(line)) {
    if (p.Empty()) continue;
    for (int n = 0; n < 8; ++n) {
      if (!p.Is(Names[n], n == 0 ? 1 : 0)) continue;
      const std::uint32_t colour = static_cast<std::uint32_t>(ParseNumber(p.Value())) | ScriptColorFlag;
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
  ctx.engine.selection.Begin(mode);
  return CommandResult::Continue;
}

// What @Option and @Button share: where the entry leads, its key and whether it is the default.
struct EntryTarget {
  bool found = false; // one of NAME, CODE, GOTO, RETURN
  EntryKind kind = EntryKind::Jump;
  std::string value;
  bool keyFound = false;
  char key = 0;
  std::int32_t keyKind = 0;
  bool isDefault = false;
};

// Reads token `p` if it is one of the shared parameters; false when it is none of them. GOTO and
// RETURN take the token after them too: `takesNext` then tells the caller to pass it over.
bool ReadTargetToken(const TCommandLine& line, const ParamToken& p, EntryTarget& target, bool& takesNext) {
  const char* value = p.Value();
  auto setTarget = [&](EntryKind kind, std::string text) {
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
  if (p.IsFlag("DEFAULT")) {
    target.isDefault = true;
  } else if (p.IsFlag("GOTO") || p.IsFlag("RETURN")) {
    const bool jump = p.IsFlag("GOTO");
    takesNext = p.Index() + 1 <= line.Written();
    setTarget(jump ? EntryKind::Jump : EntryKind::Return, RestoredText(takesNext ? line.Value(p.Index() + 1) : ""));
  } else if (p.Is("NAME")) {
    setTarget(EntryKind::Jump, RestoredText(value));
  } else if (p.Is("CODE")) {
    setTarget(EntryKind::Return, value);
  } else if (p.Is("ACCESSKEY")) {
    setKey(AccessKey);
  } else if (p.Is("HOTKEY")) {
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
  Selection& selection = engine.selection;
  entry.kind = target.found ? target.kind : EntryKind::Jump;
  entry.key = target.key;
  entry.keyKind = target.keyKind;
  std::string value = target.value;
  if (!target.found) value.assign(1, '#').append(jumpByText);
  engine.script.variables.SetVarText(FormatText("option[%d]", selection.Count()), value);
  return selection.Add(entry, target.isDefault);
}

CommandResult CmdOption(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  Selection& selection = engine.selection;
  CheckRoom(selection);
  const TCommandLine& line = ctx.line;
  EntryTarget target;
  const char* text = nullptr;
  bool skip = false;
  for (const ParamToken p : Params(line)) {
    if (std::exchange(skip, false) || ReadTargetToken(line, p, target, skip)) continue;
    if (p.Is("TEXT", 1) && !p.Empty()) text = p.Value();
  }
  if (text == nullptr) ThrowError(ErrMissingParam, "無し");
  SelectionEntry entry;
  entry.text = text;
  TextLayerState& layout = engine.messageWindow.Layout();
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
  for (const ParamToken p : Params(line)) {
    if (!p.Is(name) || p.Empty()) continue;
    layer = ParseNumber(p.Value());
    if (layer == -1 && noneAllowed) continue;
    if (layer < 0 || layer >= LayerTable::SlotCount) ThrowError(ErrRange, p.Key());
  }
  return layer;
}

CommandResult CmdButton(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  Selection& selection = engine.selection;
  CheckRoom(selection);
  const TCommandLine& line = ctx.line;
  EntryTarget target;
  const char* rect = nullptr;
  const char* activeAt = nullptr;
  const char* clickAt = nullptr;
  bool skip = false;
  for (const ParamToken p : Params(line)) {
    if (std::exchange(skip, false) || ReadTargetToken(line, p, target, skip)) continue;
    if (p.Empty()) continue;
    if (p.Is("RECT", 1)) rect = p.Value();
    if (p.Is("ACTIVE")) activeAt = p.Value();
    if (p.Is("CLICK")) clickAt = p.Value();
  }
  if (rect == nullptr || !target.found) ThrowError(ErrMissingParam, "無し");
  const std::int32_t relativeTo = ButtonLayer(line, "LAYER", -1, true);
  const std::int32_t lookLayer = ButtonLayer(line, "LAYER2", engine.screen.layers.currentLayer, false);
  std::int64_t dx = 0, dy = 0;
  if (relativeTo != -1) {
    const TLayer* layer = engine.screen.layers.At(relativeTo);
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
  engine.screen.layers.GetLayer(lookLayer, LayerKind::Bitmap);
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
  Selection& selection = engine.selection;
  if (selection.Count() == 0) return CommandResult::Continue;
  engine.run.waitDeadline = 0;
  for (const ParamToken p : Params(ctx.line)) {
    if (p.Empty()) continue;
    if (p.Is("WAIT", 1)) {
      engine.run.waitDeadline = engine.platform.clock.NowMs() + static_cast<std::uint32_t>(ParseNumber(p.Value()));
    } else if (p.Is("TIMER")) {
      engine.run.waitDeadline = engine.script.timers[0] + static_cast<std::uint32_t>(ParseNumber(p.Value()));
    }
  }
  if (engine.settings.autoSelect != 0) selection.MoveCursorToDefault();
  engine.run.state = RunState::SelectWait;
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
