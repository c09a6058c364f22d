// @Rem, @Wait, @Timer, @Error, @Macro and @EnableSkip.
#include "engine/script/command_line.h"
#include "engine/script/errors.h"
#include "engine/script/escapes.h"
#include "engine/script/parse_number.h"
#include "engine/script/script_commands.h"
#include "engine/script/sjis.h"
#include "engine/shell/engine.h"

#include <string>

namespace velmo {

CommandResult CmdRem(ScriptContext&) { return CommandResult::Continue; }

CommandResult CmdWait(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  if (const char* time = FindParam(ctx.line, "TIME", 1)) {
    engine.waitDeadline = engine.platform.clock.NowMs() + static_cast<std::uint32_t>(ParseNumber(time));
  }
  engine.runState = RunState::TimedWait;
  return CommandResult::Stop;
}

CommandResult CmdTimer(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  const TCommandLine& line = ctx.line;
  // The channel: a flag word is never taken for it.
  const char* channelText = nullptr;
  for (int i = 2; i <= line.Written(); ++i) {
    if (!IsFlagWord(line, i, "RESET") && IsParam(line, i, "CHANNEL", 1)) channelText = line.Value(i);
  }
  const std::int32_t channel = channelText != nullptr ? ParseNumber(channelText) : 0;
  if (channel < 0 || channel > 3) ThrowError(ErrRange, channelText);
  std::uint32_t& timer = engine.timers[static_cast<std::size_t>(channel)];
  for (int i = 2; i <= line.Written(); ++i) {
    if (IsFlagWord(line, i, "RESET")) {
      timer = engine.platform.clock.NowMs();
    } else if (IsParam(line, i, "TIME", 2)) {
      engine.waitDeadline = timer + static_cast<std::uint32_t>(ParseNumber(line.Value(i)));
      engine.runState = RunState::TimedWait;
      return CommandResult::Stop;
    }
  }
  return CommandResult::Continue;
}

CommandResult CmdError(ScriptContext& ctx) {
  const TCommandLine& line = ctx.line;
  const char* text = "ユーザ定義のエラー";
  for (int i = 2; i <= line.Written(); ++i) {
    if (IsParam(line, i, "MSG", 1) || EqualsNoCase(line.Key(i), "CODE")) text = line.Value(i);
  }
  ThrowError(ErrUndefined, text);
}

CommandResult CmdMacro(ScriptContext& ctx) {
  const char* name = FindParam(ctx.line, "MACRO", 1);
  if (name == nullptr) ThrowError(ErrMissingParam, "無し");
  const std::string& fileName = ctx.engine.scenario->fileName;
  std::string location;
  if (const char* target = FindParam(ctx.line, "NAME", 2)) {
    std::string restored(target);
    RestoreEscapes(restored.data());
    location = restored[0] == '#' ? fileName + restored : restored;
  } else {
    location = fileName + "#" + name;
  }
  ctx.engine.macros.SetVarText(name, location);
  return CommandResult::Continue;
}

CommandResult CmdEnableSkip(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  const TCommandLine& line = ctx.line;
  const char* mode = "";
  for (int i = 2; i <= line.Written(); ++i) {
    if (IsFlagWord(line, i, "TRAP") || IsFlagWord(line, i, "PAUSE")) {
      engine.clickSkip = false;
      engine.skipToOption = false;
    } else if (IsParam(line, i, "MODE", 1)) {
      mode = line.Value(i);
    }
  }
  if (mode[0] == '\0' || EqualsNoCase(mode, "TRUE") || EqualsNoCase(mode, "ALL"))
    engine.skipMode = 2;
  else if (EqualsNoCase(mode, "FALSE") || EqualsNoCase(mode, "DISABLE"))
    engine.skipMode = 0;
  else if (EqualsNoCase(mode, "TEXT"))
    engine.skipMode = 1;
  else
    ThrowError(ErrSyntax, mode);
  return CommandResult::Continue;
}

} // namespace velmo
