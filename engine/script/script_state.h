#pragma once

#include "engine/platform/platform.h"
#include "engine/script/list_hash.h"
#include "engine/script/scenario.h"
#include "engine/script/scenario_stack.h"
#include "engine/script/script_random.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace velmo {

enum class EventAction : std::int32_t { None = 7, GoTo = 8, GoSub = 9 };

// The event slots of @OnEvent.
enum EventSlotId { UserClick = 0, WaveNotify = 1, MidiNotify = 2, CddaNotify = 3, MovieNotify = 4, EventSlotCount = 5 };

struct EventSlot {
  EventAction action = EventAction::None;
  std::string label; // at most 63 bytes
};

// Everything a running script reads and writes: its variables and macros, the one current
// scenario with the call stack of @GoSub, the event slots, the timer channels and the random
// draws. The variables and macros live for the whole run; the scenario is never missing (a
// scenario that could not be opened is one without a file).
class ScriptState {
public:
  explicit ScriptState(IFileSystem& files) : scenario(std::make_unique<TScenario>(files)) {}

  TScenario& Scenario() { return *scenario; }
  const TScenario& Scenario() const { return *scenario; }

  bool EventSet(int slot) const {
    return slot >= 0 && slot < EventSlotCount && events[static_cast<std::size_t>(slot)].action != EventAction::None;
  }
  void ClearEvents() {
    for (EventSlot& event : events) event.action = EventAction::None;
  }

  TListHash variables;
  TMacroTable macros;
  std::unique_ptr<TScenario> scenario;
  TScnFileStack scenarioStack;
  std::array<EventSlot, EventSlotCount> events;
  std::array<std::uint32_t, 4> timers{}; // timer channels of @Timer
  ScriptRandom random;
  std::uint64_t linesRead = 0; // scenario lines read since start
};

} // namespace velmo
