#pragma once

// Handlers of the scenario language's own commands, registered by RegisterScriptCommands.

#include "engine/core/command_table.h"

#include <string>
#include <string_view>

namespace velmo {

CommandResult CmdRem(ScriptContext& ctx);
CommandResult CmdLet(ScriptContext& ctx);
CommandResult CmdWait(ScriptContext& ctx);
CommandResult CmdTimer(ScriptContext& ctx);
CommandResult CmdError(ScriptContext& ctx);
CommandResult CmdMacro(ScriptContext& ctx);
CommandResult CmdEnableSkip(ScriptContext& ctx);
CommandResult CmdIf(ScriptContext& ctx);
CommandResult CmdElsIf(ScriptContext& ctx);
CommandResult CmdElse(ScriptContext& ctx);
CommandResult CmdEndIf(ScriptContext& ctx);
CommandResult CmdGoTo(ScriptContext& ctx);
CommandResult CmdGoSub(ScriptContext& ctx);
CommandResult CmdExit(ScriptContext& ctx);
CommandResult CmdOn(ScriptContext& ctx);
CommandResult CmdOnEvent(ScriptContext& ctx);

// A macro call "@@name [PARAM=list]": runs @GoSub to the macro's location.
CommandResult CallMacro(ScriptContext& ctx);

// What @GoTo does with its location ("file#label", escapes restored): into another file, the call
// stack empties; within the file, the conditional state starts afresh at the label.
CommandResult GoTo(Engine& engine, std::string_view location);

// The commands of the scenario language itself, with the macro call.
void RegisterScriptCommands(CommandTable& table);

} // namespace velmo
