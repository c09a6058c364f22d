#include "engine/base/sjis.h"

#include <gtest/gtest.h>

#include <string_view>

namespace velmo {
namespace {

TEST(IsLeadByte, CoversExactlyTheTwoLeadRanges) {
  for (int c = 0; c <= 0xFF; ++c) {
    const bool expected = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    EXPECT_EQ(IsLeadByte(static_cast<unsigned char>(c)), expected) << std::hex << c;
    EXPECT_EQ(IsLeadByte(static_cast<char>(c)), expected) << std::hex << c;
  }
}

TEST(CharLength, LeadByteTakesItsTrailByte) {
  EXPECT_EQ(CharLength("表"), 2u);
  EXPECT_EQ(CharLength("a表"), 1u);
  EXPECT_EQ(CharLength("\xB1\x41"), 1u); // half-width katakana is one byte
  EXPECT_EQ(CharLength("\x95"), 1u);     // a lead byte at the very end
}

TEST(CutAtCharBoundary, NeverEndsInsideATwoByteCharacter) {
  const std::string_view text = "ab表示";
  EXPECT_EQ(CutAtCharBoundary(text, 0), "");
  EXPECT_EQ(CutAtCharBoundary(text, 2), "ab");
  EXPECT_EQ(CutAtCharBoundary(text, 3), "ab");
  EXPECT_EQ(CutAtCharBoundary(text, 4), "ab表");
  EXPECT_EQ(CutAtCharBoundary(text, 5), "ab表");
  EXPECT_EQ(CutAtCharBoundary(text, 6), text);
  EXPECT_EQ(CutAtCharBoundary(text, 100), text);
  EXPECT_EQ(CutAtCharBoundary("\xB1\xB2\xB3", 2), "\xB1\xB2");
  EXPECT_EQ(CutAtCharBoundary("a\x95", 2), "a\x95");
}

TEST(EqualsNoCase, FoldsAsciiLettersOnly) {
  EXPECT_TRUE(EqualsNoCase("Time", "TIME"));
  EXPECT_TRUE(EqualsNoCase("", ""));
  EXPECT_FALSE(EqualsNoCase("TIME", "TIMEOUT"));
  EXPECT_FALSE(EqualsNoCase("TIME", "TIM"));
  EXPECT_FALSE(EqualsNoCase("@", "`")); // 0x40 and 0x60 are not letters
  EXPECT_FALSE(EqualsNoCase("[", "{")); // 0x5B and 0x7B neither
  EXPECT_TRUE(EqualsNoCase("\xB1"
                           "A",
                           "\xB1"
                           "a")); // a single-byte character before a letter
}

TEST(EqualsNoCase, ComparesTwoByteCharactersExactly) {
  EXPECT_TRUE(EqualsNoCase("表示x", "表示X"));
  EXPECT_FALSE(EqualsNoCase("ア", "ヂ")); // trail bytes 0x41 and 0x61
  EXPECT_FALSE(EqualsNoCase("\x83\x5A", "\x83\x7A"));
  EXPECT_FALSE(EqualsNoCase("表", "能")); // same trail byte, different lead byte
}

} // namespace
} // namespace velmo
