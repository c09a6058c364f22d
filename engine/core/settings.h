#pragma once

#include "engine/platform/profile.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmo {

// The player's settings, kept in system\VELMO.ini: read once when the main window is created,
// written back once at shutdown. Other subsystems read the fields directly; the settings dialog
// changes them in memory only.
struct Settings {
  // [GENERAL]
  std::int32_t transition = 1; // non-zero: @UpdateScreen animates its transition
  std::int32_t effect = 1;     // non-zero: @Effect animates
  std::int32_t autoSelect = 1; // non-zero: @EndSelect moves the cursor onto the options
  std::int32_t nativeCode = 1; // non-zero: @ShellExec and @UserProc ask first
  // [SYSTEM]: never written back
  std::int32_t processPriority = 0;
  std::int32_t maxFlashbackBuf = 0;
  std::int32_t maxBookmarkPage = 1;
  std::string aboutThisScenario;
  // [MESSAGE]
  std::int32_t speed = 5;    // ms per text step / 4 while @Text WAIT=USER is in force
  std::int32_t autoMode = 0; // non-zero: click waits end by themselves (auto mode, the key A)
  // [MCI]: 1 enabled, 0 disabled, 2 no device (the key names are spelled "Enbale...")
  std::int32_t enableCdda = 1;
  std::int32_t enableMidi = 1;
  std::int32_t enableSe = 1;
  std::int32_t enableVoice = 1;
  std::int32_t enableAvi = 1;
  std::int32_t enableMmx = 1;
  std::int32_t enableFade = 1;
  std::int32_t cdrom = 65; // drive letter as its character code
  // [MOUSE]
  std::int32_t rightClick = 0; // 0 none, 1 skip to option, 2 hide message, 3 settings, 4/5 capture
  // [FONT]
  std::string faceName = "ＭＳ ゴシック"; // at most 31 bytes
  std::int32_t fixedPitch = 1;
  std::int32_t forceUserFont = 0;
  // [WINDOW]
  std::int32_t positionX = -1;
  std::int32_t positionY = -1;
  // 0 windowed, 1 full screen, 2 full screen because the screen is no larger than the picture
  // (decided at start, never stored)
  std::int32_t fullScreen = 0;
  std::int32_t windowScale = 1;       // the window shows the picture x1, x2 or x3 (other values: x1)
  std::int32_t fullScreenScaling = 0; // 0: the largest whole factor (sharp); non-zero: smoothly to fit
  std::int32_t changeDisplayMode = 0; // non-zero: full screen switches the display to 640 x 480
};

// Whether the window is full screen in a 640 x 480 display mode of its own.
inline bool FullScreenChangesDisplayMode(const Settings& settings) {
  return settings.fullScreen == 1 && settings.changeDisplayMode != 0;
}

// What the machine is like, as the settings rules need it.
struct SystemFacts {
  int midiOutDevices = 1;
  int waveOutDevices = 1;
  int screenWidth = 1024;
  int screenHeight = 768;
};

// Decisions of reading the settings that the shell carries out.
struct SettingsEffects {
  bool raiseProcessPriority = false;  // ProcessPriority is set
  bool enableAboutScenario = false;   // AboutThisScenario names a file: enable that menu item
  bool grayFullScreenCommand = false; // full screen cannot be switched to
};

// Reads every key with its default and applies the machine's rules: no MIDI device makes
// EnbaleMIDI 2, no wave device makes EnbaleSE and EnbaleVOICE 2, and a screen of at most
// 640 x 480 is used full screen as it is (2). A window scale outside x1 to x3 becomes x1.
SettingsEffects LoadSettings(IProfile& profile, const SystemFacts& facts, Settings& settings);

// Writes back every key that is kept (not the SYSTEM ones), then flushes. The window's position is
// its current top-left corner; FullScreen is stored as 1 or 0 (a 2 becomes 0). The position and
// FullScreen fields are left holding what was stored.
void SaveSettings(IProfile& profile, Settings& settings, int windowLeft, int windowTop);

} // namespace velmo
