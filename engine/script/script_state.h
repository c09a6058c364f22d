#pragma once

#include "engine/platform/platform.h"
#include "engine/script/list_hash.h"
#include "engine/script/scenario.h"
#include "engine/script/scenario_stack.h"
#include "engine/script/script_random.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace velmo {

enum class EventAction : std::int32_t { None = 7, GoTo = 8, GoSub = 9 };

// The event slots of @OnEvent.
enum EventSlotId { UserClick = 0, WaveNotify = 1, MidiNotify = 2, CddaNotify = 3, MovieNotify = 4, EventSlotCount = 5 };

struct EventSlot {
  EventAction action = EventAction::None;
  std::string label; // at most 63 bytes
};

// The lines commands make up and have the interpreter run in their place ("@GoTo \"#label\""
// after a condition, a macro's @GoSub), kept by their text as the file's lines are kept, so that a
// loop does not split and look up the same made-up line at every pass. At most Capacity are kept;
// then they start over.
class TMadeUpLines {
public:
  static constexpr std::size_t Capacity = 256;

  // The kept line for `text`, made when new.
  TScenarioLine* Keep(std::string_view text) {
    if (const auto found = lines.find(text); found != lines.end()) return &found->second;
    if (lines.size() >= Capacity) lines.clear();
    return &lines.emplace(std::string(text), TScenarioLine{}).first->second;
  }

private:
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  std::unordered_map<std::string, TScenarioLine, TextHash, std::equal_to<>> lines;
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
  TMadeUpLines madeUpLines;
};

} // namespace velmo
