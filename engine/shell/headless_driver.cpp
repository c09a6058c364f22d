#include "engine/shell/headless_driver.h"

#include "engine/core/engine.h"
#include "engine/core/frame_driver.h"
#include "engine/core/script_door.h"
#include "engine/shell/menu_commands.h"

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
  FrameTick(engine, clock.NowMs());
  if (window.posted.empty()) clock.Advance(NextTickTime(engine, clock.NowMs()) - clock.NowMs());
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
  return false;
}

} // namespace velmo
