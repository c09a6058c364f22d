#pragma once

#include "engine/graphics/layers.h"
#include "engine/graphics/surface.h"
#include "engine/platform/platform.h"
#include "engine/plugin/effect_host.h"
#include "engine/plugin/plugin_list.h"
#include "engine/script/command_table.h"
#include "engine/script/error_log.h"
#include "engine/script/errors.h"
#include "engine/script/list_hash.h"
#include "engine/script/scenario.h"
#include "engine/script/scenario_stack.h"
#include "engine/script/script_random.h"
#include "engine/shell/run_state.h"
#include "engine/shell/settings.h"
#include "engine/shell/subsystems.h"
#include "engine/text/message_window.h"
#include "engine/text/selection.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmo {

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
  RunState savedRunState = RunState::NotStarted; // to return to when the message window shows again
  std::uint32_t waitDeadline = 0;                // timeGetTime milliseconds, 0 = none
  int skipMode = 0;                              // 0 off, 1 text, 2 all
  bool clickSkip = false;                        // finish the current text page or transition at once
  bool skipToOption = false;                     // fast-forward to the next selection
  std::int32_t textStepIntervalMs = 25;          // negative: the player's speed (Settings::speed x 4)
  bool voicePending = false;                     // the voice playing belongs to the text on screen
  bool runsFromCd = false;

  Settings settings;
  // The five surfaces: background and user band; plus window band; plus text band (the finished
  // frame); the snapshot a transition starts from; and what the window shows.
  std::unique_ptr<TSurface> baseSurface;
  std::unique_ptr<TSurface> windowSurface;
  std::unique_ptr<TSurface> composeSurface;
  std::unique_ptr<TSurface> previousSurface;
  std::unique_ptr<TSurface> screenSurface;
  std::vector<std::unique_ptr<TSurface>> flashbackSurfaces;
  LayerTable layers;

  TListHash variables;
  TMacroTable macros;
  std::unique_ptr<TScenario> scenario;
  TScnFileStack scenarioStack;
  std::array<EventSlot, EventSlotCount> events;
  std::array<std::uint32_t, 4> timers{}; // timer channels of @Timer
  ScriptRandom random;
  std::uint64_t linesRead = 0; // scenario lines read since start

  TListPlugin plugins;
  EffectRecord currentTransition; // set by @SetTransition
  EffectHost effects;             // steps the pending transition or effect
  // Plug-ins that could not be loaded at start-up, for the error log once it exists.
  std::vector<TException> pluginFailures;

  CommandTable commands;
  // The message window and the selection; messageWindow and selection point at them unless a
  // test or the headless player puts an observer in between.
  std::unique_ptr<MessageWindow> ownMessageWindow;
  std::unique_ptr<Selection> ownSelection;
  IMessageWindow* messageWindow = nullptr;
  ISelection* selection = nullptr;
  IMediaChannels* media = nullptr;
  ITransitionRunner* transition = nullptr;
  IScriptObserver* observer = nullptr;
};

// The objects made when the main window is created: the plug-ins of `systemFolder` (a plug-in
// that cannot be loaded is left out and noted in pluginFailures), the flashback surfaces (as many
// as the settings ask for) and a check that every surface exists. Returns the class name of an
// object that could not be made ("TSurface"), or nullptr.
const char* CreateEngineObjects(Engine& engine, std::string_view systemFolder);

} // namespace velmo
