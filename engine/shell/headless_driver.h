#pragma once

#include "engine/platform/headless/headless_platform.h"

namespace velmo {

class Engine;

// The program's message loop without a window, for velmo-run, the tests and fuzzing: what the
// engine posted to its HeadlessWindow is taken oldest first, one message at a time, and the frame
// driver ticks on the HeadlessClock, as the program's loop does with the real window and clock.
class HeadlessDriver {
public:
  HeadlessDriver(Engine& driven, HeadlessClock& virtualClock, HeadlessWindow& headlessWindow)
      : engine(driven), clock(virtualClock), window(headlessWindow) {}

  enum class Dispatched { Nothing, Resume, Command, Held, Shutdown };
  // Takes the oldest posted message and hands it to the script door, as the window procedure does:
  // UM_RESUME runs the interpreter if its wait is still the current one (Resume), a menu command
  // is carried out (Command); while something holds the door the message waits there (Held). Once
  // the door has delivered UM_SHUTDOWN, at once or when it was no longer held, every call answers
  // Shutdown for the caller to end the run. Nothing when no message was posted.
  Dispatched DispatchOne();
  // Ticks the frame driver at the clock's time. Unless the tick posted a message (which the loop
  // takes before anything else), the clock then moves to when the next tick is due.
  void Tick();
  // Ends the current wait the quickest way a player could, without typing text out: a message line
  // counts as read at once, a timed wait's deadline has come. False when the engine waits for
  // something else.
  bool SkipWait();

private:
  Engine& engine;
  HeadlessClock& clock;
  HeadlessWindow& window;
  bool shutdownDelivered = false;
};

} // namespace velmo
