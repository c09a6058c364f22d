#include "engine/core/interpreter.h"

#include "engine/base/errors.h"
#include "engine/base/format.h"
#include "engine/base/sjis.h"
#include "engine/core/command_table.h"
#include "engine/core/engine.h"
#include "engine/core/player_modes.h"
#include "engine/core/script_door.h"
#include "engine/core/script_observer.h"
#include "engine/media/media_channels.h"
#include "engine/platform/platform.h"
#include "engine/plugin/effect_host.h"
#include "engine/script/command_line.h"
#include "engine/script/error_log.h"
#include "engine/script/scenario.h"
#include "engine/script/script_state.h"
#include "engine/text/message_window.h"

#include <cassert>
#include <cstring>
#include <exception>

namespace velmo {

namespace {

// A transition's finishing calls when a jump cuts it short: one for the variant block, and for a
// plug-in that keeps answering "more", no more than these.
constexpr int MaxFinishingCalls = 64;

bool IsTransition(RunState state) {
  return state == RunState::TransitionStep || state == RunState::TransitionLast || state == RunState::TransitionEnd;
}

// Reports a script error to the observer, the log and the player; a player who stops the
// program also closes the scenario, one who goes on has the next line run.
void Report(Engine& engine, const TBaseException& error) {
  TScenario& scenario = engine.script.Scenario();
  const ScriptPosition where{scenario.fileName, scenario.line, scenario.paragraph};
  if (IScriptObserver* observer = engine.Observer()) observer->OnScriptError(error, where);
  if (ReportScriptError(engine.platform, error, where, engine.run.state) == ErrorOutcome::Terminate) {
    scenario.Close();
  } else {
    engine.door.RequestResume();
  }
}

// Marks the interpreter as running for as long as it lives: it is never entered twice (a run
// under a running command would read lines in the middle of another).
class RunningInterpreter {
public:
  explicit RunningInterpreter(bool& runningFlag) : running(runningFlag) {
    assert(!running && "the interpreter was entered while it was running");
    running = true;
  }
  ~RunningInterpreter() { running = false; }
  RunningInterpreter(const RunningInterpreter&) = delete;
  RunningInterpreter& operator=(const RunningInterpreter&) = delete;

private:
  bool& running;
};

// What a line is, once its command word is known.
enum class LineKind : std::uint8_t { Label = 1, Nothing, Command, Macro, Message };

// Splits the line and tells what it is: a label, nothing (empty or a comment), a command (with its
// entry of the table), a macro call or message text. An unknown @-command is a syntax error.
LineKind Classify(const Engine& engine, TCommandLine& line, const char* text, const CommandSpec*& command) {
  line.Parse(text);
  const char* word = line.Key(1);
  if (word[0] == '/' && word[1] == '/') return LineKind::Label;
  if (word[0] == '\0' || word[0] == ';') return LineKind::Nothing;
  command = engine.commands.Find(word);
  if (command != nullptr) return LineKind::Command;
  if (word[0] == '@' && word[1] == '@') return LineKind::Macro;
  if (word[0] == '@') ThrowError(ErrSyntax, word);
  return LineKind::Message;
}

// A split that can raise nothing: errors of splitting come from quotes, braces of references and
// references nested too deep.
bool SplitCannotFail(const char* text) {
  int references = 0;
  for (; *text != '\0'; ++text) {
    if (*text == '"' || *text == '{') return false;
    if (*text == '$') ++references;
  }
  return references < 64;
}

// A line that was not read from the scenario file (a command the shell or an event runs).
constexpr std::int64_t NoFileLine = -1;

// One line: a label, a comment, a command or message text. `kept` is the file's kept line for it,
// or the one kept for a line a command made up: a line that means the same at every pass is split
// and looked up once, then taken from there. `lineStart` is the byte offset in the scenario file of
// the line read from it that led here, or NoFileLine.
CommandResult ExecuteLine(Engine& engine, TCommandLine& line, char* buffer, TScenarioLine* kept,
                          std::int64_t lineStart) {
  LineKind kind;
  const CommandSpec* command = nullptr;
  if (kept != nullptr && kept->kindKnown && (kept->splitKept || kept->splitUnused)) {
    if (kept->splitKept) line.Restore(kept->parsed);
    kind = static_cast<LineKind>(kept->kind);
    command = static_cast<const CommandSpec*>(kept->handler);
  } else {
    kind = Classify(engine, line, buffer, command);
    if (kept != nullptr && !kept->kindKnown) {
      kept->kind = static_cast<std::uint8_t>(kind);
      kept->handler = command;
      kept->kindKnown = true;
      // A line splits the same at every pass when its split takes nothing from the variables.
      if (!ChangesWhenSubstituted(buffer)) {
        line.Save(kept->parsed);
        kept->splitKept = true;
      } else if (command != nullptr && command->readsOwnText && SplitCannotFail(buffer)) {
        kept->splitUnused = true;
      }
    }
  }
  TScenario& scenario = engine.script.Scenario();
  ScriptContext ctx{engine, line, buffer, buffer, kept};
  switch (kind) {
  case LineKind::Label: {
    const char* label = FindParam(line, "NAME", 1);
    if (label == nullptr || label[0] == '\0') ThrowError(ErrMissingParam, "無し");
    scenario.paragraphs.Add(label, scenario.line, scenario.Tell());
    scenario.SetParagraph(label);
    return CommandResult::Continue;
  }
  case LineKind::Nothing:
    return CommandResult::Continue;
  case LineKind::Command:
    if (!command->runsWhenSkipping && scenario.ifState != IfState::Active) return CommandResult::Continue;
    return command->handler(ctx);
  case LineKind::Macro:
    return engine.commands.CallMacro(ctx);
  case LineKind::Message:
    break;
  }
  if (scenario.ifState != IfState::Active) return CommandResult::Continue;
  const char* text = line.Substitute(buffer);
  if (lineStart != NoFileLine) TakeMessageLine(engine, static_cast<std::uint32_t>(lineStart));
  if (IScriptObserver* observer = engine.Observer()) observer->OnMessageText(text);
  engine.Messages().SetMessageText(text);
  return CommandResult::Stop;
}

} // namespace

int RunScenario(Engine& engine, const char* command) {
  // Declared first, released last: what arrived while the interpreter ran is delivered after it.
  const ScriptDoor::Hold hold(engine.door);
  const RunningInterpreter running(engine.run.interpreterRunning);
  engine.door.BeginWait();
  char buffer[TScenario::LineSize];
  TCommandLine line(engine.script.variables);
  try {
    TScenario& current = engine.script.Scenario();
    if (!current.IsOpen()) ThrowError(ErrFileNotFound, current.fileName);
    current.FindParagraph(engine.script.variables);
    for (;;) {
      TScenarioLine* kept = nullptr;
      std::int64_t lineStart = NoFileLine;
      if (command != nullptr) {
        const std::string_view cut = CutAtCharBoundary(command, TScenario::LineSize - 1);
        std::memcpy(buffer, cut.data(), cut.size());
        buffer[cut.size()] = '\0';
      } else {
        // A command may have put another scenario in place: read from the current one.
        TScenario& scenario = engine.script.Scenario();
        ++scenario.line;
        ++engine.script.linesRead;
        lineStart = scenario.Tell();
        kept = scenario.ReadKeptLine(buffer);
        if (kept == nullptr) ThrowFatal(ErrUnexpectedEOF, "無し");
      }
      CommandResult result = ExecuteLine(engine, line, buffer, kept, lineStart);
      while (result == CommandResult::Redispatch) {
        result = ExecuteLine(engine, line, buffer, engine.script.madeUpLines.Keep(buffer), lineStart);
      }
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
  engine.door.Deliver([&engine, slot] {
    if (engine.run.state == RunState::Terminating || !engine.script.EventSet(slot)) return;
    static constexpr const char* MediaEvents[EventSlotCount] = {nullptr, "event WAVE_NOTIFY", "event MIDI_NOTIFY",
                                                                "event CDDA_NOTIFY", "event MOVIE_NOTIFY"};
    IScriptObserver* observer = engine.Observer();
    if (observer != nullptr && MediaEvents[slot] != nullptr) observer->OnMedia(MediaEvents[slot]);
    EventSlot& event = engine.script.events[static_cast<std::size_t>(slot)];
    const std::string command =
        FormatCommand(event.action == EventAction::GoTo ? "@GoTo \"%s\"" : "@GoSub \"%s\"", event.label);
    event.action = EventAction::None;
    RunScenario(engine, command.c_str());
  });
}

void CancelWait(Engine& engine) {
  RunControl& run = engine.run;
  const bool away = run.Away();
  switch (away ? run.savedState : run.state) {
  case RunState::TransitionStep:
  case RunState::TransitionLast: {
    // The transition gets its finishing call, so that it can let go of what it holds.
    ITransitionRunner& transition = engine.Transition();
    const ScriptDoor::Hold hold(engine.door);
    transition.StartFinish();
    for (int calls = 0; calls < MaxFinishingCalls && transition.Step() != 0; ++calls) {
    }
    transition.CopyFinalPicture();
    break;
  }
  case RunState::TransitionEnd:
    engine.Transition().CopyFinalPicture();
    break;
  case RunState::SoundWait:
    engine.Media().StopWave();
    break;
  case RunState::MusicWait:
    engine.Media().StopMusic();
    break;
  case RunState::CDWait:
    engine.Media().StopCd();
    break;
  default:
    break;
  }
  // The movie over the picture closes, and a fade goes on to its end without resuming anything.
  engine.Media().CloseMovie();
  engine.Media().DetachFades();
  // A voice that belongs to the text on screen ends with it.
  if (run.voicePending) {
    engine.Media().StopWave();
    run.voicePending = false;
  }
  run.waitDeadline = 0;
  run.resumeWhenShown.reset();
  if (away || IsTransition(run.state)) engine.platform.window.Repaint();
}

void JumpToEntry(Engine& engine, std::string_view location) {
  CancelWait(engine);
  // Resumes already posted or held belong to the wait that was cancelled.
  engine.door.BeginWait();
  ScriptState& script = engine.script;
  script.scenarioStack.Clear();
  script.Scenario().Open(location);
  script.Scenario().Reset();
  engine.Messages().Reset();
  SetReadSkip(engine, false);
  script.ClearEvents();
  if (engine.run.state != RunState::Terminating) engine.run.state = RunState::Running;
  engine.door.RequestResume();
}

} // namespace velmo
