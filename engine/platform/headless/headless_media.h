#pragma once

#include "engine/platform/headless/headless_platform.h"
#include "engine/platform/media_devices.h"
#include "engine/platform/platform.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmo {

// The sound devices, mixer and movie window of a machine on the virtual clock, for tests and
// velmo-run. A played item ends after its own length: a wave file's data over its byte rate, a
// MIDI file by its ticks and tempo map, a movie by its frames, a CD track by the game's file
// cd\trackNN.wav; anything else, or a file that does not tell, after one second. Nothing happens
// by itself: the headless driver asks what is due (NextDue, TakeDue) and hands it to the frame
// driver as the window procedure would. The fields below make it a machine that lacks a device,
// refuses plays or fails them, as tests and --no-device need.
class HeadlessMedia : public ISoundDevices, public IMixerControls, public IMovieWindow {
public:
  static constexpr std::uint32_t UnknownLengthMs = 1000;
  static constexpr std::uint32_t FadeTickMs = 100;
  static constexpr int DiscTracks = 99;
  static constexpr std::uint32_t ControlMaximum = 65535;

  // A machine without the devices named in `missingDevices` (see RemoveDevice).
  HeadlessMedia(HeadlessClock& virtualClock, IFileSystem& gameFiles,
                const std::vector<std::string>& missingDevices = {})
      : clock(virtualClock), files(gameFiles) {
    for (const std::string& name : missingDevices) RemoveDevice(name);
  }

  // ISoundDevices
  OpenedDevice Open(SoundDevice kind, std::string_view file) override;
  OpenedDevice OpenCd(char driveLetter) override;
  bool Play(std::uint32_t device) override;
  bool PlayTrack(std::uint32_t device, int track, bool lastTrack) override;
  void Stop(std::uint32_t device) override;
  void Close(std::uint32_t device) override;

  // IMixerControls: four controls, 0 to 65535, each at `values` (the maximum at first).
  std::array<std::optional<MixerControlId>, 4> FindVolumeControls() override;
  bool ReadValue(const MixerControlId& control, std::uint32_t& value) override;
  bool WriteValue(const MixerControlId& control, std::uint32_t value) override;
  bool StartTicks(std::function<void()> tick) override;
  void StopTicks() override { fadeTick = nullptr; }

  // IMovieWindow
  OpenFailure Load(std::string_view file) override;
  bool Play(int x, int y, int width, int height) override;
  bool Replay() override;
  void Close() override;

  // What comes next on the virtual clock: the end of a play or a tick of the fade thread.
  struct Due {
    enum class Kind { Sound, Movie, FadeTick } kind;
    std::uint32_t device; // the sound device that finished
    PlayEnd end;
  };
  // When the next thing is due, if anything is.
  std::optional<std::uint32_t> NextDue() const;
  // Takes the earliest thing due at or before the clock's time: a play so taken is over.
  std::optional<Due> TakeDue();
  // One tick of the fade thread.
  void RunFadeTick();

  // A device of each kind the machine lacks, by its --no-device name: "wave", "midi", "cd",
  // "mixer", "movie". False for a name that is none of these.
  bool RemoveDevice(std::string_view name);

  bool noWave = false;
  bool noMidi = false;
  bool noCd = false;
  bool noMixer = false;
  bool noMovie = false;
  bool refusePlays = false;     // every Play and PlayTrack is refused
  bool failPlays = false;       // plays start, then end at once as failed (no sound server)
  bool fadeThreadFails = false; // StartTicks cannot start the thread
  std::array<bool, 4> controls{true, true, true, true};
  std::array<bool, 4> unreadable{};
  std::array<std::uint32_t, 4> values{ControlMaximum, ControlMaximum, ControlMaximum, ControlMaximum};

  // Every operation, as "open wave a.wav 1", "play 1", "track 1 3 last", "stop 1", "close 1",
  // "movie load m.avi", "movie play 0,0,0,0", "movie replay", "movie close", "write 0 32767"; kept
  // when `record` is set.
  bool record = false;
  std::vector<std::string> calls;

  // The movie window as the engine left it.
  bool movieLoaded = false;
  bool moviePlaying = false;

private:
  struct Device {
    SoundDevice kind;
    std::string file;
    std::uint32_t lengthMs = UnknownLengthMs;
    std::optional<std::uint32_t> dueMs; // while playing
    PlayEnd end = PlayEnd::Finished;
  };

  // How long the game's file plays on a device of that kind; UnknownLengthMs when it does not
  // tell.
  std::uint32_t LengthOf(std::string_view file, SoundDevice kind) const;
  std::uint32_t MovieLength(std::string_view file) const;
  // `ms` from now, at least 1 ms so that a replay never comes at the same instant.
  std::uint32_t After(std::uint32_t ms) const;
  void Note(std::string call);

  HeadlessClock& clock;
  IFileSystem& files;
  std::map<std::uint32_t, Device> devices;
  std::uint32_t nextId = 1;
  std::uint32_t movieLengthMs = 0;
  std::optional<std::uint32_t> movieDueMs;
  std::function<void()> fadeTick;
  std::uint32_t nextFadeTickMs = 0;
};

} // namespace velmo
