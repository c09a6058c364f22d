#pragma once

#include <cstdint>

namespace velmo {

// The wave, MIDI and CD channels and the movie player, as the shell routes notifications and
// clicks to them. A Notify returns whether the notification was the channel's (the channel then
// re-plays, stops or resumes on its own).
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
  virtual void CloseMovie() = 0;
};

} // namespace velmo
