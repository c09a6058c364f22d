#pragma once

#include "engine/platform/media_devices.h"

#include <cstdint>

namespace velmo {

// The wave, MIDI and CD channels, the movie player and the mixer's fades, as the shell routes
// notifications and clicks to them and a jump to an entry cancels them. A Notify returns whether
// the notification was the channel's (the channel then re-plays, stops or resumes on its own).
class IMediaChannels {
public:
  virtual ~IMediaChannels() = default;
  virtual bool WaveNotify(std::uint32_t deviceId, PlayEnd end) = 0;
  virtual bool MusicNotify(std::uint32_t deviceId, PlayEnd end) = 0;
  virtual bool CdNotify(std::uint32_t deviceId, PlayEnd end) = 0;
  virtual bool MovieNotify() = 0;
  // Stopping a channel that plays with WAIT ends the wait; stopping the wave channel ends a voice
  // that belongs to the text on screen.
  virtual void StopWave() = 0;
  virtual void StopMusic() = 0;
  virtual void StopCd() = 0;
  virtual void CloseMovie() = 0;
  // Running fades go on to their end without resuming the script.
  virtual void DetachFades() = 0;
};

} // namespace velmo
