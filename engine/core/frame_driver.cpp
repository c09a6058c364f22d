#include "engine/core/frame_driver.h"

#include "engine/base/format.h"
#include "engine/core/engine.h"
#include "engine/core/interpreter.h"
#include "engine/core/player_modes.h"
#include "engine/core/script_door.h"
#include "engine/media/media_channels.h"
#include "engine/platform/platform.h"
#include "engine/plugin/effect_host.h"
#include "engine/save/read_record.h"
#include "engine/script/script_state.h"
#include "engine/text/message_window.h"
#include "engine/text/selection.h"

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

void EndWait(Engine& engine) {
  engine.run.waitDeadline = 0;
  engine.door.RequestResume();
}

// The deadline test of TimedWait and SelectWait. The clock wraps after 49.7 days; a deadline is
// passed once it lies behind `now` on that circle.
void TickDeadline(Engine& engine, std::uint32_t nowMs) {
  if (engine.run.SkippingPages()) {
    EndWait(engine);
  } else if (engine.run.waitDeadline != 0 && static_cast<std::int32_t>(engine.run.waitDeadline - nowMs) < 0) {
    EndWait(engine);
  }
}

void TextOutputClick(Engine& engine) {
  if (engine.run.skipMode == SkipMode::Off) return;
  engine.run.clickSkip = true;
  if (engine.run.voicePending) {
    engine.Media().StopWave();
    engine.run.voicePending = false;
    engine.run.state = RunState::TextOutput;
  }
}

} // namespace

void FrameTick(Engine& engine, std::uint32_t nowMs) {
  switch (engine.run.state) {
  case RunState::TextOutput:
    engine.Messages().OutputStep();
    break;
  case RunState::ClickWait:
    engine.Messages().BlinkPageMarker(true);
    if (engine.settings.autoMode != 0) TickAutoMode(engine, nowMs);
    break;
  case RunState::SelectWait:
    // Skipping stops at a selection.
    engine.run.clickSkip = false;
    engine.run.skipToOption = false;
    SetReadSkip(engine, false);
    TickDeadline(engine, nowMs);
    break;
  case RunState::TimedWait:
    TickDeadline(engine, nowMs);
    break;
  case RunState::TransitionStep: {
    ITransitionRunner& transition = engine.Transition();
    int result;
    {
      // A plug-in's frame may let messages through: none of them runs the script meanwhile.
      const ScriptDoor::Hold hold(engine.door);
      result = transition.Step();
    }
    engine.platform.window.Repaint();
    if (result == 0 || engine.run.Hurrying()) {
      transition.StartFinish();
      engine.run.state = RunState::TransitionLast;
    }
    break;
  }
  case RunState::TransitionLast: {
    int result;
    {
      const ScriptDoor::Hold hold(engine.door);
      result = engine.Transition().Step();
    }
    engine.platform.window.Repaint();
    if (result == 0) engine.run.state = RunState::TransitionEnd;
    break;
  }
  case RunState::TransitionEnd:
    engine.platform.graphics.Flush();
    engine.Transition().CopyFinalPicture();
    engine.platform.window.Repaint();
    engine.door.RequestResume();
    break;
  default:
    // The media and mixer waits end by their notifications; the other states are not driven.
    break;
  }
}

std::uint32_t NextTickTime(Engine& engine, std::uint32_t nowMs) {
  switch (engine.run.state) {
  case RunState::TextOutput: {
    if (engine.run.Hurrying()) return nowMs; // one step per pass, at once
    // A speed from the settings file may be any number: the product wraps rather than overflows.
    const std::uint32_t interval = engine.run.textStepIntervalMs < 0
                                       ? static_cast<std::uint32_t>(engine.settings.speed) * 4u
                                       : static_cast<std::uint32_t>(engine.run.textStepIntervalMs);
    return nowMs + interval;
  }
  case RunState::SelectWait:
  case RunState::TimedWait:
    return nowMs + 10;
  case RunState::TransitionStep:
  case RunState::TransitionLast:
    return nowMs + engine.Transition().FrameIntervalMs();
  default:
    return nowMs + 50;
  }
}

