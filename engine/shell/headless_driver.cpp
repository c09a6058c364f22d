#include "engine/shell/headless_driver.h"

#include "engine/core/engine.h"
#include "engine/core/frame_driver.h"
#include "engine/core/script_door.h"
#include "engine/shell/menu_commands.h"

#include <algorithm>

namespace velmo {

HeadlessDriver::Dispatched HeadlessDriver::DispatchOne() {
  if (shutdownDelivered) return Dispatched::Shutdown;
  if (window.posted.empty()) return Dispatched::Nothing;
  const bool held = engine.door.Held();
  const PostedMessage message = window.posted.front();
  const std::uint32_t ticket = message == PostedMessage::Resume ? window.resumeTickets.front() : 0;
  const int id = message == PostedMessage::Command ? window.commandIds.front() : 0;
  window.TakePosted();
  switch (message) {
  case PostedMessage::Resume:
    OnResume(engine, ticket);
    break;
  case PostedMessage::Command:
    engine.door.Deliver([this, id] { RunMenuCommand(engine, id); });
    break;
  case PostedMessage::Shutdown:
    engine.door.Deliver([this] { shutdownDelivered = true; });
    break;
  }
  if (shutdownDelivered) return Dispatched::Shutdown;
  if (held) return Dispatched::Held;
  return message == PostedMessage::Command ? Dispatched::Command : Dispatched::Resume;
}

void HeadlessDriver::Tick() {
  DeliverMedia();
  if (!window.posted.empty()) return;
  // Input or a resume that changed what the engine waits for makes the tick due at once.
  if (CurrentWaitMark(engine) != waitTicked) frameDue.reset();
  if (frameDue) {
    // Nothing happens until the next tick or the next media event, whichever comes first: the
    // clock moves there. A media event may change what the engine waits for, or post a message
    // that the loop takes before anything else.
    const std::uint32_t now = clock.NowMs();
    std::uint32_t until = *frameDue - now;
    if (const std::optional<std::uint32_t> due = media.NextDue()) until = std::min(until, *due - now);
    if (static_cast<std::int32_t>(until) > 0) clock.Advance(until);
    if (static_cast<std::int32_t>(*frameDue - clock.NowMs()) > 0) {
      DeliverMedia();
      return;
    }
  }
  const std::uint32_t now = clock.NowMs();
  FrameTick(engine, now);
  waitTicked = CurrentWaitMark(engine);
  // A tick that posted a message is followed by the next one at once, after the message.
  frameDue.reset();
  if (window.posted.empty()) frameDue = NextTickTime(engine, now);
}

void HeadlessDriver::DeliverMedia() {
  while (const std::optional<HeadlessMedia::Due> due = media.TakeDue()) {
    switch (due->kind) {
    case HeadlessMedia::Due::Kind::Sound:
      OnMciNotify(engine, due->device, due->end);
      break;
    case HeadlessMedia::Due::Kind::Movie:
      OnMovieNotify(engine);
      break;
    case HeadlessMedia::Due::Kind::FadeTick:
      media.RunFadeTick();
      break;
    }
  }
}

bool HeadlessDriver::SkipWait() {
  RunControl& run = engine.run;
  if (run.state == RunState::TextOutput) {
    engine.door.RequestResume();
    return true;
  }
  if (run.state == RunState::TimedWait && run.waitDeadline != 0) {
    clock.nowMs = run.waitDeadline;
    run.waitDeadline = 0;
    engine.door.RequestResume();
    return true;
  }
  switch (run.state) {
  case RunState::VoiceWait:
  case RunState::MusicWait:
  case RunState::SoundWait:
  case RunState::CDWait:
  case RunState::MovieWait:
  case RunState::MixerWait:
    if (const std::optional<std::uint32_t> due = media.NextDue()) {
      clock.nowMs = *due;
      DeliverMedia();
      return true;
    }
    return false;
  default:
    return false;
  }
}

} // namespace velmo
