#pragma once

#include "engine/platform/platform.h"
#include "engine/script/command_table.h"
#include "engine/script/error_log.h"
#include "engine/script/errors.h"
#include "engine/script/list_hash.h"
#include "engine/script/scenario.h"
#include "engine/script/scenario_stack.h"
#include "engine/script/script_random.h"
#include "engine/shell/run_state.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace velmo {

// Where message-text lines go: the message window types the text out and sets RunState to
// TextOutput; it posts UM_RESUME once the text has been shown and acknowledged.
class IMessageWindow {
public:
  virtual ~IMessageWindow() = default;
  virtual void SetMessageText(const char* text) = 0;
};

// Told what a running game does that a player would notice: for velmo-run's transcript and for
// tests. Every method is optional.
class IScriptObserver {
public:
  virtual ~IScriptObserver() = default;
  // A script error, before it is reported to the player.
  virtual void OnScriptError(const TBaseException& /*error*/, const ScriptPosition& /*where*/) {}
  // @Exit at the outermost level: the game ends (then through the fatal-error report).
  virtual void OnGameExit() {}
};

enum class EventAction : std::int32_t { None = 7, GoTo = 8, GoSub = 9 };

// The event slots of @OnEvent.
enum EventSlotId { UserClick = 0, WaveNotify = 1, MidiNotify = 2, CddaNotify = 3, MovieNotify = 4, EventSlotCount = 5 };

struct EventSlot {
  EventAction action = EventAction::None;
  std::string label; // at most 63 bytes
};

// All engine-wide state of one running engine. The program owns one; each test makes its own.
class Engine {
public:
  explicit Engine(Platform& platformServices);
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  Platform& platform;

  RunState runState = RunState::NotStarted;
  std::uint32_t waitDeadline = 0; // timeGetTime milliseconds, 0 = none
  int skipMode = 0;               // 0 off, 1 text, 2 all
  bool clickSkip = false;
  bool skipToOption = false;

  TListHash variables;
  TMacroTable macros;
  std::unique_ptr<TScenario> scenario;
  TScnFileStack scenarioStack;
  std::array<EventSlot, EventSlotCount> events;
  std::array<std::uint32_t, 4> timers{}; // timer channels of @Timer
  ScriptRandom random;
  std::uint64_t linesRead = 0; // scenario lines read since start

  CommandTable commands;
  IMessageWindow* messageWindow = nullptr;
  IScriptObserver* observer = nullptr;
};

} // namespace velmo