WaitMark CurrentWaitMark(const Engine& engine) { return {engine.run.state, engine.door.CurrentWait()}; }

void OnResume(Engine& engine, std::uint32_t ticket) {
  engine.door.Deliver([&engine, ticket] {
    // A resume for a wait that is over (another resume or a jump ended it) is dropped.
    if (engine.run.state == RunState::Terminating || !engine.door.IsCurrent(ticket)) return;
    // A wait that ends while the player looks at the picture without the message window or at the
    // flashback (a play or a fade came to its end) lets the script go on only once the page shows
    // again.
    if (engine.run.Away()) {
      engine.run.resumeWhenShown = ticket;
      return;
    }
    engine.run.state = RunState::Running;
    RunScenario(engine);
  });
}

void TakeChoice(Engine& engine, const SelectionChoice& choice) {
  if (choice.entry < 0) return;
  engine.door.Deliver([&engine, choice] {
    // Once taken, the selection is over: a second click before the script goes on chooses nothing.
    if (engine.run.state != RunState::SelectWait) return;
    // A choice is a moment worth keeping what was read; a failure is tried again at shutdown.
    engine.readRecord.Save();
    engine.run.state = RunState::Running;
    engine.run.waitDeadline = 0;
    TListHash& vars = engine.script.variables;
    vars.SetVarNumber("exit", choice.entry);
    const std::string option = vars.GetVar("option[" + std::to_string(choice.option) + "]");
    if (choice.kind == EntryKind::Jump) {
      RunScenario(engine, FormatCommand("@GoTo \"%s\"", option).c_str());
    } else {
      vars.SetVarText("exit", option);
      engine.door.RequestResume();
    }
  });
}

void OnLeftClick(Engine& engine, int x, int y) {
  SetAutoMode(engine, false);
  if (engine.run.state == RunState::Flashback) {
    FlashbackForward(engine);
    return;
  }
  if (ClickMayFireEvent(engine.run.state) && engine.script.EventSet(UserClick)) {
    FireEvent(engine, UserClick);
    return;
  }
  switch (engine.run.state) {
  case RunState::TextOutput:
    engine.run.skipToOption = false;
    SetReadSkip(engine, false);
    TextOutputClick(engine);
    break;
  case RunState::VoiceWait:
    TextOutputClick(engine);
    break;
  case RunState::ClickWait:
    ContinuePage(engine);
    break;
  case RunState::SelectWait:
    TakeChoice(engine, engine.Choices().Hit(x, y));
    break;
  case RunState::TransitionStep:
  case RunState::TimedWait:
    // In a timed wait the flag only makes the next page come at once; the wait keeps its end.
    if (engine.run.skipMode == SkipMode::All) engine.run.clickSkip = true;
    break;
  case RunState::MusicWait:
  case RunState::SoundWait:
  case RunState::CDWait:
    EndDeviceWait(engine);
    break;
  case RunState::MessageHidden:
    ReturnToPage(engine);
    break;
  default:
    break;
  }
}

void EndDeviceWait(Engine& engine) {
  IMediaChannels& media = engine.Media();
  switch (engine.run.state) {
  case RunState::MusicWait:
    media.StopMusic();
    break;
  case RunState::SoundWait:
    media.StopWave();
    break;
  case RunState::CDWait:
    media.StopCd();
    break;
  default:
    return;
  }
  engine.door.RequestResume();
}

