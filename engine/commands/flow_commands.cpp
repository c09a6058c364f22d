// Jumps, calls and returns (@GoTo, @GoSub, @Exit, @On), macro calls and @OnEvent.
#include "engine/base/errors.h"
#include "engine/base/escapes.h"
#include "engine/base/format.h"
#include "engine/base/parse_number.h"
#include "engine/base/sjis.h"
#include "engine/commands/script_commands.h"
#include "engine/core/engine.h"
#include "engine/core/script_door.h"
#include "engine/core/script_observer.h"
#include "engine/platform/platform.h"
#include "engine/script/arguments.h"
#include "engine/script/command_line.h"
#include "engine/script/error_log.h"
#include "engine/script/jump_target.h"
#include "engine/script/script_state.h"
#include "engine/script/word_list.h"

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

// The end of the game by @Exit at the outermost level: the run ends through the fatal-error
// report, with the position unknown; the player reads "正常終了" and "@Exitによる正常終了" in it
// before the program closes.
CommandResult EndGame(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  engine.script.scenario = std::make_unique<TScenario>(engine.platform.files);
  engine.script.scenario->SetFileName("不明");
  engine.script.scenario->SetParagraph("不明");
  if (IScriptObserver* observer = engine.Observer()) observer->OnGameExit();
  const TScenario& unknown = *engine.script.scenario;
  ReportScriptError(engine.platform, TFatalException(ErrOK, "@Exitによる正常終了"),
                    ScriptPosition{unknown.fileName, unknown.line, unknown.paragraph}, engine.run.state);
  return CommandResult::Stop;
}

} // namespace

CommandResult CmdGoTo(ScriptContext& ctx) { return GoTo(ctx.engine, JumpLocation(ctx.line, 1)); }

CommandResult GoTo(Engine& engine, std::string_view location) {
  TScenario& scenario = *engine.script.scenario;
  auto jumpWithinFile = [&](std::string_view label) {
    scenario.ifStack.Clear();
    scenario.ifState = IfState::Active;
    scenario.JumpToParagraph(label);
  };
  // A label of this file, the common jump, is taken from the location as it stands.
  if (const std::optional<std::string_view> label = TJumpTarget::LabelOfThisFile(location)) {
    jumpWithinFile(*label);
  } else {
    const std::string whole(location);
    const TJumpTarget target(whole.c_str());
    if (target.File()[0] != '\0') {
      engine.script.scenarioStack.Clear();
      scenario.Open(location);
    } else {
      jumpWithinFile(target.Label());
    }
  }
  engine.door.RequestResume();
  return CommandResult::Stop;
}

CommandResult CmdGoSub(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  const TCommandLine& line = ctx.line;
  for (const ParamToken p : Params(line)) {
    if (p.Is("PARAM") && !p.Empty()) SetArguments(engine.script.variables, p.Value());
  }
  const std::string location = JumpLocation(line, 1);
  const TJumpTarget target(location.c_str());
  if (target.File()[0] != '\0') {
    engine.script.scenarioStack.PushParagraph(engine.script.scenario);
    engine.script.scenario = std::make_unique<TScenario>(engine.platform.files);
    engine.script.scenario->Open(location);
  } else {
    engine.script.scenarioStack.PushScenario(*engine.script.scenario);
    engine.script.scenario->JumpToParagraph(target.Label());
  }
  engine.door.RequestResume();
  return CommandResult::Stop;
}

CommandResult CmdExit(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  const TCommandLine& line = ctx.line;
  for (const ParamToken p : Params(line)) {
    if (p.Is("CODE", 1)) engine.script.variables.SetVarText("exit", p.Value());
  }
  std::string location;
  if (const char* name = FindParam(line, "NAME", 0); name != nullptr && name[0] != '\0') {
    location = name;
    RestoreEscapes(location.data());
  }
  engine.script.scenario = engine.script.scenarioStack.Pop(std::move(engine.script.scenario));
  if (engine.script.scenario == nullptr) return EndGame(ctx);
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
    ctx.engine.script.variables.SetVarText("exit", target);
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
  EventSlot& event = ctx.engine.script.events[static_cast<std::size_t>(slot)];
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
  const TListHash& macros = ctx.engine.script.macros;
  const std::string target = name[0] != '\0' ? macros.GetVar(name) : "";
  if (target.empty()) ThrowError(ErrUndefinedMacro, name);
  if (const char* param = FindParam(ctx.line, "PARAM", 1)) {
    return ctx.Redispatch(FormatText("@GoSub %s PARAM=\"%s\"", target.c_str(), param));
  }
  return ctx.Redispatch(FormatCommand("@GoSub %s", target));
}

} // namespace velmo
