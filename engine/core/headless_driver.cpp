#include "engine/core/headless_driver.h"

#include "engine/core/engine.h"
#include "engine/core/frame_driver.h"

namespace velmo {

HeadlessDriver::Dispatched HeadlessDriver::DispatchOne() {
  if (window.posted.empty()) return Dispatched::Nothing;
  const PostedMessage message = window.posted.front();
  window.posted.pop_front();
  if (message == PostedMessage::Shutdown) return Dispatched::Shutdown;
  OnResume(engine);
  return Dispatched::Resume;
}

void HeadlessDriver::Tick() {
  FrameTick(engine, clock.NowMs());
  if (window.posted.empty()) clock.Advance(NextTickTime(engine, clock.NowMs()) - clock.NowMs());
}

bool HeadlessDriver::SkipWait() {
  RunControl& run = engine.run;
  if (run.state == RunState::TextOutput) {
    window.PostResume();
    return true;
  }
  if (run.state == RunState::TimedWait && run.waitDeadline != 0) {
    clock.nowMs = run.waitDeadline;
    run.waitDeadline = 0;
    window.PostResume();
    return true;
  }
  return false;
}

} // namespace velmo
