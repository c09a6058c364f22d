#pragma once

#include "engine/base/run_control.h"

#include <cstdint>
#include <deque>
#include <functional>

namespace velmo {

class IWindow;

// The one door back into the script: everything that would run the interpreter (a resume, an
// event, a choice, a posted command) or end the program comes through it.
//
// - Tickets: each run of the interpreter begins a new wait (BeginWait); what ends that wait asks
//   for one resume carrying its ticket (RequestResume), and a resume whose wait is over, because
//   another one was taken or the engine jumped to an entry since, is dropped (TakeResume).
// - Holding: while the interpreter runs, a transition is stepped, or a box, dialog or menu of the
//   engine is open (a Hold lives), what arrives is held and delivered in the order it came once
//   nothing holds the door. A modal loop that dispatches posted messages therefore never runs the
//   script under a running command.
//
// Everything here happens on the GUI thread; other threads only post resumes with their ticket.
class ScriptDoor : public IScriptDoor {
public:
  explicit ScriptDoor(IWindow& mainWindow) : window(mainWindow) {}
  ScriptDoor(const ScriptDoor&) = delete;
  ScriptDoor& operator=(const ScriptDoor&) = delete;

  std::uint32_t CurrentWait() const override { return ticket; }
  // Posts UM_RESUME carrying `waitTicket`, once, while that wait is the current one.
  void RequestResume(std::uint32_t waitTicket) override;
  using IScriptDoor::RequestResume;

  // A new wait begins: resumes asked for or posted for earlier waits no longer count.
  void BeginWait();
  // Whether a posted resume carrying `waitTicket` is for the current wait.
  bool IsCurrent(std::uint32_t waitTicket) const { return waitTicket == ticket; }

  // Runs `action` now when nothing holds the door; otherwise keeps it until nothing does. An
  // action may end the engine's parts only through a posted message, never by destroying them.
  void Deliver(std::function<void()> action);
  bool Held() const { return depth > 0; }

  // Holds the door for as long as it lives.
  class Hold {
  public:
    explicit Hold(ScriptDoor& held) : door(held) { ++door.depth; }
    ~Hold() { door.Release(); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

  private:
    ScriptDoor& door;
  };

private:
  void Release();

  IWindow& window;
  std::uint32_t ticket = 0;
  bool resumeRequested = false;
  int depth = 0;
  std::deque<std::function<void()>> held;
};

} // namespace velmo
