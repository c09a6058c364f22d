#include "engine/core/script_door.h"

#include "engine/platform/platform.h"

#include <utility>

namespace velmo {

void ScriptDoor::RequestResume(std::uint32_t waitTicket) {
  if (waitTicket != ticket || resumeRequested) return;
  resumeRequested = true;
  window.PostResume(waitTicket);
}

void ScriptDoor::BeginWait() {
  ++ticket;
  resumeRequested = false;
}

void ScriptDoor::Deliver(std::function<void()> action) {
  if (depth > 0) {
    held.push_back(std::move(action));
    return;
  }
  action();
}

void ScriptDoor::Release() {
  if (--depth > 0 || held.empty()) return;
  // Delivered in order; what arrives meanwhile (the delivered actions run the interpreter, which
  // holds the door itself) waits behind them.
  ++depth;
  while (!held.empty()) {
    std::function<void()> action = std::move(held.front());
    held.pop_front();
    action();
  }
  --depth;
}

} // namespace velmo
