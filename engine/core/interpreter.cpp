#include "engine/core/interpreter.h"

#include "engine/base/errors.h"
#include "engine/base/format.h"
#include "engine/base/sjis.h"
#include "engine/core/command_table.h"
#include "engine/core/engine.h"
#include "engine/core/script_observer.h"
#include "engine/platform/platform.h"
#include "engine/script/command_line.h"
#include "engine/script/error_log.h"
#include "engine/script/scenario.h"
#include "engine/script/script_state.h"
#include "engine/text/message_window.h"

#include <cstring>
#include <exception>

namespace velmo {

namespace {

// Reports a script error to the observer, the log and the player; a player who stops the
// program also closes the scenario.
void Report(Engine& engine, const TBaseException& error) {
  TScenario& scenario = engine.script.Scenario();
  const ScriptPosition where{scenario.fileName, scenario.line, scenario.paragraph};
  if (IScriptObserver* observer = engine.Observer()) observer->OnScriptError(error, where);
  if (ReportScriptError(engine.platform, error, where, engine.run.state) == ErrorOutcome::Terminate) {
    scenario.Close();
  }
}

// One line: a label, a comment, a command or message text.
CommandResult ExecuteLine(Engine& engine, TCommandLine& line, char* buffer) {
  line.Parse(buffer);
  const char* word = line.Key(1);
  TScenario& scenario = engine.script.Scenario();

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
  if (word[0] == '@' && word[1] == '@') return engine.commands.CallMacro(ctx);
  if (word[0] == '@') ThrowError(ErrSyntax, word);

  // Message text.
  if (scenario.ifState != IfState::Active) return CommandResult::Continue;
  const char* text = line.Substitute(buffer);
  if (IScriptObserver* observer = engine.Observer()) observer->OnMessageText(text);
  engine.Messages().SetMessageText(text);
  return CommandResult::Stop;
}

} // namespace

int RunScenario(Engine& engine, const char* command) {
  char buffer[TScenario::LineSize];
  TCommandLine line(engine.script.variables);
  try {
    TScenario& current = engine.script.Scenario();
    if (!current.IsOpen()) ThrowError(ErrFileNotFound, current.fileName);
    current.FindParagraph(engine.script.variables);
    for (;;) {
      if (command != nullptr) {
        const std::string_view kept = CutAtCharBoundary(command, TScenario::LineSize - 1);
        std::memcpy(buffer, kept.data(), kept.size());
        buffer[kept.size()] = '\0';
      } else {
        // A command may have put another scenario in place: read from the current one.
        TScenario& scenario = engine.script.Scenario();
        ++scenario.line;
        ++engine.script.linesRead;
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
  if (!engine.script.EventSet(slot)) return;
  EventSlot& event = engine.script.events[static_cast<std::size_t>(slot)];
  const std::string command =
      FormatCommand(event.action == EventAction::GoTo ? "@GoTo \"%s\"" : "@GoSub \"%s\"", event.label);
  event.action = EventAction::None;
  RunScenario(engine, command.c_str());
}

void JumpToEntry(Engine& engine, std::string_view location) {
  ScriptState& script = engine.script;
  script.scenarioStack.Clear();
  script.Scenario().Open(location);
  script.Scenario().Reset();
  engine.Messages().Reset();
  script.ClearEvents();
  engine.run.waitDeadline = 0;
  engine.platform.window.PostResume();
}

} // namespace velmo
