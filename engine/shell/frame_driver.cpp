#include "engine/shell/frame_driver.h"

#include "engine/script/interpreter.h"
#include "engine/script/script_commands.h"
#include "engine/shell/engine.h"

namespace velmo {

namespace {

// A state in which a click goes to the USER_CLICK handler when one is set.
bool ClickMayFireEvent(RunState state) {
  switch (state) {
  case RunState::TextOutput:
  case RunState::ClickWait:
  case RunState::SelectWait:
  case RunState::TimedWait:
  case RunState::MusicWait:
  case RunState::SoundWait:
  case RunState::CDWait:
  case RunState::MovieWait:
    return true;
  default:
    return false;
  }
}

bool EventSet(const Engine& engine, int slot) {
  return engine.events[static_cast<std::size_t>(slot)].action != EventAction::None;
}

void EndWait(Engine& engine) {
  engine.waitDeadline = 0;
  engine.platform.window.PostResume();
}

// The deadline test of TimedWait and SelectWait. The clock wraps after 49.7 days; a deadline is
// passed once it lies behind `now` on that circle.
void TickDeadline(Engine& engine, std::uint32_t nowMs) {
  if (engine.skipToOption) {
    EndWait(engine);
  } else if (engine.waitDeadline != 0 && static_cast<std::int32_t>(engine.waitDeadline - nowMs) < 0) {
    EndWait(engine);
  }
}

void TextOutputClick(Engine& engine) {
  if (engine.skipMode == 0) return;
  engine.clickSkip = true;
  if (engine.voicePending) {
    if (engine.media != nullptr) engine.media->StopWave();
    engine.voicePending = false;
    engine.runState = RunState::TextOutput;
  }
}

} // namespace

void FrameTick(Engine& engine, std::uint32_t nowMs) {
  switch (engine.runState) {
  case RunState::TextOutput:
    if (engine.messageWindow != nullptr) engine.messageWindow->OutputStep();
    break;
  case RunState::ClickWait:
    if (engine.messageWindow != nullptr) engine.messageWindow->BlinkPageMarker(true);
    break;
  case RunState::SelectWait:
    engine.clickSkip = false;
    engine.skipToOption = false;
    TickDeadline(engine, nowMs);
    break;
  case RunState::TimedWait:
    TickDeadline(engine, nowMs);
    break;
  case RunState::TransitionStep:
    // Without a transition to step there is nothing to wait for: straight to the final copy.
    if (engine.transition == nullptr) {
      engine.runState = RunState::TransitionEnd;
    } else {
      const int result = engine.transition->Step();
      engine.platform.window.Repaint();
      if (result == 0 || engine.clickSkip || engine.skipToOption) {
        engine.transition->StartFinish();
        engine.runState = RunState::TransitionLast;
      }
    }
    break;
  case RunState::TransitionLast:
    if (engine.transition == nullptr) {
      engine.runState = RunState::TransitionEnd;
    } else {
      const int result = engine.transition->Step();
      engine.platform.window.Repaint();
      if (result == 0) engine.runState = RunState::TransitionEnd;
    }
    break;
  case RunState::TransitionEnd:
    engine.platform.graphics.Flush();
    if (engine.transition != nullptr) engine.transition->CopyFinalPicture();
    engine.platform.window.Repaint();
    engine.platform.window.PostResume();
    break;
  default:
    // The media and mixer waits end by their notifications; the other states are not driven.
    break;
  }
}

std::uint32_t NextTickTime(const Engine& engine, std::uint32_t nowMs) {
  switch (engine.runState) {
  case RunState::TextOutput: {
    if (engine.clickSkip || engine.skipToOption) return nowMs; // one step per pass, at once
    // A speed from the settings file may be any number: the product wraps rather than overflows.
    const std::uint32_t interval = engine.textStepIntervalMs < 0
                                       ? static_cast<std::uint32_t>(engine.settings.speed) * 4u
                                       : static_cast<std::uint32_t>(engine.textStepIntervalMs);
    return nowMs + interval;
  }
  case RunState::SelectWait:
  case RunState::TimedWait:
    return nowMs + 10;
  case RunState::TransitionStep:
  case RunState::TransitionLast:
    return nowMs + (engine.transition != nullptr ? engine.transition->FrameIntervalMs() : 50);
  default:
    return nowMs + 50;
  }
}

void OnResume(Engine& engine) {
  if (engine.runState == RunState::Terminating) return;
  engine.runState = RunState::Running;
  RunScenario(engine);
}

void TakeChoice(Engine& engine, const SelectionChoice& choice) {
  if (choice.entry < 0) return;
  engine.waitDeadline = 0;
  engine.variables.SetVarNumber("exit", choice.entry);
  const std::string option = engine.variables.GetVar("option[" + std::to_string(choice.option) + "]");
  if (choice.kind == 0) {
    RunScenario(engine, FormatCommand("@GoTo \"%s\"", option).c_str());
  } else if (choice.kind == 1) {
    engine.variables.SetVarText("exit", option);
    engine.platform.window.PostResume();
  }
}

void OnLeftClick(Engine& engine, int x, int y) {
  if (ClickMayFireEvent(engine.runState) && EventSet(engine, UserClick)) {
    FireEvent(engine, UserClick);
    return;
  }
  switch (engine.runState) {
  case RunState::TextOutput:
    engine.skipToOption = false;
    TextOutputClick(engine);
    break;
  case RunState::VoiceWait:
    TextOutputClick(engine);
    break;
  case RunState::ClickWait:
    if (engine.messageWindow != nullptr) engine.messageWindow->BlinkPageMarker(false);
    engine.runState = RunState::TextOutput;
    break;
  case RunState::SelectWait:
    if (engine.selection != nullptr) TakeChoice(engine, engine.selection->Hit(x, y));
    break;
  case RunState::TransitionStep:
  case RunState::TimedWait:
    // In a timed wait the flag only makes the next page come at once; the wait keeps its end.
    if (engine.skipMode == 2) engine.clickSkip = true;
    break;
  case RunState::MusicWait:
    if (engine.media != nullptr) engine.media->StopMusic();
    engine.platform.window.PostResume();
    break;
  case RunState::SoundWait:
    if (engine.media != nullptr) engine.media->StopWave();
    engine.platform.window.PostResume();
    break;
  case RunState::CDWait:
    if (engine.media != nullptr) engine.media->StopCd();
    engine.platform.window.PostResume();
    break;
  case RunState::MessageHidden:
    engine.runState = engine.savedRunState;
    engine.platform.window.Repaint();
    break;
  default:
    break;
  }
}

RightClickAction OnRightClick(const Engine& engine) {
  if (engine.settings.fullScreen != 0) return RightClickAction::FullScreenMenu;
  switch (engine.settings.rightClick) {
  case 1:
    return RightClickAction::SkipToOption;
  case 2:
    return RightClickAction::EraseMessage;
  case 3:
    return RightClickAction::Config;
  case 4:
    return RightClickAction::Capture;
  case 5:
    return RightClickAction::CaptureAuto;
  default:
    return RightClickAction::None;
  }
}

void OnKey(Engine& engine, int virtualKey) {
  if (engine.runState != RunState::SelectWait || engine.selection == nullptr) return;
  if (virtualKey == KeyUp)
    engine.selection->Up();
  else if (virtualKey == KeyDown)
    engine.selection->Down();
  else if (engine.selection->Key(virtualKey))
    OnLeftClick(engine, 0, 0); // a hot key chooses its entry as Space would
}

void OnMouseMove(Engine& engine, int x, int y) {
  if (engine.runState == RunState::SelectWait && engine.selection != nullptr) engine.selection->Hover(x, y);
}

void OnMciNotify(Engine& engine, std::uint32_t deviceId) {
  if (engine.media == nullptr) return;
  // Each channel is asked in turn; one that takes the notification ends the handling when it
  // acts on it.
  if (engine.media->WaveNotify(deviceId)) {
    if (engine.voicePending) {
      engine.voicePending = false;
      engine.runState = RunState::TextOutput;
      return;
    }
    if (EventSet(engine, WaveNotify)) {
      FireEvent(engine, WaveNotify);
      return;
    }
  }
  if (engine.media->MusicNotify(deviceId) && EventSet(engine, MidiNotify)) {
    FireEvent(engine, MidiNotify);
    return;
  }
  if (engine.media->CdNotify(deviceId) && EventSet(engine, CddaNotify)) FireEvent(engine, CddaNotify);
}

void OnMovieNotify(Engine& engine) {
  if (engine.media != nullptr && engine.media->MovieNotify() && EventSet(engine, MovieNotify)) {
    FireEvent(engine, MovieNotify);
  }
}

} // namespace velmo
