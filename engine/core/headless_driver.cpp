#include "engine/core/headless_driver.h"

#include "engine/core/engine.h"
#include "engine/core/frame_driver.h"
#include "engine/core/script_door.h"

namespace velmo {

HeadlessDriver::Dispatched HeadlessDriver::DispatchOne() {
  if (shutdownDelivered) return Dispatched::Shutdown;
  if (window.posted.empty()) return Dispatched::Nothing;
  const bool held = engine.door.Held();
  const bool resume = window.posted.front() == PostedMessage::Resume;
  const std::uint32_t ticket = resume ? window.resumeTickets.front() : 0;
  window.TakePosted();
  if (resume) {
    OnResume(engine, ticket);
  } else {
    engine.door.Deliver([this] { shutdownDelivered = true; });
  }
  if (shutdownDelivered) return Dispatched::Shutdown;
  return held ? Dispatched::Held : Dispatched::Resume;
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
