#include "engine/platform/win32/profile_file.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace velmo {
namespace {

class ProfileFileTest : public ::testing::Test {
protected:
  std::string FilePath() const { return (folder.path / "system" / "VELMO.ini").string(); }
  std::string FileBytes() const { return ReadBytes(folder.path / "system" / "VELMO.ini"); }

  TempFolder folder;
};

TEST_F(ProfileFileTest, NumbersReadBackIncludingNegativeOnes) {
  {
    ProfileFile profile(FilePath());
    profile.SetInt("WINDOW", "PositionX", -32000);
    profile.SetInt("WINDOW", "PositionY", -1);
    profile.SetInt("MCI", "CDROM", 81);
    profile.SetInt("MESSAGE", "Speed", 0);
    profile.SetInt("SYSTEM", "Big", 2147483647);
  }
  ProfileFile profile(FilePath());
  EXPECT_EQ(profile.GetInt("WINDOW", "PositionX", 5), -32000);
  EXPECT_EQ(profile.GetInt("WINDOW", "PositionY", 5), -1);
  EXPECT_EQ(profile.GetInt("MCI", "CDROM", 5), 81);
  EXPECT_EQ(profile.GetInt("MESSAGE", "Speed", 5), 0);
  EXPECT_EQ(profile.GetInt("SYSTEM", "Big", 5), 2147483647);
}

TEST_F(ProfileFileTest, NumbersAreStoredAsDecimalText) {
  {
    ProfileFile profile(FilePath());
    profile.SetInt("WINDOW", "PositionX", -32000);
    profile.SetInt("MCI", "CDROM", 81);
  }
  const std::string bytes = FileBytes();
  EXPECT_NE(bytes.find("PositionX=-32000\r\n"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("CDROM=81\r\n"), std::string::npos) << bytes;
}

TEST_F(ProfileFileTest, StringsKeepTheirShiftJisBytes) {
  {
    ProfileFile profile(FilePath());
    profile.SetString("FONT", "FaceName", "\x95\x5C");
    profile.SetString("SYSTEM", "AboutThisScenario", "ＭＳ ゴシック");
  }
  EXPECT_NE(FileBytes().find("FaceName=\x95\x5C\r\n"), std::string::npos);

  ProfileFile profile(FilePath());
  EXPECT_EQ(profile.GetString("FONT", "FaceName", "none"), "\x95\x5C");
  EXPECT_EQ(profile.GetString("SYSTEM", "AboutThisScenario", "none"), "ＭＳ ゴシック");
}

TEST_F(ProfileFileTest, MissingKeySectionOrFileGivesTheFallback) {
  ProfileFile missingFile(FilePath());
  EXPECT_EQ(missingFile.GetInt("WINDOW", "PositionX", -1), -1);
  EXPECT_EQ(missingFile.GetString("FONT", "FaceName", "ＭＳ ゴシック"), "ＭＳ ゴシック");

  missingFile.SetInt("WINDOW", "FullScreen", 1);
  missingFile.Flush();
  ProfileFile profile(FilePath());
  EXPECT_EQ(profile.GetInt("WINDOW", "PositionX", 7), 7);
  EXPECT_EQ(profile.GetInt("MOUSE", "RightClick", 3), 3);
  EXPECT_EQ(profile.GetString("WINDOW", "Title", "fallback"), "fallback");
}

TEST_F(ProfileFileTest, FileIsWrittenWithCrLfLineEnds) {
  {
    ProfileFile profile(FilePath());
    profile.SetInt("GENERAL", "Transition", 1);
    profile.SetInt("GENERAL", "Effect", 0);
    profile.SetString("FONT", "FaceName", "abc");
  }
  const std::string bytes = FileBytes();
  EXPECT_NE(bytes.find("[GENERAL]\r\nTransition=1\r\nEffect=0\r\n"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("[FONT]\r\nFaceName=abc\r\n"), std::string::npos) << bytes;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare line feed at " << i;
    }
  }
}

TEST_F(ProfileFileTest, ReadsValuesWrittenByHand) {
  {
    const std::string text = "[WINDOW]\r\nPositionX=-1\r\nPositionY=  42\r\n[FONT]\r\nFaceName=Courier New\r\n";
    HANDLE file =
        CreateFileA(FilePath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
  }
  ProfileFile profile(FilePath());
  EXPECT_EQ(profile.GetInt("WINDOW", "PositionX", 0), -1);
  EXPECT_EQ(profile.GetInt("WINDOW", "PositionY", 0), 42);
  EXPECT_EQ(profile.GetString("FONT", "FaceName", ""), "Courier New");
}

TEST(ProfileFile, LongPathIsCutTo260Characters) {
  ProfileFile profile(std::string(300, 'a'));
  EXPECT_EQ(profile.Path(), std::string(260, 'a'));
}

} // namespace
} // namespace velmo
