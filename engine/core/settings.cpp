#include "engine/core/settings.h"

#include "engine/base/sjis.h"
#include "engine/platform/display_layout.h"

namespace velmo {

namespace {

// The face name lives in a 32-byte buffer with its terminating zero.
constexpr std::size_t MaxFaceNameBytes = 31;

constexpr std::string_view DefaultFaceName = "ＭＳ ゴシック";

} // namespace

SettingsEffects LoadSettings(IProfile& profile, const SystemFacts& facts, Settings& settings) {
  SettingsEffects effects;

  settings.transition = profile.GetInt("GENERAL", "Transition", 1);
  settings.effect = profile.GetInt("GENERAL", "Effect", 1);
  settings.autoSelect = profile.GetInt("GENERAL", "AutoSelect", 1);
  settings.nativeCode = profile.GetInt("GENERAL", "NativeCode", 1);

  settings.processPriority = profile.GetInt("SYSTEM", "ProcessPriority", 0);
  effects.raiseProcessPriority = settings.processPriority != 0;
  settings.maxFlashbackBuf = profile.GetInt("SYSTEM", "MaxFlashbackBuf", 0);
  settings.maxBookmarkPage = profile.GetInt("SYSTEM", "MaxBookmarkPage", 1);
  settings.aboutThisScenario = profile.GetString("SYSTEM", "AboutThisScenario", "");
  effects.enableAboutScenario = !settings.aboutThisScenario.empty();

  settings.speed = profile.GetInt("MESSAGE", "Speed", 5);
  // Files from before auto mode have no key: the game waits for clicks, as it always did.
  settings.autoMode = profile.GetInt("MESSAGE", "AutoMode", 0);

  // A missing device is remembered as 2 and written back, so the setting stays off on later runs
  // even on machines that have the device.
  settings.enableCdda = profile.GetInt("MCI", "EnbaleCDDA", 1);
  settings.enableMidi = profile.GetInt("MCI", "EnbaleMIDI", 1);
  if (facts.midiOutDevices == 0) settings.enableMidi = 2;
  settings.enableSe = profile.GetInt("MCI", "EnbaleSE", 1);
  settings.enableVoice = profile.GetInt("MCI", "EnbaleVOICE", 1);
  if (facts.waveOutDevices == 0) {
    settings.enableSe = 2;
    settings.enableVoice = 2;
  }
  settings.enableAvi = profile.GetInt("MCI", "EnbaleAVI", 1);
  settings.enableMmx = profile.GetInt("MCI", "EnbaleMMX", 1);
  settings.enableFade = profile.GetInt("MCI", "EnableFade", 1);
  settings.cdrom = profile.GetInt("MCI", "CDROM", 65);

  settings.rightClick = profile.GetInt("MOUSE", "RightClick", 0);

  settings.faceName =
      std::string(CutAtCharBoundary(profile.GetString("FONT", "FaceName", DefaultFaceName), MaxFaceNameBytes));
  settings.fixedPitch = profile.GetInt("FONT", "FixedPitch", 1);
  settings.forceUserFont = profile.GetInt("FONT", "ForceUserFont", 0);

  settings.positionX = profile.GetInt("WINDOW", "PositionX", -1);
  settings.positionY = profile.GetInt("WINDOW", "PositionY", -1);
  settings.fullScreen = profile.GetInt("WINDOW", "FullScreen", 0);
  settings.windowScale = profile.GetInt("WINDOW", "WindowScale", 1);
  if (settings.windowScale < 1 || settings.windowScale > MaxWindowScale) settings.windowScale = 1;
  settings.fullScreenScaling = profile.GetInt("WINDOW", "FullScreenScaling", 0);
  settings.changeDisplayMode = profile.GetInt("WINDOW", "ChangeDisplayMode", 0);

  // A screen no larger than the game has no room for a window: it is used full screen as it is,
  // with no mode to change to.
  if (facts.screenWidth <= 640 && facts.screenHeight <= 480) {
    effects.grayFullScreenCommand = true;
    settings.fullScreen = 2;
  }

  profile.Flush();
  return effects;
}

void SaveSettings(IProfile& profile, Settings& settings, int windowLeft, int windowTop) {
  profile.SetInt("GENERAL", "Transition", settings.transition);
  profile.SetInt("GENERAL", "Effect", settings.effect);
  profile.SetInt("GENERAL", "AutoSelect", settings.autoSelect);
  profile.SetInt("GENERAL", "NativeCode", settings.nativeCode);
  profile.SetInt("MESSAGE", "Speed", settings.speed);
  profile.SetInt("MESSAGE", "AutoMode", settings.autoMode);
  profile.SetInt("MCI", "EnbaleMIDI", settings.enableMidi);
  profile.SetInt("MCI", "EnbaleCDDA", settings.enableCdda);
  profile.SetInt("MCI", "EnbaleSE", settings.enableSe);
  profile.SetInt("MCI", "EnbaleVOICE", settings.enableVoice);
  profile.SetInt("MCI", "EnbaleAVI", settings.enableAvi);
  profile.SetInt("MCI", "EnbaleMMX", settings.enableMmx);
  profile.SetInt("MCI", "EnableFade", settings.enableFade);
  profile.SetInt("MCI", "CDROM", settings.cdrom);
  profile.SetInt("MOUSE", "RightClick", settings.rightClick);
  profile.SetString("FONT", "FaceName", settings.faceName);
  profile.SetInt("FONT", "FixedPitch", settings.fixedPitch);
  profile.SetInt("FONT", "ForceUserFont", settings.forceUserFont);

  // In full-screen layout the window sits at 0, 0, and that is what is stored.
  settings.positionX = windowLeft;
  settings.positionY = windowTop;
  profile.SetInt("WINDOW", "PositionX", settings.positionX);
  profile.SetInt("WINDOW", "PositionY", settings.positionY);

  // Full screen as it is (2) is decided afresh at every start and never stored.
  settings.fullScreen = settings.fullScreen == 1 ? 1 : 0;
  profile.SetInt("WINDOW", "FullScreen", settings.fullScreen);
  profile.SetInt("WINDOW", "WindowScale", settings.windowScale);
  profile.SetInt("WINDOW", "FullScreenScaling", settings.fullScreenScaling);
  profile.SetInt("WINDOW", "ChangeDisplayMode", settings.changeDisplayMode);

  profile.Flush();
}

} // namespace velmo