RightClickAction OnRightClick(Engine& engine) {
  SetAutoMode(engine, false);
  if (engine.run.state == RunState::Flashback) {
    FlashbackForward(engine);
    return RightClickAction::None;
  }
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

InputEffect OnKey(Engine& engine, int virtualKey) {
  if (virtualKey == KeyEnter || virtualKey == KeySpace) return InputEffect::Click;
  if (virtualKey == KeyEscape) return InputEffect::RightButton;
  const bool autoMode = engine.settings.autoMode != 0;
  SetAutoMode(engine, false);
  if (virtualKey == KeyPageUp) {
    FlashbackBack(engine);
  } else if (virtualKey == KeyPageDown) {
    FlashbackForward(engine);
  } else if (engine.run.state == RunState::SelectWait) {
    ISelection& selection = engine.Choices();
    if (virtualKey == KeyUp)
      selection.Up();
    else if (virtualKey == KeyDown)
      selection.Down();
    else if (selection.Key(virtualKey))
      OnLeftClick(engine, 0, 0); // a hot key chooses its entry as Space would
  } else if (virtualKey == KeyAutoMode) {
    // The key that ended auto mode does not turn it on again.
    if (!autoMode) SetAutoMode(engine, true);
  } else if (virtualKey == KeyTab) {
    ToggleReadSkip(engine);
  }
  return InputEffect::None;
}

InputEffect OnWheel(Engine& engine, bool up) {
  if (up) {
    FlashbackBack(engine);
  } else if (engine.run.state == RunState::Flashback) {
    FlashbackForward(engine);
  } else if (engine.run.state != RunState::SelectWait) {
    return InputEffect::Click;
  }
  return InputEffect::None;
}

void OnMouseMove(Engine& engine, int x, int y) {
  if (engine.run.state == RunState::SelectWait) engine.Choices().Hover(x, y);
}

void OnMciNotify(Engine& engine, std::uint32_t deviceId, PlayEnd end) {
  IMediaChannels& media = engine.Media();
  // Each channel is asked in turn; one that takes the notification ends the handling when it
  // acts on it.
  if (media.WaveNotify(deviceId, end)) {
    if (engine.run.voicePending) {
      // The page that waited for its voice goes on; in any other state the voice just ends (a
      // hidden message window or the flashback goes on once the page shows again).
      engine.run.VoiceEnded();
      return;
    }
    if (engine.script.EventSet(WaveNotify)) {
      FireEvent(engine, WaveNotify);
      return;
    }
  }
  if (media.MusicNotify(deviceId, end) && engine.script.EventSet(MidiNotify)) {
    FireEvent(engine, MidiNotify);
    return;
  }
  if (media.CdNotify(deviceId, end) && engine.script.EventSet(CddaNotify)) FireEvent(engine, CddaNotify);
}

void OnMovieNotify(Engine& engine) {
  if (engine.Media().MovieNotify() && engine.script.EventSet(MovieNotify)) FireEvent(engine, MovieNotify);
}

void StopDisabledMedia(Engine& engine) {
  const Settings& settings = engine.settings;
  RunControl& run = engine.run;
  IMediaChannels& media = engine.Media();
  // A wait for a channel that is off now ends as a click ends it (which stops the channel too).
  const auto stop = [&](bool off, RunState wait, void (IMediaChannels::*stopChannel)()) {
    if (!off) return;
    if (run.state == wait) {
      EndDeviceWait(engine);
    } else {
      (media.*stopChannel)();
    }
  };
  stop(settings.enableMidi != 1, RunState::MusicWait, &IMediaChannels::StopMusic);
  stop(settings.enableCdda != 1, RunState::CDWait, &IMediaChannels::StopCd);
  stop(settings.enableSe != 1, RunState::SoundWait, &IMediaChannels::StopWave);
  // Voices play on the wave channel: a voice of the text on screen stops with voices off, and
  // with the wave channel stopped; either way its page goes on as when the voice ends.
  if (run.voicePending && (settings.enableVoice != 1 || settings.enableSe != 1)) {
    if (settings.enableSe == 1) media.StopWave();
    run.VoiceEnded();
  }
  if (settings.enableAvi != 1) {
    media.CloseMovie();
    if (run.state == RunState::MovieWait) engine.door.RequestResume();
  }
}

} // namespace velmo
