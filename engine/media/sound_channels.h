#pragma once

#include "engine/base/run_control.h"
#include "engine/platform/media_devices.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmo {

// How a play goes on at its end.
enum class PlayMode : std::int32_t {
  Once = 0,  // it stops
  Loop = 1,  // it plays again from its start
  Wait = 2,  // it stops and the script, which waited for it, goes on
  Never = 3, // nothing was played yet
};

// What came of asking for a play.
enum class PlayOutcome {
  Playing,
  Missing,  // nothing playable is open (the file could not be opened)
  NoDevice, // the machine has no such device, or the device refused to play
};

// What a failed open means for a play.
inline PlayOutcome OutcomeOf(OpenFailure failure) {
  return failure == OpenFailure::NoDevice ? PlayOutcome::NoDevice : PlayOutcome::Missing;
}

// One MCI device slot: one item open at a time, played once, in a loop or waited for. Looping is
// the engine's own: at the end of every pass the item is played again from position 0. A play that
// cannot start, or that ends in failure, never leaves a wait behind: the script goes on as if it had
// finished, and a loop is not played again.
class MCIChannel {
public:
  MCIChannel(SoundDevice deviceKind, ISoundDevices& soundDevices, IScriptDoor& scriptDoor)
      : kind(deviceKind), devices(soundDevices), door(scriptDoor) {}
  virtual ~MCIChannel();
  MCIChannel(const MCIChannel&) = delete;
  MCIChannel& operator=(const MCIChannel&) = delete;

  // Closes what is open, then opens `file`; on failure the channel stays closed.
  OpenFailure Open(std::string_view file);
  // Plays what is open from its start. A WAIT play belongs to the wait the engine enters now (the
  // door's current ticket): its end, its failure or a stop resumes that wait, once.
  virtual PlayOutcome Play(PlayMode mode);
  // Stops the play; a WAIT play stopped so ends its wait.
  virtual void Stop();
  // Stops and closes what is open.
  void Close();
  // A completion notification from `device`: taken only while this channel plays on it. A loop
  // plays again, a WAIT play resumes the script, a failure ends the play whatever its mode.
  bool Notify(std::uint32_t device, PlayEnd end);

  bool Playing() const { return playing; }
  PlayMode Mode() const { return mode; }
  std::uint32_t DeviceId() const { return deviceId; }
  // The file last asked to be opened, as the script named it ("" when none).
  const std::string& FileName() const { return fileName; }

protected:
  // Starts (or, for a loop, restarts) the play of what is open; false when the device refuses.
  virtual bool StartPlay();
  // The device the running play's notifications come from.
  virtual std::uint32_t PlayingDevice() const { return deviceId; }
  // Closes the devices the channel holds.
  virtual void CloseDevices();
  // Ends the play: the channel is stopped and, for WAIT, the wait resumes.
  void Finish();

  SoundDevice kind;
  ISoundDevices& devices;
  IScriptDoor& door;
  std::uint32_t deviceId = 0;
  OpenFailure openFailure = OpenFailure::Missing; // why nothing is open
  std::string fileName;
  PlayMode mode = PlayMode::Never;
  bool playing = false;
  std::uint32_t waitTicket = 0;
};

// Sound effects and voices share the wave channel: opening one closes the other. A voice that
// belongs to the text on screen (RunControl::voicePending) ends whenever the channel stops or
// opens another file.
class WaveChannel : public MCIChannel {
public:
  WaveChannel(ISoundDevices& soundDevices, IScriptDoor& scriptDoor, RunControl& runControl)
      : MCIChannel(SoundDevice::Wave, soundDevices, scriptDoor), run(runControl) {}
  void Stop() override;

private:
  RunControl& run;
};

// MIDI music on the sequencer.
class MusicChannel : public MCIChannel {
public:
  MusicChannel(ISoundDevices& soundDevices, IScriptDoor& scriptDoor)
      : MCIChannel(SoundDevice::Midi, soundDevices, scriptDoor) {}
};

// CD audio: one track of the disc in the drive. When there is no drive, or the track will not
// play, the game's own copy of the track, cd\trackNN.wav, plays instead on a wave device of the
// channel's own, with the same modes and notifications.
class CDChannel : public MCIChannel {
public:
  CDChannel(ISoundDevices& soundDevices, IScriptDoor& scriptDoor)
      : MCIChannel(SoundDevice::Cd, soundDevices, scriptDoor) {}
  ~CDChannel() override;

  // Closes what is open, opens the drive and selects the track (its low 8 bits).
  void OpenCD(char driveLetter, std::int32_t trackNumber);
  PlayOutcome Play(PlayMode mode) override;
  int Track() const { return track; }
  // The game's copy of a track.
  static std::string TrackFile(int track);

protected:
  bool StartPlay() override;
  std::uint32_t PlayingDevice() const override { return onDisc ? deviceId : fileDevice; }
  void CloseDevices() override;

private:
  int track = 0;
  int discTracks = 0;
  bool onDisc = false;          // the play runs on the drive, not on the track file
  std::uint32_t fileDevice = 0; // the wave device of the track file
};

} // namespace velmo
