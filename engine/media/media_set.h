#pragma once

#include "engine/base/run_control.h"
#include "engine/media/media_channels.h"
#include "engine/media/mixer.h"
#include "engine/media/movie_player.h"
#include "engine/media/sound_channels.h"
#include "engine/platform/platform.h"

namespace velmo {

// The engine's sound and movie parts, made in this order and ended in the reverse one: the mixer
// (with its fade thread), the wave channel (sound effects and voices), the music channel (MIDI),
// the CD channel and the movie player. So at the end the movie closes first, then the CD, music
// and wave channels, and the mixer, which puts the volumes back, last.
class MediaSet : public IMediaChannels {
public:
  MediaSet(Platform& platform, IScriptDoor& door, RunControl& run);

  bool WaveNotify(std::uint32_t deviceId, PlayEnd end) override { return wave.Notify(deviceId, end); }
  bool MusicNotify(std::uint32_t deviceId, PlayEnd end) override { return music.Notify(deviceId, end); }
  bool CdNotify(std::uint32_t deviceId, PlayEnd end) override { return cd.Notify(deviceId, end); }
  bool MovieNotify() override { return movie.MovieNotify(); }
  void StopWave() override { wave.Stop(); }
  void StopMusic() override { music.Stop(); }
  void StopCd() override { cd.Stop(); }
  void CloseMovie() override { movie.CloseMovie(); }
  void DetachFades() override { mixer.DetachFades(); }

  // Whether CD audio can play: a drive with that letter holds a disc, or the game has its own
  // copy of the tracks (cd\trackNN.wav), which plays in place of a drive.
  bool CdAudioAvailable(char driveLetter);

  Mixer mixer;
  WaveChannel wave;
  MusicChannel music;
  CDChannel cd;
  MoviePlayer movie;

private:
  ISoundDevices& devices;
  IFileSystem& files;
};

} // namespace velmo
