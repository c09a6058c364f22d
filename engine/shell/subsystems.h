#pragma once

// What the shell and the interpreter ask of the subsystems that type out text, offer selections,
// play media and step transitions. Each subsystem implements its interface; until one exists
// the engine holds none, and the shell does without it.

#include <cstdint>

namespace velmo {

// The message window: takes message-text lines and types them out.
class IMessageWindow {
public:
  virtual ~IMessageWindow() = default;
  // A line of message text, references expanded: starts its output and sets RunState to
  // TextOutput. The window posts UM_RESUME once the text has been shown and acknowledged.
  virtual void SetMessageText(const char* text) = 0;
  // One step of text output (a tick in TextOutput).
  virtual void OutputStep() {}
  // Shows or erases the page marker (ticks in ClickWait, and the click that ends the wait).
  virtual void BlinkPageMarker(bool /*show*/) {}
  // Back to an empty window (a restart at an entry).
  virtual void Reset() {}
};

// What a click hit in a selection: the entry's number (-1: none), its kind (0 jump, 1 return)
// and the number n of its option[n] variable.
struct SelectionChoice {
  int entry = -1;
  int kind = 0;
  int option = 0;
};

// The options and buttons of a running selection.
class ISelection {
public:
  virtual ~ISelection() = default;
  virtual void Hover(int x, int y) = 0;
  virtual void Up() = 0;
  virtual void Down() = 0;
  // A key that is not an arrow: highlights the entry with that access or hot key; true when the
  // entry's key is a hot key, which chooses it at once as a click would.
  virtual bool Key(int virtualKey) = 0;
  virtual SelectionChoice Hit(int x, int y) = 0;
};

// The wave, MIDI and CD channels and the movie player. A Notify returns whether the
// notification was the channel's (the channel then re-plays, stops or resumes on its own).
class IMediaChannels {
public:
  virtual ~IMediaChannels() = default;
  virtual bool WaveNotify(std::uint32_t deviceId) = 0;
  virtual bool MusicNotify(std::uint32_t deviceId) = 0;
  virtual bool CdNotify(std::uint32_t deviceId) = 0;
  virtual bool MovieNotify() = 0;
  virtual void StopWave() = 0;
  virtual void StopMusic() = 0;
  virtual void StopCd() = 0;
};

// The transition or effect being stepped (the pending effect with its parameter block).
class ITransitionRunner {
public:
  virtual ~ITransitionRunner() = default;
  // Calls the transition's function for one frame and counts the frame; returns its result
  // (0: finished).
  virtual int Step() = 0;
  // The next call is the finishing one (frame counter 65535).
  virtual void StartFinish() = 0;
  // The final copy of the "to" picture onto the shown surface.
  virtual void CopyFinalPicture() = 0;
  virtual std::uint32_t FrameIntervalMs() const = 0;
};

} // namespace velmo
