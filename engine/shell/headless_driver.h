#pragma once

#include "engine/core/frame_driver.h"
#include "engine/platform/headless/headless_media.h"
#include "engine/platform/headless/headless_platform.h"

#include <optional>

namespace velmo {

class Engine;

// The program's message loop without a window, for velmo-run, the tests and fuzzing: what the
// engine posted to its HeadlessWindow is taken oldest first, one message at a time, and the frame
// driver ticks on the HeadlessClock, as the program's loop does with the real window and clock.
// The ends of plays and the fade thread's ticks of the HeadlessMedia come at their times on the
// same clock, as the window procedure and the fade thread would deliver them.
class HeadlessDriver {
public:
  HeadlessDriver(Engine& driven, HeadlessClock& virtualClock, HeadlessWindow& headlessWindow, HeadlessMedia& devices)
      : engine(driven), clock(virtualClock), window(headlessWindow), media(devices) {}

  enum class Dispatched { Nothing, Resume, Command, Held, Shutdown };
  // Takes the oldest posted message and hands it to the script door, as the window procedure does:
  // UM_RESUME runs the interpreter if its wait is still the current one (Resume), a menu command
  // is carried out (Command); while something holds the door the message waits there (Held). Once
  // the door has delivered UM_SHUTDOWN, at once or when it was no longer held, every call answers
  // Shutdown for the caller to end the run. Nothing when no message was posted.
  Dispatched DispatchOne();
  // The program's loop waiting for what comes next: delivers what of the media is due; unless that
  // posted a message (which the loop takes before anything else), the clock moves to when the next
  // tick or the next media event is due, whichever comes first, and delivers that. A tick is due at
  // once when what the engine waits for has changed since the last tick (input, a resume), as the
  // program's window procedure makes it. The clock never moves after a tick: what the tick left (a page that
  // waits for a click) meets the player at the time it was drawn.
  void Tick();
  // Hands every end of a play and every fade tick due by the clock's time to the engine, in the
  // order they came due.
  void DeliverMedia();
  // When the next end of a play or fade tick is due, if any is.
  std::optional<std::uint32_t> NextMediaDue() const { return media.NextDue(); }
  // Ends the current wait the quickest way a player could, without typing text out: a message line
  // counts as read at once, a timed wait's deadline has come, a media wait's play has ended. False
  // when the engine waits for something else.
  bool SkipWait();

private:
  Engine& engine;
  HeadlessClock& clock;
  HeadlessWindow& window;
  HeadlessMedia& media;
  std::optional<std::uint32_t> frameDue; // when the frame driver ticks next; none: at once
  std::optional<WaitMark> waitTicked;    // what the engine waited for when the last tick left it
  bool shutdownDelivered = false;
};

} // namespace velmo
