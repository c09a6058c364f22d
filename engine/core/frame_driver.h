#pragma once

#include "engine/base/run_control.h"
#include "engine/platform/media_devices.h"

#include <cstdint>

namespace velmo {

class Engine;
struct SelectionChoice;

// The shell's decisions by RunState: what a tick, a click, a key or a media notification does,
// and when the next tick is due. The window procedure only translates Windows messages into
// these calls; velmo-run and the tests call them directly.

// One tick of the frame driver at `nowMs` (the multimedia clock).
void FrameTick(Engine& engine, std::uint32_t nowMs);

// When the tick after one at `nowMs` is due, by the state the tick left.
std::uint32_t NextTickTime(Engine& engine, std::uint32_t nowMs);

// What the engine waits for: its RunState and the wait the interpreter began last. When input or
// a resume changes it outside a tick, the tick the old wait scheduled would only delay the new one
// (the first character of the next page): the next tick is due at once. A run of the interpreter
// always begins a new wait, even one of the same state (a message line after a message line).
struct WaitMark {
  RunState state;
  std::uint32_t wait;
  bool operator==(const WaitMark&) const = default;
};
WaitMark CurrentWaitMark(const Engine& engine);

// UM_RESUME for the wait `ticket`: runs the interpreter from where it stands, through the script
// door (held while something holds it), when that wait is still the current one and shutdown is
// not under way. While the message window is hidden the run waits until the window shows again.
void OnResume(Engine& engine, std::uint32_t ticket);

// What the shell does with an entry chosen in a selection (through the script door, and only while
// the selection waits): `exit` is the entry's number; a jump entry then runs @GoTo to its option[n]
// at once, a return entry sets `exit` to its option[n] and resumes the script after @EndSelect.
// Either way the selection is over. No entry (-1): nothing.
void TakeChoice(Engine& engine, const SelectionChoice& choice);

// A left click at client position (x, y); Enter and Space act exactly as a click. A click ends
// auto mode; in the flashback it goes one page forward.
void OnLeftClick(Engine& engine, int x, int y);

// Ends a wait for the music, a sound or the CD (MusicWait, SoundWait, CDWait) as a click ends it:
// the channel stops and the script goes on. In any other state nothing happens.
void EndDeviceWait(Engine& engine);

// What the right button (or Esc) asks for.
enum class RightClickAction {
  None,
  FullScreenMenu, // the full-screen pop-up menu at the cursor
  SkipToOption,   // post IDM_SKIPNEXT
  EraseMessage,   // post IDM_ERASEMESSAGE
  Config,         // post IDM_CONFIG
  Capture,        // post IDM_CAPTURE
  CaptureAuto,    // capture the screen under an automatic name
};
// The right button ends auto mode, and in the flashback goes one page forward (None then).
RightClickAction OnRightClick(Engine& engine);

// What the window does after a key or the wheel: nothing more, a left click at the cursor, or
// what the right button does.
enum class InputEffect { None, Click, RightButton };

// A key pressed (WM_KEYDOWN). Enter and Space are clicks and Esc is the right button; any other key
// ends auto mode. PageUp and PageDown go back and forward in the flashback (PageUp opens it); in
// a selection the arrows and the access and hot keys are the selection's; elsewhere A turns auto
// mode on and Tab turns the skip of read text on or off.
InputEffect OnKey(Engine& engine, int virtualKey);
// The mouse wheel turned one notch: up goes back in the flashback (opening it); down goes forward
// there, and elsewhere advances as a click, except in a selection, where it chooses nothing.
InputEffect OnWheel(Engine& engine, bool up);
// The mouse moved to (x, y).
void OnMouseMove(Engine& engine, int x, int y);

// A multimedia notification that a device's play is over (MM_MCINOTIFY: it finished, or it failed,
// which ends it the same way without a loop's replay), and the end of a movie
// (MCIWNDM_NOTIFYMODE with the stop mode).
void OnMciNotify(Engine& engine, std::uint32_t deviceId, PlayEnd end = PlayEnd::Finished);
void OnMovieNotify(Engine& engine);

// After the player changed the settings: every device class that is no longer enabled stops. MIDI,
// CD and sound effects stop their channels, and a wait for the stopped channel ends as a click
// would end it; a voice of the text on screen stops when voices or the wave channel are off, and
// its page goes on; movies off closes the movie and ends a wait for it.
void StopDisabledMedia(Engine& engine);

// Virtual-key codes the shell tells apart.
inline constexpr int KeyTab = 9;
inline constexpr int KeyEnter = 13;
inline constexpr int KeyEscape = 27;
inline constexpr int KeySpace = 32;
inline constexpr int KeyPageUp = 33;
inline constexpr int KeyPageDown = 34;
inline constexpr int KeyUp = 38;
inline constexpr int KeyDown = 40;
inline constexpr int KeyAutoMode = 'A';

} // namespace velmo
