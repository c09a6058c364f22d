#pragma once

#include <cstdint>
#include <optional>

namespace velmo {

// What the engine is doing or waiting for. The shell decides by it what each tick, click, key and
// notification does.
enum class RunState {
  NotStarted = 0,
  Running = 1,
  TextOutput = 2,
  ClickWait = 3,
  SelectWait = 4,
  TimedWait = 5,
  VoiceWait = 6,
  MusicWait = 7,
  SoundWait = 8,
  CDWait = 9,
  MovieWait = 10,
  MixerWait = 11,
  TransitionStep = 12,
  TransitionLast = 13,
  TransitionEnd = 14,
  MessageHidden = 15,
  Terminating = 16,
};

// What a click may cut short (@EnableSkip).
enum class SkipMode : std::int32_t {
  Off = 0,  // clicks never skip
  Text = 1, // a click during text output finishes the page at once
  All = 2,  // a click also cuts a running transition short
};

// The engine's run control: its RunState and the wait and skip state that the interpreter, the
// message window, the selection and the shell share. Everything here is touched on the GUI
// thread only.
struct RunControl {
  RunState state = RunState::NotStarted;
  RunState savedState = RunState::NotStarted; // to return to when the message window shows again
  std::uint32_t waitDeadline = 0;             // timeGetTime milliseconds, 0 = none
  SkipMode skipMode = SkipMode::Off;
  bool clickSkip = false;               // finish the current text page or transition at once
  bool skipToOption = false;            // fast-forward to the next selection
  std::int32_t textStepIntervalMs = 25; // negative: the player's speed (Settings::speed x 4)
  bool voicePending = false;            // the voice playing belongs to the text on screen
  // The ticket of a wait that ended while the message window was hidden: the script goes on once
  // the window shows again.
  std::optional<std::uint32_t> resumeWhenShown;
  bool interpreterRunning = false; // RunScenario is under way (it is never entered twice)

  // A click or the menu asked to hurry: text steps run at once and transitions finish.
  bool Hurrying() const { return clickSkip || skipToOption; }

  // The voice that belonged to the text on screen is over (it finished, or its channel stopped):
  // a page that waited for it goes on, also one whose window is hidden once it shows again. In
  // any other state nothing else changes.
  void VoiceEnded() {
    if (!voicePending) return;
    voicePending = false;
    if (state == RunState::VoiceWait) state = RunState::TextOutput;
    if (state == RunState::MessageHidden && savedState == RunState::VoiceWait) savedState = RunState::TextOutput;
  }
};

// The one door back into the script, as the parts below the engine see it. Each stop of the
// interpreter is a wait known by its ticket; a part that ends a wait asks the door for the script to
// go on, and the door posts at most one UM_RESUME for that wait, and none once the wait is over.
class IScriptDoor {
public:
  virtual ~IScriptDoor() = default;
  // The ticket of the wait the engine is in now.
  virtual std::uint32_t CurrentWait() const = 0;
  // The wait `ticket` is over: the script goes on, unless that wait is no longer the current one
  // or its resume was asked for already.
  virtual void RequestResume(std::uint32_t ticket) = 0;
  void RequestResume() { RequestResume(CurrentWait()); }
};

} // namespace velmo
