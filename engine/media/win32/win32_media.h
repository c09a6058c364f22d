#pragma once

#include "engine/platform/media_devices.h"
#include "engine/platform/periodic_thread.h"
#include "engine/platform/win32/win32_platform.h"

#include <windows.h>

namespace velmo {

// The sound devices over MCI ("waveaudio", "sequencer", "cdaudio"). Plays notify the main
// window (MM_MCINOTIFY). A kind of device the machine has none of is not opened at all: MCI would
// open a sequencer without a MIDI device and then play it for ever without a notification.
class Win32SoundDevices : public ISoundDevices {
public:
  explicit Win32SoundDevices(Win32Window& mainWindow) : window(mainWindow) {}

  OpenedDevice Open(SoundDevice kind, std::string_view file) override;
  OpenedDevice OpenCd(char driveLetter) override;
  bool Play(std::uint32_t device) override;
  bool PlayTrack(std::uint32_t device, int track, bool lastTrack) override;
  void Stop(std::uint32_t device) override;
  void Close(std::uint32_t device) override;

private:
  Win32Window& window;
};

// The volume controls of the system mixer (the mixer API) and the fade thread.
class Win32MixerControls : public IMixerControls {
public:
  std::array<std::optional<MixerControlId>, 4> FindVolumeControls() override;
  bool ReadValue(const MixerControlId& control, std::uint32_t& value) override;
  bool WriteValue(const MixerControlId& control, std::uint32_t value) override;
  bool StartTicks(std::function<void()> tick) override;
  void StopTicks() override { thread.Stop(); }

private:
  PeriodicThread thread;
};

// Movies in an MCI window (MCIWnd), a child of the main window that reports its mode
// (MCIWNDM_NOTIFYMODE) to it.
class Win32MovieWindow : public IMovieWindow {
public:
  explicit Win32MovieWindow(Win32Window& mainWindow) : window(mainWindow) {}
  ~Win32MovieWindow() override { Close(); }
  Win32MovieWindow(const Win32MovieWindow&) = delete;
  Win32MovieWindow& operator=(const Win32MovieWindow&) = delete;

  OpenFailure Load(std::string_view file) override;
  bool Play(int x, int y, int width, int height) override;
  bool Replay() override;
  void Close() override;
  HWND Handle() const { return movie; }

private:
  Win32Window& window;
  HWND movie = nullptr;
};

} // namespace velmo
