#include "engine/core/settings.h"

#include "tests/support/memory_profile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmo {
namespace {

using Write = MemoryProfile::Write;

// A machine on which every setting can keep the value the file gives it.
SystemFacts LargeScreen() {
  SystemFacts facts;
  facts.midiOutDevices = 1;
  facts.waveOutDevices = 1;
  facts.screenWidth = 1024;
  facts.screenHeight = 768;
  return facts;
}

// Every field away from its default, so a test sees which ones loading really sets.
Settings Scrambled() {
  Settings s;
  s.transition = s.effect = s.autoSelect = s.nativeCode = 7;
  s.processPriority = s.maxFlashbackBuf = s.maxBookmarkPage = 7;
  s.aboutThisScenario = "stale";
  s.speed = s.autoMode = 7;
  s.enableCdda = s.enableMidi = s.enableSe = s.enableVoice = s.enableAvi = s.enableMmx = s.enableFade = 7;
  s.cdrom = 7;
  s.rightClick = 7;
  s.faceName = "stale";
  s.fixedPitch = s.forceUserFont = 7;
  s.positionX = s.positionY = s.fullScreen = 7;
  s.windowScale = s.fullScreenScaling = s.changeDisplayMode = 7;
  return s;
}

bool WritesSection(const MemoryProfile& profile, const std::string& section) {
  for (const Write& write : profile.writes) {
    if (write.section == section) return true;
  }
  return false;
}

std::string Written(const MemoryProfile& profile, const std::string& section, const std::string& key) {
  std::string value = "(not written)";
  for (const Write& write : profile.writes) {
    if (write.section == section && write.key == key) value = write.value;
  }
  return value;
}

// --- Loading ---------------------------------------------------------------------------------

TEST(LoadSettings, WithoutFileEverySettingTakesItsDefault) {
  MemoryProfile profile;
  Settings settings = Scrambled();
  const SettingsEffects effects = LoadSettings(profile, LargeScreen(), settings);

  EXPECT_EQ(settings.transition, 1);
  EXPECT_EQ(settings.effect, 1);
  EXPECT_EQ(settings.autoSelect, 1);
  EXPECT_EQ(settings.nativeCode, 1);
  EXPECT_EQ(settings.processPriority, 0);
  EXPECT_EQ(settings.maxFlashbackBuf, 0);
  EXPECT_EQ(settings.maxBookmarkPage, 1);
  EXPECT_EQ(settings.aboutThisScenario, "");
  EXPECT_EQ(settings.speed, 5);
  EXPECT_EQ(settings.autoMode, 0); // a file from before auto mode: click waits wait for clicks
  EXPECT_EQ(settings.enableCdda, 1);
  EXPECT_EQ(settings.enableMidi, 1);
  EXPECT_EQ(settings.enableSe, 1);
  EXPECT_EQ(settings.enableVoice, 1);
  EXPECT_EQ(settings.enableAvi, 1);
  EXPECT_EQ(settings.enableMmx, 1);
  EXPECT_EQ(settings.enableFade, 1);
  EXPECT_EQ(settings.cdrom, 65);
  EXPECT_EQ(settings.rightClick, 0);
  EXPECT_EQ(settings.faceName, "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E"); // ＭＳ ゴシック
  EXPECT_EQ(settings.fixedPitch, 1);
  EXPECT_EQ(settings.forceUserFont, 0);
  EXPECT_EQ(settings.positionX, -1);
  EXPECT_EQ(settings.positionY, -1);
  EXPECT_EQ(settings.fullScreen, 0);
  EXPECT_EQ(settings.windowScale, 1);
  EXPECT_EQ(settings.fullScreenScaling, 0);
  EXPECT_EQ(settings.changeDisplayMode, 0);

  EXPECT_FALSE(effects.raiseProcessPriority);
  EXPECT_FALSE(effects.enableAboutScenario);
  EXPECT_FALSE(effects.grayFullScreenCommand);
}

TEST(LoadSettings, ReadsEveryKeyFromTheFile) {
  MemoryProfile profile;
  profile.Put("GENERAL", "Transition", "0");
  profile.Put("GENERAL", "Effect", "2");
  profile.Put("GENERAL", "AutoSelect", "3");
  profile.Put("GENERAL", "NativeCode", "4");
  profile.Put("SYSTEM", "ProcessPriority", "5");
  profile.Put("SYSTEM", "MaxFlashbackBuf", "6");
  profile.Put("SYSTEM", "MaxBookmarkPage", "7");
  profile.Put("SYSTEM", "AboutThisScenario", "about.txt");
  profile.Put("MESSAGE", "Speed", "10");
  profile.Put("MESSAGE", "AutoMode", "1");
  profile.Put("MCI", "EnbaleCDDA", "11");
  profile.Put("MCI", "EnbaleMIDI", "12");
  profile.Put("MCI", "EnbaleSE", "13");
  profile.Put("MCI", "EnbaleVOICE", "14");
  profile.Put("MCI", "EnbaleAVI", "15");
  profile.Put("MCI", "EnbaleMMX", "16");
  profile.Put("MCI", "EnableFade", "17");
  profile.Put("MCI", "CDROM", "81");
  profile.Put("MOUSE", "RightClick", "5");
  profile.Put("FONT", "FaceName", "ＭＳ 明朝");
  profile.Put("FONT", "FixedPitch", "0");
  profile.Put("FONT", "ForceUserFont", "1");
  profile.Put("WINDOW", "PositionX", "120");
  profile.Put("WINDOW", "PositionY", "-32000");
  profile.Put("WINDOW", "FullScreen", "1");
  Settings settings = Scrambled();
  LoadSettings(profile, LargeScreen(), settings);

  EXPECT_EQ(settings.transition, 0);
  EXPECT_EQ(settings.effect, 2);
  EXPECT_EQ(settings.autoSelect, 3);
  EXPECT_EQ(settings.nativeCode, 4);
  EXPECT_EQ(settings.processPriority, 5);
  EXPECT_EQ(settings.maxFlashbackBuf, 6);
  EXPECT_EQ(settings.maxBookmarkPage, 7);
  EXPECT_EQ(settings.aboutThisScenario, "about.txt");
  EXPECT_EQ(settings.speed, 10);
  EXPECT_EQ(settings.autoMode, 1);
  EXPECT_EQ(settings.enableCdda, 11);
  EXPECT_EQ(settings.enableMidi, 12);
  EXPECT_EQ(settings.enableSe, 13);
  EXPECT_EQ(settings.enableVoice, 14);
  EXPECT_EQ(settings.enableAvi, 15);
  EXPECT_EQ(settings.enableMmx, 16);
  EXPECT_EQ(settings.enableFade, 17);
  EXPECT_EQ(settings.cdrom, 81);
  EXPECT_EQ(settings.rightClick, 5);
  EXPECT_EQ(settings.faceName, "ＭＳ 明朝");
  EXPECT_EQ(settings.fixedPitch, 0);
  EXPECT_EQ(settings.forceUserFont, 1);
  EXPECT_EQ(settings.positionX, 120);
  EXPECT_EQ(settings.positionY, -32000);
  EXPECT_EQ(settings.fullScreen, 1);
}

TEST(LoadSettings, FlushesTheProfileOnce) {
  MemoryProfile profile;
  Settings settings;
  LoadSettings(profile, LargeScreen(), settings);
  EXPECT_EQ(profile.flushCount, 1);
  EXPECT_TRUE(profile.writes.empty());
}

TEST(LoadSettings, ProcessPriorityAsksToRaiseThePriority) {
  MemoryProfile profile;
  profile.Put("SYSTEM", "ProcessPriority", "1");
  Settings settings;
  EXPECT_TRUE(LoadSettings(profile, LargeScreen(), settings).raiseProcessPriority);
}

TEST(LoadSettings, AboutThisScenarioEnablesItsMenuItem) {
  MemoryProfile profile;
  profile.Put("SYSTEM", "AboutThisScenario", "readme.txt");
  Settings settings;
  EXPECT_TRUE(LoadSettings(profile, LargeScreen(), settings).enableAboutScenario);
}

TEST(LoadSettings, EmptyAboutThisScenarioLeavesItsMenuItemDisabled) {
  MemoryProfile profile;
  profile.Put("SYSTEM", "AboutThisScenario", "");
  Settings settings;
  EXPECT_FALSE(LoadSettings(profile, LargeScreen(), settings).enableAboutScenario);
}

// --- Machine rules ---------------------------------------------------------------------------

TEST(LoadSettingsMachineRules, NoMidiDeviceMarksMidiAsMissing) {
  MemoryProfile profile;
  profile.Put("MCI", "EnbaleMIDI", "0");
  SystemFacts facts = LargeScreen();
  facts.midiOutDevices = 0;
  Settings settings;
  LoadSettings(profile, facts, settings);
  EXPECT_EQ(settings.enableMidi, 2);
  EXPECT_EQ(settings.enableSe, 1);
  EXPECT_EQ(settings.enableVoice, 1);
}

TEST(LoadSettingsMachineRules, MissingMidiIsStoredAndSurvivesOnAMachineWithADevice) {
  MemoryProfile profile;
  SystemFacts withoutMidi = LargeScreen();
  withoutMidi.midiOutDevices = 0;
  Settings first;
  LoadSettings(profile, withoutMidi, first);
  SaveSettings(profile, first, 10, 20);
  EXPECT_EQ(Written(profile, "MCI", "EnbaleMIDI"), "2");

  Settings second;
  LoadSettings(profile, LargeScreen(), second);
  EXPECT_EQ(second.enableMidi, 2);
}

TEST(LoadSettingsMachineRules, NoWaveDeviceMarksEffectsAndVoiceAsMissing) {
  MemoryProfile profile;
  SystemFacts facts = LargeScreen();
  facts.waveOutDevices = 0;
  Settings settings;
  LoadSettings(profile, facts, settings);
  EXPECT_EQ(settings.enableSe, 2);
  EXPECT_EQ(settings.enableVoice, 2);
  EXPECT_EQ(settings.enableMidi, 1);
  EXPECT_EQ(settings.enableCdda, 1);
  EXPECT_EQ(settings.enableAvi, 1);
}

TEST(LoadSettingsMachineRules, ALargeScreenKeepsFullScreenAsStored) {
  for (const std::int32_t changeDisplayMode : {0, 1}) {
    MemoryProfile profile;
    profile.Put("WINDOW", "FullScreen", "1");
    profile.Put("WINDOW", "ChangeDisplayMode", std::to_string(changeDisplayMode));
    Settings settings;
    const SettingsEffects effects = LoadSettings(profile, LargeScreen(), settings);
    EXPECT_EQ(settings.fullScreen, 1) << changeDisplayMode;
    EXPECT_EQ(FullScreenChangesDisplayMode(settings), changeDisplayMode != 0);
    EXPECT_FALSE(effects.grayFullScreenCommand) << changeDisplayMode;

    SaveSettings(profile, settings, 0, 0);
    EXPECT_EQ(Written(profile, "WINDOW", "FullScreen"), "1");
    EXPECT_EQ(Written(profile, "WINDOW", "ChangeDisplayMode"), std::to_string(changeDisplayMode));
    EXPECT_EQ(settings.fullScreen, 1);
  }
}

TEST(LoadSettingsWindow, TheWindowScaleIsOneToThreeAndTheScalingKeysAreKept) {
  struct Case {
    const char* stored;
    std::int32_t scale;
  };
  const Case cases[] = {{"1", 1}, {"2", 2}, {"3", 3}, {"0", 1}, {"4", 1}, {"-2", 1}, {"x2", 1}};
  for (const Case& c : cases) {
    MemoryProfile profile;
    profile.Put("WINDOW", "WindowScale", c.stored);
    profile.Put("WINDOW", "FullScreenScaling", "1");
    profile.Put("WINDOW", "ChangeDisplayMode", "1");
    Settings settings = Scrambled();
    LoadSettings(profile, LargeScreen(), settings);
    EXPECT_EQ(settings.windowScale, c.scale) << c.stored;
    EXPECT_EQ(settings.fullScreenScaling, 1);
    EXPECT_EQ(settings.changeDisplayMode, 1);
    SaveSettings(profile, settings, 0, 0);
    EXPECT_EQ(Written(profile, "WINDOW", "WindowScale"), std::to_string(c.scale)) << c.stored;
  }
}

TEST(LoadSettingsMachineRules, ScreenOf640By480IsUsedFullScreenAsItIs) {
  MemoryProfile profile;
  SystemFacts facts = LargeScreen();
  facts.screenWidth = 640;
  facts.screenHeight = 480;
  Settings settings;
  const SettingsEffects effects = LoadSettings(profile, facts, settings);
  EXPECT_EQ(settings.fullScreen, 2);
  EXPECT_TRUE(effects.grayFullScreenCommand);

  SaveSettings(profile, settings, 0, 0);
  EXPECT_EQ(Written(profile, "WINDOW", "FullScreen"), "0");
  EXPECT_EQ(settings.fullScreen, 0);
}

TEST(LoadSettingsMachineRules, ScreenLargerInOneDirectionIsNotSmall) {
  for (const auto& [width, height] : {std::pair{641, 480}, std::pair{640, 481}}) {
    MemoryProfile profile;
    profile.Put("WINDOW", "FullScreen", "1");
    SystemFacts facts = LargeScreen();
    facts.screenWidth = width;
    facts.screenHeight = height;
    Settings settings;
    const SettingsEffects effects = LoadSettings(profile, facts, settings);
    EXPECT_EQ(settings.fullScreen, 1) << width << "x" << height;
    EXPECT_FALSE(effects.grayFullScreenCommand) << width << "x" << height;
  }
}

// --- Face name -------------------------------------------------------------------------------

TEST(LoadSettingsFaceName, LongerThan31BytesIsCut) {
  MemoryProfile profile;
  profile.Put("FONT", "FaceName", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
  Settings settings;
  LoadSettings(profile, LargeScreen(), settings);
  EXPECT_EQ(settings.faceName, "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234");
}

TEST(LoadSettingsFaceName, Exactly31BytesIsKept) {
  MemoryProfile profile;
  const std::string name(31, 'F');
  profile.Put("FONT", "FaceName", name);
  Settings settings;
  LoadSettings(profile, LargeScreen(), settings);
  EXPECT_EQ(settings.faceName, name);
}

TEST(LoadSettingsFaceName, CutNeverSplitsATwoByteCharacter) {
  MemoryProfile profile;
  // The character occupies bytes 31 and 32: it goes as a whole.
  profile.Put("FONT", "FaceName", std::string(30, 'a') + "表示");
  Settings settings;
  LoadSettings(profile, LargeScreen(), settings);
  EXPECT_EQ(settings.faceName, std::string(30, 'a'));

  // The character occupies bytes 30 and 31: it stays whole.
  profile.Put("FONT", "FaceName", std::string(29, 'a') + "表示");
  LoadSettings(profile, LargeScreen(), settings);
  EXPECT_EQ(settings.faceName, std::string(29, 'a') + "表");
}

// --- Saving ----------------------------------------------------------------------------------

TEST(SaveSettings, WithoutFileWritesEveryKeptKeyWithItsDefault) {
  MemoryProfile profile;
  Settings settings = Scrambled();
  LoadSettings(profile, LargeScreen(), settings);
  SaveSettings(profile, settings, -1, -1);

  const std::vector<Write> expected = {
      {"GENERAL", "Transition", "1"},
      {"GENERAL", "Effect", "1"},
      {"GENERAL", "AutoSelect", "1"},
      {"GENERAL", "NativeCode", "1"},
      {"MESSAGE", "Speed", "5"},
      {"MESSAGE", "AutoMode", "0"},
      {"MCI", "EnbaleMIDI", "1"},
      {"MCI", "EnbaleCDDA", "1"},
      {"MCI", "EnbaleSE", "1"},
      {"MCI", "EnbaleVOICE", "1"},
      {"MCI", "EnbaleAVI", "1"},
      {"MCI", "EnbaleMMX", "1"},
      {"MCI", "EnableFade", "1"},
      {"MCI", "CDROM", "65"},
      {"MOUSE", "RightClick", "0"},
      {"FONT", "FaceName", "ＭＳ ゴシック"},
      {"FONT", "FixedPitch", "1"},
      {"FONT", "ForceUserFont", "0"},
      {"WINDOW", "PositionX", "-1"},
      {"WINDOW", "PositionY", "-1"},
      {"WINDOW", "FullScreen", "0"},
      {"WINDOW", "WindowScale", "1"},
      {"WINDOW", "FullScreenScaling", "0"},
      {"WINDOW", "ChangeDisplayMode", "0"},
  };
  EXPECT_EQ(profile.writes, expected);
  EXPECT_EQ(profile.flushCount, 2); // once after loading, once after saving
}

TEST(SaveSettings, NeverWritesTheSystemKeys) {
  MemoryProfile profile;
  profile.Put("SYSTEM", "ProcessPriority", "1");
  profile.Put("SYSTEM", "MaxFlashbackBuf", "3");
  profile.Put("SYSTEM", "MaxBookmarkPage", "4");
  profile.Put("SYSTEM", "AboutThisScenario", "about.txt");
  Settings settings;
  LoadSettings(profile, LargeScreen(), settings);
  settings.maxBookmarkPage = 9;
  SaveSettings(profile, settings, 0, 0);
  EXPECT_FALSE(WritesSection(profile, "SYSTEM"));
  EXPECT_EQ(profile.Find("SYSTEM", "MaxBookmarkPage"), "4");
}

TEST(SaveSettings, WritesTheValuesInMemory) {
  MemoryProfile profile;
  Settings settings;
  settings.transition = 0;
  settings.speed = 10;
  settings.autoMode = 1;
  settings.enableCdda = 2;
  settings.rightClick = 4;
  settings.faceName = "ＭＳ 明朝";
  settings.forceUserFont = 1;
  SaveSettings(profile, settings, 0, 0);
  EXPECT_EQ(Written(profile, "GENERAL", "Transition"), "0");
  EXPECT_EQ(Written(profile, "MESSAGE", "Speed"), "10");
  EXPECT_EQ(Written(profile, "MESSAGE", "AutoMode"), "1");
  EXPECT_EQ(Written(profile, "MCI", "EnbaleCDDA"), "2");
  EXPECT_EQ(Written(profile, "MOUSE", "RightClick"), "4");
  EXPECT_EQ(Written(profile, "FONT", "FaceName"), "ＭＳ 明朝");
  EXPECT_EQ(Written(profile, "FONT", "ForceUserFont"), "1");
}

TEST(SaveSettings, StoresTheCdDriveAsItsCharacterCode) {
  MemoryProfile profile;
  Settings settings;
  settings.cdrom = 'Q';
  SaveSettings(profile, settings, 0, 0);
  EXPECT_EQ(Written(profile, "MCI", "CDROM"), "81");
}

TEST(SaveSettings, StoresTheWindowCornerItIsGiven) {
  MemoryProfile profile;
  Settings settings;
  SaveSettings(profile, settings, 200, 150);
  EXPECT_EQ(Written(profile, "WINDOW", "PositionX"), "200");
  EXPECT_EQ(Written(profile, "WINDOW", "PositionY"), "150");
  EXPECT_EQ(settings.positionX, 200);
  EXPECT_EQ(settings.positionY, 150);
}

TEST(SaveSettings, MinimizedPositionIsStoredAsItIsAndReadBackNegative) {
  MemoryProfile profile;
  Settings settings;
  SaveSettings(profile, settings, -32000, -32000);
  EXPECT_EQ(Written(profile, "WINDOW", "PositionX"), "-32000");
  EXPECT_EQ(Written(profile, "WINDOW", "PositionY"), "-32000");

  Settings next;
  LoadSettings(profile, LargeScreen(), next);
  EXPECT_EQ(next.positionX, -32000);
  EXPECT_EQ(next.positionY, -32000);
}

TEST(SaveSettings, FullScreenIsStoredAsOneOrZero) {
  for (const auto& [inMemory, stored] : {std::pair{0, "0"}, std::pair{1, "1"}, std::pair{2, "0"}, std::pair{5, "0"}}) {
    MemoryProfile profile;
    Settings settings;
    settings.fullScreen = inMemory;
    SaveSettings(profile, settings, 0, 0);
    EXPECT_EQ(Written(profile, "WINDOW", "FullScreen"), stored) << inMemory;
  }
}

TEST(SaveSettings, FlushesTheProfile) {
  MemoryProfile profile;
  Settings settings;
  SaveSettings(profile, settings, 0, 0);
  EXPECT_EQ(profile.flushCount, 1);
}

} // namespace
} // namespace velmo
