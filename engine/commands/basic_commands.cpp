// @Rem, @Wait, @Timer, @Error, @Macro and @EnableSkip.
#include "engine/base/errors.h"
#include "engine/base/escapes.h"
#include "engine/base/parse_number.h"
#include "engine/base/sjis.h"
#include "engine/commands/script_commands.h"
#include "engine/core/engine.h"
#include "engine/core/player_modes.h"
#include "engine/platform/platform.h"
#include "engine/script/command_line.h"
#include "engine/script/script_state.h"

#include <string>

namespace velmo {

CommandResult CmdRem(ScriptContext&) { return CommandResult::Continue; }

CommandResult CmdWait(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  if (const char* time = FindParam(ctx.line, "TIME", 1)) {
    engine.run.waitDeadline = engine.platform.clock.NowMs() + static_cast<std::uint32_t>(ParseNumber(time));
  }
  engine.run.state = RunState::TimedWait;
  return CommandResult::Stop;
}

CommandResult CmdTimer(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  const TCommandLine& line = ctx.line;
  // The channel: a flag word is never taken for it.
  const char* channelText = nullptr;
  for (const ParamToken p : Params(line)) {
    if (!p.IsFlag("RESET") && p.Is("CHANNEL", 1)) channelText = p.Value();
  }
  const std::int32_t channel = channelText != nullptr ? ParseNumber(channelText) : 0;
  if (channel < 0 || channel > 3) ThrowError(ErrRange, channelText);
  std::uint32_t& timer = engine.script.timers[static_cast<std::size_t>(channel)];
  for (const ParamToken p : Params(line)) {
    if (p.IsFlag("RESET")) {
      timer = engine.platform.clock.NowMs();
    } else if (p.Is("TIME", 2)) {
      engine.run.waitDeadline = timer + static_cast<std::uint32_t>(ParseNumber(p.Value()));
      engine.run.state = RunState::TimedWait;
      return CommandResult::Stop;
    }
  }
  return CommandResult::Continue;
}

CommandResult CmdError(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  const char* text = "ユーザ定義のエラー";
  for (const ParamToken p : Params(line)) {
    if (p.Is("MSG", 1) || EqualsNoCase(p.Key(), "CODE")) text = p.Value();
  }
  ThrowError(ErrUndefined, text);
}

CommandResult CmdMacro(ScriptContext& ctx) {
  const char* name = FindParam(ctx.line, "MACRO", 1);
  if (name == nullptr) ThrowError(ErrMissingParam, "無し");
  const std::string& fileName = ctx.engine.script.scenario->fileName;
  std::string location;
  if (const char* target = FindParam(ctx.line, "NAME", 2)) {
    std::string restored(target);
    RestoreEscapes(restored.data());
    location = restored[0] == '#' ? fileName + restored : restored;
  } else {
    location = fileName + "#" + name;
  }
  ctx.engine.script.macros.SetVarText(name, location);
  return CommandResult::Continue;
}

CommandResult CmdEnableSkip(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  const TCommandLine& line = ctx.line;
  const char* mode = "";
  for (const ParamToken p : Params(line)) {
    if (p.IsFlag("TRAP") || p.IsFlag("PAUSE")) {
      engine.run.clickSkip = false;
      engine.run.skipToOption = false;
      SetReadSkip(engine, false);
    } else if (p.Is("MODE", 1)) {
      mode = p.Value();
    }
  }
  if (mode[0] == '\0' || EqualsNoCase(mode, "TRUE") || EqualsNoCase(mode, "ALL"))
    engine.run.skipMode = SkipMode::All;
  else if (EqualsNoCase(mode, "FALSE") || EqualsNoCase(mode, "DISABLE"))
    engine.run.skipMode = SkipMode::Off;
  else if (EqualsNoCase(mode, "TEXT"))
    engine.run.skipMode = SkipMode::Text;
  else
    ThrowError(ErrSyntax, mode);
  // The skip of read text stops where skipping is disabled.
  if (engine.run.skipMode == SkipMode::Off) SetReadSkip(engine, false);
  return CommandResult::Continue;
}

void RegisterScriptCommands(CommandTable& table) {
  // The assignments, conditions and @On read their own text item by item.
  static constexpr CommandSpec Script[] = {
      {"@Rem", CmdRem, true, true},
      {"@", CmdLet, false, true},
      {"@Let", CmdLet, false, true},
      {"@Wait", CmdWait},
      {"@Timer", CmdTimer},
      {"@Error", CmdError},
      {"@Macro", CmdMacro},
      {"@EnableSkip", CmdEnableSkip},
      {"@if", CmdIf, true, true},
      {"@ElsIf", CmdElsIf, true, true},
      {"@Else", CmdElse, true, true},
      {"@EndIf", CmdEndIf, true, true},
      {"@GoTo", CmdGoTo},
      {"@GoSub", CmdGoSub},
      {"@Exit", CmdExit},
      {"@On", CmdOn, false, true},
  };
  static constexpr CommandSpec Events[] = {{"@OnEvent", CmdOnEvent, false, true}};
  table.Add(CommandGroup::Script, Script);
  table.Add(CommandGroup::Events, Events);
  table.SetMacroHandler(CallMacro);
}

} // namespace velmo
