#include "engine/media/win32/win32_media.h"

#include <mmsystem.h>

#include <string>

namespace velmo {

namespace {

MCIERROR Send(std::uint32_t device, UINT command, DWORD flags, void* parameters) {
  return mciSendCommandA(device, command, flags, reinterpret_cast<DWORD_PTR>(parameters));
}

bool FileExists(const std::string& file) { return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; }

} // namespace

OpenedDevice Win32SoundDevices::Open(SoundDevice kind, std::string_view file) {
  OpenedDevice opened;
  const bool present = kind == SoundDevice::Wave ? waveOutGetNumDevs() > 0 : midiOutGetNumDevs() > 0;
  if (kind == SoundDevice::Cd || !present) {
    opened.failure = OpenFailure::NoDevice;
    return opened;
  }
  const std::string name(file);
  if (!FileExists(name)) {
    opened.failure = OpenFailure::Missing;
    return opened;
  }
  MCI_OPEN_PARMSA open = {};
  open.lpstrDeviceType = kind == SoundDevice::Wave ? "waveaudio" : "sequencer";
  open.lpstrElementName = name.c_str();
  if (Send(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT, &open) != 0) {
    opened.failure = OpenFailure::Missing;
    return opened;
  }
  opened.id = open.wDeviceID;
  return opened;
}

OpenedDevice Win32SoundDevices::OpenCd(char driveLetter) {
  OpenedDevice opened;
  opened.failure = OpenFailure::NoDevice;
  const char element[3] = {driveLetter, ':', '\0'};
  MCI_OPEN_PARMSA open = {};
  open.lpstrDeviceType = "cdaudio";
  open.lpstrElementName = element;
  if (Send(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT, &open) != 0) return opened;
  MCI_SET_PARMS set = {};
  set.dwTimeFormat = MCI_FORMAT_TMSF;
  if (Send(open.wDeviceID, MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, &set) != 0) {
    Send(open.wDeviceID, MCI_CLOSE, MCI_WAIT, nullptr);
    return opened;
  }
  MCI_STATUS_PARMS status = {};
  status.dwItem = MCI_STATUS_NUMBER_OF_TRACKS;
  // A disc that does not tell its tracks is played track by track up to the last possible one.
  opened.tracks = Send(open.wDeviceID, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &status) == 0
                      ? static_cast<int>(status.dwReturn)
                      : 255;
  opened.id = open.wDeviceID;
  opened.failure = OpenFailure::None;
  return opened;
}

bool Win32SoundDevices::Play(std::uint32_t device) {
  // Always from position 0: a play without a start after the end plays nothing and never notifies
  // on some systems.
  MCI_PLAY_PARMS play = {};
  play.dwCallback = reinterpret_cast<DWORD_PTR>(window.hwnd);
  play.dwFrom = 0;
  return Send(device, MCI_PLAY, MCI_NOTIFY | MCI_FROM, &play) == 0;
}

bool Win32SoundDevices::PlayTrack(std::uint32_t device, int track, bool lastTrack) {
  MCI_PLAY_PARMS play = {};
  play.dwCallback = reinterpret_cast<DWORD_PTR>(window.hwnd);
  const auto number = static_cast<BYTE>(track);
  play.dwFrom = MCI_MAKE_TMSF(number, 0, 0, 0);
  play.dwTo = MCI_MAKE_TMSF(static_cast<BYTE>(number + 1), 0, 0, 0);
  // The last track plays to the end of the disc: there is no next track to stop at.
  return Send(device, MCI_PLAY, MCI_NOTIFY | MCI_FROM | (lastTrack ? 0 : MCI_TO), &play) == 0;
}

void Win32SoundDevices::Stop(std::uint32_t device) { Send(device, MCI_STOP, MCI_WAIT, nullptr); }

void Win32SoundDevices::Close(std::uint32_t device) { Send(device, MCI_CLOSE, MCI_WAIT, nullptr); }

} // namespace velmo
