#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace velmo {

// The multimedia devices the engine's sound channels, mixer and movie player run on. The Win32
// program implements them over MCI, the mixer API and an MCI window; tests and velmo-run use the
// headless implementation, which plays on the virtual clock.

// The kinds of device a sound channel opens: "waveaudio", "sequencer" and "cdaudio".
enum class SoundDevice { Wave, Midi, Cd };

// Why nothing could be opened.
enum class OpenFailure {
  None,
  Missing,  // the file is not there or cannot be read as what the device plays
  NoDevice, // the machine has no device of that kind
};

// A device opened for a channel.
struct OpenedDevice {
  std::uint32_t id = 0; // the device's id, 0 when nothing was opened
  OpenFailure failure = OpenFailure::None;
  int tracks = 0; // the tracks of the disc, for the CD device
};

// How a play that was under way ended, as its completion notification says.
enum class PlayEnd {
  Finished, // it played to its end
  Failed,   // the device gave up (a machine without a sound server does so at once)
};

// The MCI devices of the sound channels. A play asks for a completion notification: the window
// procedure hands it to the frame driver (OnMciNotify) with the device id and how it ended. Every
// operation runs on the GUI thread.
class ISoundDevices {
public:
  virtual ~ISoundDevices() = default;
  // Opens the file on a new device of the kind (Wave or Midi).
  virtual OpenedDevice Open(SoundDevice kind, std::string_view file) = 0;
  // Opens the CD drive with that letter, with track times, and counts the tracks of its disc.
  virtual OpenedDevice OpenCd(char driveLetter) = 0;
  // Plays what the device holds from its start. False when the device refuses: then nothing plays
  // and no notification comes.
  virtual bool Play(std::uint32_t device) = 0;
  // Plays one track of the disc: to the start of the next track, and the last one to the end of
  // the disc. False when the device refuses.
  virtual bool PlayTrack(std::uint32_t device, int track, bool lastTrack) = 0;
  // Stops a play; its notification, if one comes, says it was aborted and is not handed on.
  virtual void Stop(std::uint32_t device) = 0;
  virtual void Close(std::uint32_t device) = 0;
};

// A volume control of the system's mixer.
struct MixerControlId {
  std::uint32_t mixer = 0;   // the mixer device
  std::uint32_t control = 0; // the control on it
  std::uint32_t minimum = 0;
  std::uint32_t maximum = 0;
};

// The system mixer's volume controls and the fade thread that steps them.
class IMixerControls {
public:
  virtual ~IMixerControls() = default;
  // The volume controls of the master output and of the CD, wave and line inputs, in that order,
  // on the mixer of the preferred wave device; empty where there is none.
  virtual std::array<std::optional<MixerControlId>, 4> FindVolumeControls() = 0;
  // The control's present value (all its channels as one); false when it cannot be read.
  virtual bool ReadValue(const MixerControlId& control, std::uint32_t& value) = 0;
  virtual bool WriteValue(const MixerControlId& control, std::uint32_t value) = 0;
  // Calls `tick` every 100 ms on a thread of its own, the fade thread, until StopTicks, which
  // returns once the thread has ended. False when the thread cannot start. `tick` may only post
  // to the main window (IWindow::PostResume); it shares nothing else with the GUI thread.
  virtual bool StartTicks(std::function<void()> tick) = 0;
  virtual void StopTicks() = 0;
};

// The movie window: one movie at a time in a child window over the engine's picture.
class IMovieWindow {
public:
  virtual ~IMovieWindow() = default;
  // Loads the movie into a hidden window, in place of any loaded before.
  virtual OpenFailure Load(std::string_view file) = 0;
  // Shows the loaded movie at (x, y), w x h (both 0: at its own size), and plays it from its
  // start. Its end comes back to the frame driver (OnMovieNotify). False without a movie.
  virtual bool Play(int x, int y, int width, int height) = 0;
  // Plays the shown movie again from its start, where it is.
  virtual bool Replay() = 0;
  // Hides and closes the movie window; nothing when none is loaded.
  virtual void Close() = 0;
};

} // namespace velmo
