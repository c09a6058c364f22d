#include "engine/script/interpreter.h"

#include "engine/script/command_line.h"
#include "engine/script/error_log.h"
#include "engine/script/errors.h"
#include "engine/script/format.h"
#include "engine/script/scenario.h"
#include "engine/script/script_commands.h"
#include "engine/script/sjis.h"
#include "engine/shell/engine.h"

#include <cstring>
#include <exception>

namespace velmo {

namespace {

// Reports a script error to the observer, the log and the player; a player who stops the
// program also closes the scenario.
void Report(Engine& engine, const TBaseException& error) {
  TScenario& scenario = *engine.scenario;
  const ScriptPosition where{scenario.fileName, scenario.line, scenario.paragraph};
  if (engine.observer != nullptr) engine.observer->OnScriptError(error, where);
  if (ReportScriptError(engine.platform, error, where, engine.runState) == ErrorOutcome::Terminate) {
    engine.scenario->Close();
  }
}

// One line: a label, a comment, a command or message text.
CommandResult ExecuteLine(Engine& engine, TCommandLine& line, char* buffer) {
  line.Parse(buffer);
  const char* word = line.Key(1);
  TScenario& scenario = *engine.scenario;

  if (word[0] == '/' && word[1] == '/') {
    const char* label = FindParam(line, "NAME", 1);
    if (label == nullptr || label[0] == '\0') ThrowError(ErrMissingParam, "無し");
    scenario.paragraphs.Add(label, scenario.line, scenario.Tell());
    scenario.SetParagraph(label);
    return CommandResult::Continue;
  }
  if (word[0] == '\0' || word[0] == ';') return CommandResult::Continue;

  ScriptContext ctx{engine, line, buffer, buffer};
  if (const CommandSpec* command = engine.commands.Find(word)) {
    if (!command->runsWhenSkipping && scenario.ifState != IfState::Active) return CommandResult::Continue;
    return command->handler(ctx);
  }
  if (word[0] == '@' && word[1] == '@') return CallMacro(ctx);
  if (word[0] == '@') ThrowError(ErrSyntax, word);

  // Message text.
  if (scenario.ifState != IfState::Active) return CommandResult::Continue;
  const char* text = line.Substitute(buffer);
  if (engine.messageWindow != nullptr)
    engine.messageWindow->SetMessageText(text);
  else
    engine.runState = RunState::TextOutput;
  return CommandResult::Stop;
}

} // namespace

int RunScenario(Engine& engine, const char* command) {
  char buffer[TScenario::LineSize];
  TCommandLine line(engine.variables);
  try {
    if (!engine.scenario->IsOpen()) ThrowError(ErrFileNotFound, engine.scenario->fileName);
    engine.scenario->FindParagraph(engine.variables);
    for (;;) {
      if (command != nullptr) {
        const std::string_view kept = CutAtCharBoundary(command, TScenario::LineSize - 1);
        std::memcpy(buffer, kept.data(), kept.size());
        buffer[kept.size()] = '\0';
      } else {
        TScenario& scenario = *engine.scenario;
        ++scenario.line;
        ++engine.linesRead;
        if (!scenario.ReadLine(buffer)) ThrowFatal(ErrUnexpectedEOF, "無し");
      }
      CommandResult result;
      do {
        result = ExecuteLine(engine, line, buffer);
      } while (result == CommandResult::Redispatch);
      if (result == CommandResult::Stop || command != nullptr) return 1;
    }
  } catch (const TBaseException& error) {
    Report(engine, error);
  } catch (const std::exception&) {
    Report(engine, TFatalException(ErrReserved, "無し"));
  }
  return 0;
}

void FireEvent(Engine& engine, int slot) {
  if (slot < 0 || slot >= EventSlotCount) return;
  EventSlot& event = engine.events[static_cast<std::size_t>(slot)];
  if (event.action == EventAction::None) return;
  const std::string command =
      FormatCommand(event.action == EventAction::GoTo ? "@GoTo \"%s\"" : "@GoSub \"%s\"", event.label);
  event.action = EventAction::None;
  RunScenario(engine, command.c_str());
}

void JumpToEntry(Engine& engine, std::string_view location) {
  engine.scenarioStack.Clear();
  engine.scenario->Open(location);
  engine.scenario->Reset();
  if (engine.messageWindow != nullptr) engine.messageWindow->Reset();
  for (EventSlot& event : engine.events) event.action = EventAction::None;
  engine.waitDeadline = 0;
  engine.platform.window.PostResume();
}

void RegisterScriptCommands(CommandTable& table) {
  static constexpr CommandSpec Script[] = {
      {"@Rem", CmdRem, true},   {"@", CmdLet},
      {"@Let", CmdLet},         {"@Wait", CmdWait},
      {"@Timer", CmdTimer},     {"@Error", CmdError},
      {"@Macro", CmdMacro},     {"@EnableSkip", CmdEnableSkip},
      {"@if", CmdIf, true},     {"@ElsIf", CmdElsIf, true},
      {"@Else", CmdElse, true}, {"@EndIf", CmdEndIf, true},
      {"@GoTo", CmdGoTo},       {"@GoSub", CmdGoSub},
      {"@Exit", CmdExit},       {"@On", CmdOn},
  };
  static constexpr CommandSpec Events[] = {{"@OnEvent", CmdOnEvent}};
  table.Add(CommandGroup::Script, Script);
  table.Add(CommandGroup::Events, Events);
}

} // namespace velmo
