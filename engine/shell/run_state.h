#pragma once

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

} // namespace velmo
