#include "engine/media/sound_channels.h"

#include <cstdio>

namespace velmo {

MCIChannel::~MCIChannel() { Close(); }

OpenFailure MCIChannel::Open(std::string_view file) {
  Close();
  fileName = file;
  const OpenedDevice opened = devices.Open(kind, file);
  deviceId = opened.id;
  openFailure = opened.failure;
  return opened.failure;
}

PlayOutcome MCIChannel::Play(PlayMode playMode) {
  mode = playMode;
  playing = false;
  if (deviceId == 0) return OutcomeOf(openFailure);
  if (!StartPlay()) return PlayOutcome::NoDevice;
  playing = true;
  if (mode == PlayMode::Wait) waitTicket = door.CurrentWait();
  return PlayOutcome::Playing;
}

bool MCIChannel::StartPlay() { return devices.Play(deviceId); }

void MCIChannel::Stop() {
  if (!playing) return;
  // Only a running play is stopped: stopping a device blocks the GUI thread for a while on some
  // systems, and one that has ended has nothing to stop.
  devices.Stop(PlayingDevice());
  Finish();
}

void MCIChannel::Finish() {
  playing = false;
  if (mode == PlayMode::Wait) door.RequestResume(waitTicket);
}

void MCIChannel::Close() {
  Stop();
  CloseDevices();
}

void MCIChannel::CloseDevices() {
  if (deviceId == 0) return;
  devices.Close(deviceId);
  deviceId = 0;
  openFailure = OpenFailure::Missing;
}

bool MCIChannel::Notify(std::uint32_t device, PlayEnd end) {
  if (!playing || device == 0 || device != PlayingDevice()) return false;
  // A loop whose replay is refused, or a play that failed, ends as if it had finished.
  if (end == PlayEnd::Finished && mode == PlayMode::Loop && StartPlay()) return true;
  Finish();
  return true;
}

void WaveChannel::Stop() {
  MCIChannel::Stop();
  run.VoiceEnded();
}

CDChannel::~CDChannel() { Close(); }

std::string CDChannel::TrackFile(int trackNumber) {
  char name[32];
  std::snprintf(name, sizeof name, "cd\\track%02d.wav", trackNumber);
  return name;
}

void CDChannel::OpenCD(char driveLetter, std::int32_t trackNumber) {
  Close();
  fileName.clear();
  track = trackNumber & 0xFF;
  const OpenedDevice opened = devices.OpenCd(driveLetter);
  deviceId = opened.id;
  openFailure = opened.failure;
  discTracks = opened.tracks;
}

PlayOutcome CDChannel::Play(PlayMode playMode) {
  mode = playMode;
  playing = false;
  // The disc's track, to the next track or, for the last one, to the end of the disc; else the
  // game's copy of the track.
  onDisc = deviceId != 0 && devices.PlayTrack(deviceId, track, track >= discTracks);
  if (!onDisc) {
    if (fileDevice == 0) {
      const OpenedDevice opened = devices.Open(SoundDevice::Wave, TrackFile(track));
      if (opened.id == 0) return OutcomeOf(opened.failure);
      fileDevice = opened.id;
    }
    if (!devices.Play(fileDevice)) return PlayOutcome::NoDevice;
  }
  playing = true;
  if (mode == PlayMode::Wait) waitTicket = door.CurrentWait();
  return PlayOutcome::Playing;
}

bool CDChannel::StartPlay() {
  return onDisc ? devices.PlayTrack(deviceId, track, track >= discTracks) : devices.Play(fileDevice);
}

void CDChannel::CloseDevices() {
  if (fileDevice != 0) devices.Close(fileDevice);
  fileDevice = 0;
  onDisc = false;
  MCIChannel::CloseDevices();
}

} // namespace velmo
