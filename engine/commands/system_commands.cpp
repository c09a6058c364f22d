// The system commands: @SetWindow (title and cursor), @EnableMenu (gray or enable menu items),
// @CallDialog (the engine's dialogs and simple boxes), @ShellExec (an outside program) and
// @UserProc (a procedure of an effect plug-in). None of them makes the script wait.
#include "engine/commands/system_commands.h"

#include "engine/base/errors.h"
#include "engine/base/escapes.h"
#include "engine/base/format.h"
#include "engine/base/sjis.h"
#include "engine/core/engine.h"
#include "engine/core/script_observer.h"
#include "engine/core/settings.h"
#include "engine/graphics/screen.h"
#include "engine/platform/platform.h"
#include "engine/plugin/plugin_set.h"
#include "engine/plugin/user_procedure.h"
#include "engine/resources/resource_ids.h"
#include "engine/script/arguments.h"
#include "engine/script/command_line.h"
#include "engine/script/error_log.h"
#include "engine/script/script_state.h"

#include <string>

namespace velmo {
namespace {

constexpr const char* BoxTitle = "VELMO";

CommandResult CmdSetWindow(ScriptContext& ctx) {
  IWindow& window = ctx.engine.platform.window;
  for (const ParamToken p : Params(ctx.line)) {
    const char* value = p.Value();
    if (p.Is("TITLE")) {
      if (!p.Empty()) window.SetTitle(FormatText("%s - VELMO", value));
    } else if (p.Is("CURSOR")) {
      if (EqualsNoCase(value, "DEFAULT")) {
        window.SetCursor(CursorChoice::Program, "");
      } else if (EqualsNoCase(value, "SYSTEM")) {
        window.SetCursor(CursorChoice::Arrow, "");
      } else {
        // A file that gives no cursor leaves the program's own.
        window.SetCursor(CursorChoice::File, RestoredText(value));
      }
    }
    // MODE is accepted and changes nothing.
  }
  return CommandResult::Continue;
}

CommandResult CmdEnableMenu(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  MenuStates& menus = engine.menus;
  for (const ParamToken p : Params(ctx.line)) {
    // A bare keyword enables its item as any value but FALSE does.
    const bool enabled = p.IsBare() || !EqualsNoCase(p.Value(), "FALSE");
    const char* key = p.Key();
    if (EqualsNoCase(key, "LOAD")) {
      menus.loadEnabled = enabled;
    } else if (EqualsNoCase(key, "SAVE")) {
      // Nothing can be saved where the game runs from a CD.
      menus.saveEnabled = enabled && !engine.runsFromCd;
    } else if (EqualsNoCase(key, "ERASEMESSAGE")) {
      menus.eraseMessageEnabled = enabled;
    } else if (EqualsNoCase(key, "SKIPNEXT")) {
      menus.skipNextEnabled = enabled;
    }
  }
  engine.platform.window.ShowMenus(menus);
  return CommandResult::Continue;
}

// The boxes' texts: argv[1..63] from PARAM, or the box's own defaults without it.
void BoxArguments(Engine& engine, const char* list, bool textDialog) {
  TListHash& vars = engine.script.variables;
  if (list != nullptr) {
    SetArguments(vars, list);
  } else if (textDialog) {
    vars.SetVarText("argv[1]", "");
    vars.SetVarText("argv[2]", "値を入力して下さい");
    vars.SetVarText("argv[3]", "");
  } else {
    vars.SetVarText("argv[1]", "確認");
  }
}

CommandResult CmdCallDialog(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  IWindow& window = engine.platform.window;
  TListHash& vars = engine.script.variables;
  const char* mode = FindParam(ctx.line, "MODE", 1);
  const char* list = FindParam(ctx.line, "PARAM", 0);
  bool noAsk = false;
  for (const ParamToken p : Params(ctx.line)) noAsk = noAsk || p.IsFlag("NOASK");
  if (mode == nullptr) return CommandResult::Continue;
  // The engine's dialogs and questions come when the message loop has control again.
  if (EqualsNoCase(mode, "LOAD")) {
    window.PostCommand(IDM_LOAD);
  } else if (EqualsNoCase(mode, "SAVE")) {
    window.PostCommand(IDM_SAVE);
  } else if (EqualsNoCase(mode, "CONFIG")) {
    window.PostCommand(IDM_CONFIG);
  } else if (EqualsNoCase(mode, "TITLE")) {
    window.PostCommand(noAsk ? IDM_TITLE_NOASK : IDM_TITLE);
  } else if (EqualsNoCase(mode, "EXIT")) {
    if (noAsk) {
      window.PostShutdown();
    } else {
      window.PostCommand(IDM_EXIT);
    }
  } else if (EqualsNoCase(mode, "OK")) {
    BoxArguments(engine, list, false);
    window.ShowMessageBox(vars.GetVar("argv[1]"), BoxTitle, MessageButtons::Ok, MessageIcon::Information);
  } else if (EqualsNoCase(mode, "YESNO")) {
    BoxArguments(engine, list, false);
    const MessageAnswer answer =
        window.ShowMessageBox(vars.GetVar("argv[1]"), BoxTitle, MessageButtons::YesNo, MessageIcon::Question);
    vars.SetVarNumber("exit", answer == MessageAnswer::Yes ? 1 : 0);
  } else if (EqualsNoCase(mode, "TEXT")) {
    BoxArguments(engine, list, true);
    const std::string caption =
        vars.GetVar("argv[3]")[0] != '\0' ? FormatText("%s - VELMO", vars.GetVar("argv[3]")) : std::string(BoxTitle);
    std::string text = vars.GetVar("argv[1]");
    const bool ok = window.AskText(caption, vars.GetVar("argv[2]"), text);
    // The edited text is kept whether the player accepted it or not.
    vars.SetVarText("argv[1]", CutAtCharBoundary(text, TListHash::ValueSize - 1));
    vars.SetVarNumber("exit", ok ? 1 : 0);
  } else if (EqualsNoCase(mode, "MIXER")) {
    // Over a full screen with its own display mode the volume control could not be seen.
    if (!FullScreenChangesDisplayMode(engine.settings)) window.OpenVolumeControl();
  }
  return CommandResult::Continue;
}

CommandResult CmdShellExec(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  const char* command = FindParam(ctx.line, "COMMAND", 1);
  const char* parameters = FindParam(ctx.line, "PARAM", 2);
  if (command == nullptr && parameters == nullptr) return CommandResult::Continue;
  // Parameters without a program to take them: there is nothing to start.
  if (command == nullptr) ThrowError(ErrFileNotFound, "無し");
  const std::string file = RestoredText(command);
  const std::string arguments = parameters != nullptr ? RestoredText(parameters) : std::string();
  if (engine.settings.nativeCode != 0) {
    // The question names everything the program would be started with.
    const std::string detail = arguments.empty() ? file : file + " " + arguments;
    if (!ConfirmUnsafeCommand(engine.platform, "@ShellExec", detail)) return CommandResult::Continue;
  }
  const int result =
      engine.platform.window.OpenWithShell(file, arguments, engine.script.variables.GetVar("sysCurPath"));
  if (result > 32) return CommandResult::Continue;
  if (result == 2) ThrowError(ErrFileNotFound, "無し");
  if (result == 11) ThrowError(ErrBadFormat, "無し");
  ThrowError(ErrInternal, "無し");
}

CommandResult CmdUserProc(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  const char* command = FindParam(ctx.line, "COMMAND", 1);
  if (command == nullptr || command[0] == '\0') return CommandResult::Continue;
  const std::string name = RestoredText(command);
  EffectInfo info{};
  info.name = name.c_str();
  const VelmoEntryFunction procedure = engine.plugins.list.FindEffect(info, VELMO_TAG_USERPROC, UserProcInfoExport);
  if (procedure == nullptr) return CommandResult::Continue;
  if (engine.settings.nativeCode != 0 && !ConfirmUnsafeCommand(engine.platform, "@UserProc", name)) {
    return CommandResult::Continue;
  }
  const char* list = FindParam(ctx.line, "PARAM", 2);
  if (IScriptObserver* observer = engine.Observer()) {
    if (!observer->OnUserProc(name, list != nullptr ? list : "")) return CommandResult::Continue;
  }
  CallUserProcedure(engine.script.variables, *engine.screen.screenSurface, engine.platform.window.NativeHandle(),
                    procedure, list != nullptr ? list : "");
  return CommandResult::Continue;
}

} // namespace

void RegisterSystemCommands(CommandTable& table) {
  static constexpr CommandSpec Commands[] = {
      {"@SetWindow", CmdSetWindow}, {"@EnableMenu", CmdEnableMenu}, {"@CallDialog", CmdCallDialog},
      {"@ShellExec", CmdShellExec}, {"@UserProc", CmdUserProc},
  };
  table.Add(CommandGroup::TitleSystem, Commands);
}

} // namespace velmo
