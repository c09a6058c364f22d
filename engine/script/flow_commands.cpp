// Jumps, calls and returns (@GoTo, @GoSub, @Exit, @On), macro calls and @OnEvent.
#include "engine/script/command_line.h"
#include "engine/script/error_log.h"
#include "engine/script/errors.h"
#include "engine/script/escapes.h"
#include "engine/script/format.h"
#include "engine/script/jump_target.h"
#include "engine/script/parse_number.h"
#include "engine/script/script_commands.h"
#include "engine/script/sjis.h"
#include "engine/script/word_list.h"
#include "engine/shell/engine.h"

#include <memory>
#include <string>

namespace velmo {

namespace {

// The jump location of @GoTo/@GoSub: NAME (slot 1) with escapes restored. A jump without one
// cannot go on: fatal.
std::string JumpLocation(const TCommandLine& line, int slot) {
  const char* name = FindParam(line, "NAME", slot);
  if (name == nullptr || name[0] == '\0') ThrowFatal(ErrMissingParam, "無し");
  std::string location(name);
  RestoreEscapes(location.data());
  return location;
}

// Sets argv[1..63] from a PARAM list; variables past the list's end become empty.
void SetArguments(TListHash& variables, const char* list) {
  const TWordList items(list);
  for (int i = 1; i <= 63; ++i) variables.SetVarText(FormatText("argv[%d]", i), items.Item(i));
}

// The end of the game by @Exit at the outermost level: the run ends through the fatal-error
// report, with the position unknown; the player reads "正常終了" and "@Exitによる正常終了" in it
// before the program closes.
CommandResult EndGame(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  engine.scenario = std::make_unique<TScenario>(engine.platform.files);
  engine.scenario->SetFileName("不明");
  engine.scenario->SetParagraph("不明");
  if (engine.observer != nullptr) engine.observer->OnGameExit();
  const TScenario& unknown = *engine.scenario;
  ReportScriptError(engine.platform, TFatalException(ErrOK, "@Exitによる正常終了"),
                    ScriptPosition{unknown.fileName, unknown.line, unknown.paragraph}, engine.runState);
  return CommandResult::Stop;
}

} // namespace

std::string FormatCommand(const char* pattern, std::string_view text) {
  // The pattern holds one "%s"; the text goes in its place as it is.
  const std::string_view p(pattern);
  const std::size_t at = p.find("%s");
  std::string command;
  command.reserve(p.size() + text.size());
  command.append(p.substr(0, at)).append(text).append(p.substr(at + 2));
  return command;
}

CommandResult CmdGoTo(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  const std::string location = JumpLocation(ctx.line, 1);
  const TJumpTarget target(location.c_str());
  TScenario& scenario = *engine.scenario;
  if (target.File()[0] != '\0') {
    engine.scenarioStack.Clear();
    scenario.Open(location);
  } else {
    scenario.ifStack.Clear();
    scenario.ifState = IfState::Active;
    scenario.JumpToParagraph(target.Label());
  }
  engine.platform.window.PostResume();
  return CommandResult::Stop;
}

CommandResult CmdGoSub(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  const TCommandLine& line = ctx.line;
  for (int i = 2; i <= line.Written(); ++i) {
    if (IsParam(line, i, "PARAM", 0) && line.Value(i)[0] != '\0') SetArguments(engine.variables, line.Value(i));
  }
  const std::string location = JumpLocation(line, 1);
  const TJumpTarget target(location.c_str());
  if (target.File()[0] != '\0') {
    engine.scenarioStack.PushParagraph(engine.scenario);
    engine.scenario = std::make_unique<TScenario>(engine.platform.files);
    engine.scenario->Open(location);
  } else {
    engine.scenarioStack.PushScenario(*engine.scenario);
    engine.scenario->JumpToParagraph(target.Label());
  }
  engine.platform.window.PostResume();
  return CommandResult::Stop;
}

CommandResult CmdExit(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  const TCommandLine& line = ctx.line;
  for (int i = 2; i <= line.Written(); ++i) {
    if (IsParam(line, i, "CODE", 1)) engine.variables.SetVarText("exit", line.Value(i));
  }
  std::string location;
  if (const char* name = FindParam(line, "NAME", 0); name != nullptr && name[0] != '\0') {
    location = name;
    RestoreEscapes(location.data());
  }
  engine.scenario = engine.scenarioStack.Pop(std::move(engine.scenario));
  if (engine.scenario == nullptr) return EndGame(ctx);
  if (!location.empty()) return ctx.Redispatch(FormatCommand("@GoTo \"%s\"", location));
  return CommandResult::Continue;
}

CommandResult CmdOn(ScriptContext& ctx) {
  const TWordList items(ctx.line.Substitute(ctx.text));
  const std::int32_t n = ParseNumber(items.Item(2));
  if (n < 1 || n > 124) return CommandResult::Continue;
  const char* target = items.Item(n + 3);
  if (target[0] == '\0') return CommandResult::Continue;
  const char* action = items.Item(3);
  if (EqualsNoCase(action, "GOTO")) return ctx.Redispatch(FormatCommand("@GoTo \"%s\"", target));
  if (EqualsNoCase(action, "GOSUB")) return ctx.Redispatch(FormatCommand("@GoSub \"%s\"", target));
  if (EqualsNoCase(action, "RETURN")) {
    ctx.engine.variables.SetVarText("exit", target);
    return CommandResult::Continue;
  }
  ThrowError(ErrSyntax, action);
}

CommandResult CmdOnEvent(ScriptContext& ctx) {
  static constexpr const char* SlotNames[EventSlotCount] = {"USER_CLICK", "WAVE_NOTIFY", "MIDI_NOTIFY", "CDDA_NOTIFY",
                                                            "MOVIE_NOTIFY"};
  const TWordList items(ctx.line.Substitute(ctx.text));
  int slot = 0;
  while (slot < EventSlotCount && !EqualsNoCase(items.Item(2), SlotNames[slot])) ++slot;
  if (slot == EventSlotCount) return CommandResult::Continue;
  EventSlot& event = ctx.engine.events[static_cast<std::size_t>(slot)];
  const char* action = items.Item(3);
  if (EqualsNoCase(action, "STOP")) {
    event.action = EventAction::None;
  } else if (EqualsNoCase(action, "GOTO") || EqualsNoCase(action, "GOSUB")) {
    event.action = EqualsNoCase(action, "GOTO") ? EventAction::GoTo : EventAction::GoSub;
    event.label = CutAtCharBoundary(items.Item(4), TListHash::ValueSize - 1);
  }
  return CommandResult::Continue;
}

CommandResult CallMacro(ScriptContext& ctx) {
  const char* name = ctx.line.Key(1) + 2;
  const TListHash& macros = ctx.engine.macros;
  const std::string target = name[0] != '\0' ? macros.GetVar(name) : "";
  if (target.empty()) ThrowError(ErrUndefinedMacro, name);
  if (const char* param = FindParam(ctx.line, "PARAM", 1)) {
    return ctx.Redispatch(FormatText("@GoSub %s PARAM=\"%s\"", target.c_str(), param));
  }
  return ctx.Redispatch(FormatCommand("@GoSub %s", target));
}

} // namespace velmo
