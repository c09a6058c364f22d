#pragma once

#include "engine/core/engine.h"
#include "engine/core/frame_driver.h"
#include "engine/media/win32/win32_media.h"
#include "engine/platform/platform.h"
#include "engine/platform/win32/win32_platform.h"
#include "engine/shell/win32/shell_window.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

namespace velmo {

inline constexpr const char* WindowClassName = "VELMO_WindowClass";
inline constexpr const char* WindowMutexName = "VELMO_WindowMutex";

// Centres a dialog over its parent window without changing its size, repaints it and brings it
// to the front: every dialog does this when it opens.
void CenterDialog(HWND dialog);

// The one top-level window and everything it owns: the platform services, the engine, the
// program and temp folders. Windows messages become calls on the shell's decisions.
class MainWindow {
public:
  // The game in `gameFolder` (with its trailing backslash); empty: the folder of the program.
  explicit MainWindow(std::string gameFolder = {});
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  static bool RegisterWindowClass(HINSTANCE instance);
  // Creates the window (WM_CREATE reads the settings and makes the engine objects); false when
  // creation failed.
  bool Create(HINSTANCE instance);
  void Show(int showCommand);

  // The frame driver's part of the message loop: ticks when `next` has come.
  void TickIfDue(std::uint32_t nowMs);
  // Milliseconds until the next tick is due (0: now).
  std::uint32_t MsUntilTick(std::uint32_t nowMs) const;
  HWND Handle() const { return window.hwnd; }
  // The engine while the window has one (from its creation to the end of shutdown), for tests.
  Engine* GetEngine() { return engine.get(); }

  // The layout of WINDOW FullScreen `fullScreen`: 0 windowed with the menu bar at the window scale
  // of the settings (placed by the settings when it leaves full screen, else where it stands);
  // 1 full screen: borderless over the whole monitor with the picture scaled, or, when the
  // settings ask for it, in a 640 x 480 display mode; 2 full screen on a screen that small.
  // False when no 640 x 480 mode could be had (the player is told).
  bool ApplyDisplayMode(int fullScreen);
  // One of the engine's dialogs; true when it did what it is for.
  bool OpenDialog(EngineDialog dialog);

private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  bool OnCreate();
  // Whether the display's colours can show the game (the player may be asked); false refuses.
  bool CheckDisplayColors();
  // What creation made, undone when it fails after the menus were loaded.
  void UndoCreate();
  void ReadSettings();
  void WriteSettingsAndCleanUp();
  // Sizes the window for the window scale that fits the work area and places it at `x`, `y`, or
  // centred when it would stand off the work area there.
  void PlaceWindow(int x, int y);
  // Covers the monitor the window is on and lays the picture out on it.
  void CoverMonitor(bool topmost);
  void OnPaint();
  void OnLeftButton(int x, int y);
  void OnRightButton();
  // What a key or the wheel leaves to the window: a click at the cursor, or the right button.
  void OnInputEffect(InputEffect effect);
  // A menu or accelerator command; false for an id the window does not handle.
  bool OnCommand(WORD id);
  // Shuts the engine down and keeps what the player keeps: the memo, the settings, the display.
  void EndEngine();
  void OnShutdown();
  // The session ends: what shutdown keeps (memo, settings, display) is kept at once.
  void OnEndSession();
  // Back to the registry's display mode and the screen saver allowed, where this program changed
  // them.
  void RestoreDisplay();

  Win32Clock clock;
  ShellWindow window{*this};
  Win32FileSystem files;
  Win32Graphics graphics;
  Win32Modules modules;
  Win32SoundDevices sound{window};
  Win32MixerControls mixer;
  Win32MovieWindow movie{window};
  Platform platform{clock, window, files, graphics, modules, sound, mixer, movie};
  std::unique_ptr<Engine> engine;
  std::string programFolder; // with its trailing backslash; made the current folder at creation
  std::string tempFolder;    // GetTempPath + "VELMO\"
  std::string settingsPath;
  std::uint32_t nextTickMs = 0;
  int wheelTurned = 0; // wheel movement not yet a whole notch
  bool shuttingDown = false;
  bool displayModeChanged = false; // a 640 x 480 mode is set for full screen
  bool screenSaverHeld = false;    // the screen saver is told a screen saver runs
  bool fullScreenLayout = false;   // borderless over a monitor (with or without a mode change)
  bool windowPlaced = false;       // the windowed layout was placed once
};

} // namespace velmo
