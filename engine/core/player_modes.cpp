#include "engine/core/player_modes.h"

#include "engine/core/engine.h"
#include "engine/graphics/screen.h"
#include "engine/platform/platform.h"
#include "engine/save/read_record.h"
#include "engine/script/scenario.h"
#include "engine/script/script_state.h"
#include "engine/text/message_window.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace velmo {

namespace {

constexpr std::uint32_t AutoModeBaseMs = 1000;
constexpr std::uint32_t AutoModeCharMs = 30;      // per character at the fastest text speed
constexpr std::uint32_t AutoModeCharSpeedMs = 10; // added per character for each step of speed
constexpr std::int32_t MaxCountedCharacters = 65535;

void ShowMenus(Engine& engine) { engine.platform.window.ShowMenus(engine.menus); }

} // namespace

void ReadingModesFromSettings(Engine& engine) {
  engine.menus.flashbackEnabled = engine.settings.maxFlashbackBuf > 0;
  engine.menus.autoModeChecked = engine.settings.autoMode != 0;
}

std::uint32_t AutoModeDelayMs(std::int32_t characters, std::int32_t speed) {
  const auto counted = static_cast<std::uint32_t>(std::clamp(characters, 0, MaxCountedCharacters));
  const auto steps = static_cast<std::uint32_t>(std::clamp(speed, 0, 10));
  return AutoModeBaseMs + counted * (AutoModeCharMs + AutoModeCharSpeedMs * steps);
}

void SetAutoMode(Engine& engine, bool on) {
  if ((engine.settings.autoMode != 0) == on) return;
  engine.settings.autoMode = on ? 1 : 0;
  engine.run.autoDeadline = 0;
  engine.menus.autoModeChecked = on;
  ShowMenus(engine);
}

void TickAutoMode(Engine& engine, std::uint32_t nowMs) {
  RunControl& run = engine.run;
  if (run.voicePending) {
    run.autoDeadline = 0;
    return;
  }
  if (run.autoDeadline == 0) {
    // 0 stands for a delay not counted yet: a deadline that falls on it is moved by a millisecond.
    run.autoDeadline =
        std::max<std::uint32_t>(nowMs + AutoModeDelayMs(engine.Messages().WaitCharacters(), engine.settings.speed), 1);
    return;
  }
  if (static_cast<std::int32_t>(run.autoDeadline - nowMs) > 0) return;
  run.autoDeadline = 0;
  ContinuePage(engine);
}

void SetReadSkip(Engine& engine, bool on) {
  RunControl& run = engine.run;
  if (run.skipMode == SkipMode::Off || !engine.menus.skipNextEnabled) on = false;
  if (run.readSkip == on) return;
  run.readSkip = on;
  engine.menus.readSkipChecked = on;
  ShowMenus(engine);
  if (run.state == RunState::ClickWait && run.SkippingPages()) ContinuePage(engine);
}

void ToggleReadSkip(Engine& engine) {
  if (!engine.run.readSkip) ReturnToPage(engine);
  SetReadSkip(engine, !engine.run.readSkip);
}

void TakeMessageLine(Engine& engine, std::uint32_t offset) {
  const TScenario& scenario = engine.script.Scenario();
  RunControl& run = engine.run;
  run.lineRead = engine.readRecord.TakeLine(scenario.fileName, scenario.Size(), offset);
  // The skip stops at the first line not read before, and once a script disables skipping.
  SetReadSkip(engine, run.readSkip && run.lineRead);
}

void ContinuePage(Engine& engine) {
  engine.Messages().BlinkPageMarker(false);
  engine.run.state = RunState::TextOutput;
}

bool ReturnToPage(Engine& engine) {
  RunControl& run = engine.run;
  if (!run.Away()) return false;
  run.ReturnToSavedState();
  engine.platform.window.Repaint();
  // A wait that ended meanwhile lets the script go on now.
  if (const std::optional<std::uint32_t> ticket = std::exchange(run.resumeWhenShown, std::nullopt)) {
    engine.platform.window.PostResume(*ticket);
  }
  return true;
}

void FlashbackBack(Engine& engine) {
  RunControl& run = engine.run;
  FlashbackRing& ring = engine.screen.flashback;
  switch (run.state) {
  case RunState::Flashback:
    if (ring.Back()) engine.platform.window.Repaint();
    return;
  case RunState::NotStarted:
  case RunState::Running:
  case RunState::TransitionStep:
  case RunState::TransitionLast:
  case RunState::Terminating:
    return;
  default:
    break;
  }
  ring.StopLooking();
  if (!ring.Back()) return;
  // From a hidden message window the flashback returns to the page with its window shown.
  if (run.state != RunState::MessageHidden) run.savedState = run.state;
  run.state = RunState::Flashback;
  engine.platform.window.Repaint();
}

void FlashbackForward(Engine& engine) {
  RunControl& run = engine.run;
  if (run.state != RunState::Flashback) return;
  if (engine.screen.flashback.Forward())
    engine.platform.window.Repaint();
  else
    ReturnToPage(engine);
}

} // namespace velmo
