#include "engine/platform/headless/ini_profile.h"

#include "engine/core/settings.h"

#include <gtest/gtest.h>

namespace velmo {
namespace {

TEST(IniProfileTest, ReadsSectionsAndKeysAsTheProfileFunctionsDo) {
  IniProfile profile("; comment\r\n[MESSAGE]\r\nSpeed = 9\r\n[window]\r\nPositionX=-32000\r\n"
                     "PositionY=12abc\r\nFullScreen=\r\n[FONT]\r\nFaceName=\x95\x5C\r\nbroken line\r\n[MCI");
  EXPECT_EQ(profile.GetInt("MESSAGE", "Speed", 5), 9);
  EXPECT_EQ(profile.GetInt("message", "SPEED", 5), 9);          // names ignore case
  EXPECT_EQ(profile.GetInt("WINDOW", "PositionX", -1), -32000); // negative numbers
  EXPECT_EQ(profile.GetInt("WINDOW", "PositionY", -1), 12);     // leading digits
  EXPECT_EQ(profile.GetInt("WINDOW", "FullScreen", 7), 7);      // an empty value is the default
  EXPECT_EQ(profile.GetInt("WINDOW", "Missing", 3), 3);
  EXPECT_EQ(profile.GetInt("GENERAL", "Speed", 4), 4); // keys belong to their section
  EXPECT_EQ(profile.GetString("FONT", "FaceName", ""), "\x95\x5C");
  EXPECT_EQ(profile.GetString("FONT", "Other", "x"), "x");
}

TEST(IniProfileTest, LoadsSettingsFromAGameFile) {
  IniProfile profile("[MESSAGE]\nSpeed=2\n[MOUSE]\nRightClick=3\n");
  Settings settings;
  LoadSettings(profile, SystemFacts{}, settings);
  EXPECT_EQ(settings.speed, 2);
  EXPECT_EQ(settings.rightClick, 3);
  EXPECT_EQ(settings.transition, 1);
}

} // namespace
} // namespace velmo
