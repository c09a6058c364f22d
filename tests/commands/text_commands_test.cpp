// @Text, @TextFont and @TextColor: the typing speed, the characters that may not begin or end a
// line, the message font and the colours of message and option text.
#include "engine/commands/text_commands.h"

#include "engine/core/frame_driver.h"
#include "tests/text/text_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace velmo {
namespace {

using TextCommandTest = TextFixture;

TEST_F(TextCommandTest, TextWaitSetsTheStepIntervalOrThePlayersSpeed) {
  engine.settings.speed = 7;
  DoAll({"@Text WAIT=40"});
  EXPECT_EQ(engine.run.textStepIntervalMs, 40);
  engine.run.state = RunState::TextOutput;
  EXPECT_EQ(NextTickTime(engine, 1000), 1040u);
  DoAll({"@Text WAIT=user"});
  engine.run.state = RunState::TextOutput;
  EXPECT_EQ(NextTickTime(engine, 1000), 1000u + 7 * 4);
  DoAll({"@Text WAIT=0"});
  EXPECT_EQ(engine.run.textStepIntervalMs, 0);
  // An empty value leaves the interval as it is.
  DoAll({"@Text WAIT=55", "@Text WAIT="});
  EXPECT_EQ(engine.run.textStepIntervalMs, 55);
}

TEST_F(TextCommandTest, TextSetsAndClearsTheCharactersThatMayNotBeginOrEndALine) {
  DoAll({"@Text NOHEADINGCHAR=、。」 NOCLOSINGCHAR=「（"});
  MessageWindow& w = Window();
  EXPECT_EQ(w.noHeadingSet.Count(), 3);
  for (const char* c : {"、", "。", "」"}) EXPECT_TRUE(w.IsNoHeadingChar(c)) << c;
  for (const char* c : {"「", "あ", "A"}) EXPECT_FALSE(w.IsNoHeadingChar(c)) << c;
  EXPECT_TRUE(w.noClosingSet.Contains("「"));
  EXPECT_TRUE(w.noClosingSet.Contains("（"));
  EXPECT_FALSE(w.noClosingSet.Contains("、"));

  // An empty list clears one set and leaves the other.
  DoAll({"@Text NOHEADINGCHAR="});
  EXPECT_EQ(w.noHeadingSet.Count(), 0);
  EXPECT_FALSE(w.IsNoHeadingChar("、"));
  EXPECT_EQ(w.noClosingSet.Count(), 2);

  // The set the command gives is the one line layout uses.
  DoAll({"@Text NOHEADINGCHAR=、"});
  MakeTextLayer("16,32,80,48");
  Message("\x02あいうえ、お");
  TypeOut();
  const std::vector<Glyph> glyphs = ScreenGlyphs();
  ASSERT_EQ(glyphs.size(), 6u);
  EXPECT_EQ(glyphs[4], (Glyph{80, 32, "、"}));
  EXPECT_EQ(glyphs[5], (Glyph{16, 48, "お"}));
}

TEST_F(TextCommandTest, CharacterSetHoldsAtMost127Characters) {
  std::string characters;
  for (char c = '!'; c <= '~'; ++c) characters += c; // 94 single-byte characters
  for (int k = 0; k < 36; ++k) {                     // and 36 hiragana, from 0x829F on
    characters += '\x82';
    characters += static_cast<char>(0x9F + k);
  }
  CharSet set;
  set.Assign(characters);
  EXPECT_EQ(set.Count(), 127);
  EXPECT_TRUE(set.Contains("!"));
  EXPECT_TRUE(set.Contains("~"));
  const char last[] = {'\x82', static_cast<char>(0x9F + 32), 0}; // the 127th
  const char dropped[] = {'\x82', static_cast<char>(0x9F + 33), 0};
  EXPECT_TRUE(set.Contains(last));
  EXPECT_FALSE(set.Contains(dropped));
  // A double-byte character is not taken for its lead byte, nor the other way round.
  set.Assign("あ");
  EXPECT_FALSE(set.Contains("\x82"));
  set.Assign("\x82");
  EXPECT_FALSE(set.Contains("あ"));
}

TEST_F(TextCommandTest, TextFontMakesTheFontOnceForEachSizeWeightAndFace) {
  Window().font.description.width = 9; // a size sets the width back to the font's own
  const std::size_t before = graphics.fontsMade.size();
  DoAll({"@TextFont SIZE=24 WEIGHT=400"});
  ASSERT_EQ(graphics.fontsMade.size(), before + 2);
  const FontDescription& sized = graphics.fontsMade[before];
  const FontDescription& weighted = graphics.fontsMade[before + 1];
  EXPECT_EQ(sized.height, 24);
  EXPECT_EQ(sized.width, 0);
  EXPECT_EQ(sized.weight, graphics.SystemFont().weight);
  EXPECT_STREQ(sized.faceName, "System");
  EXPECT_EQ(weighted.height, 24);
  EXPECT_EQ(weighted.weight, 400);

  DoAll({"@TextFont PITCH=6 SPACING=2"});
  EXPECT_EQ(graphics.fontsMade.size(), before + 2);
  EXPECT_EQ(Window().font.linePitch, 6);
  EXPECT_EQ(Window().font.spacing, 2);

  DoAll({"@TextFont 20"});
  ASSERT_EQ(graphics.fontsMade.size(), before + 3);
  EXPECT_EQ(graphics.fontsMade.back().height, 20);
  EXPECT_EQ(graphics.fontsMade.back().weight, 400);
}

TEST_F(TextCommandTest, TextFontSizePitchAndSpacingLayTheTextOut) {
  MakeTextLayer("16,32,400,200");
  DoAll({"@TextFont SIZE=24 PITCH=6 SPACING=2"});
  Message("\x02"
          "Aあ\x01"
          "B");
  TypeOut();
  // 12 x 24 and 24 x 24 cells, 2 pixels after each, 6 between lines.
  EXPECT_EQ(ScreenGlyphs(), (std::vector<Glyph>{{16, 32, "A"}, {30, 32, "あ"}, {16, 62, "B"}}));
}

TEST_F(TextCommandTest, TextFontFaceIsTheScriptsOrThePlayersAndIsCutToThirtyOneBytes) {
  engine.settings.faceName = "ＭＳ 明朝";
  DoAll({"@TextFont FACE=丸ゴシック"});
  EXPECT_STREQ(graphics.fontsMade.back().faceName, "丸ゴシック");
  DoAll({"@TextFont FACE=user"});
  EXPECT_STREQ(graphics.fontsMade.back().faceName, "ＭＳ 明朝");
  DoAll({"@TextFont FACE=Arial"});
  EXPECT_STREQ(graphics.fontsMade.back().faceName, "Arial");
  engine.settings.forceUserFont = 1;
  DoAll({"@TextFont FACE=Arial"});
  EXPECT_STREQ(graphics.fontsMade.back().faceName, "ＭＳ 明朝");

  engine.settings.forceUserFont = 0;
  std::string longFace = "A";
  for (int k = 0; k < 20; ++k) longFace += "あ"; // 41 bytes: 31 of them end after the 15th あ
  DoAll({"@TextFont FACE=" + longFace});
  EXPECT_EQ(std::string(graphics.fontsMade.back().faceName), longFace.substr(0, 31));
}

TEST_F(TextCommandTest, TextColorSetsTheEightColoursWithTheScriptFlag) {
  DoAll({"@TextColor 0xFF0000"});
  EXPECT_EQ(Window().colours[MessagePair].text, 0x02FF0000u);
  EXPECT_EQ(Window().colours[MessagePair].shadow, MessageShadow);
  DoAll({"@TextColor TEXTBG=0x00FF00 OPTION=1 OPTIONBG=2 ACTIVE=3 ACTIVEBG=4 CLICK=5 CLICKBG=6"});
  const auto& c = Window().colours;
  EXPECT_EQ((std::vector<std::uint32_t>{c[0].text, c[0].shadow, c[1].text, c[1].shadow, c[2].text, c[2].shadow,
                                        c[3].text, c[3].shadow}),
            (std::vector<std::uint32_t>{0x02FF0000, 0x0200FF00, 0x02000001, 0x02000002, 0x02000003, 0x02000004,
                                        0x02000005, 0x02000006}));
  // The text colour's low 24 bits are the pixel: 0xFF0000 is blue.
  MakeTextLayer("16,32,400,200");
  Message("\x02"
          "A");
  TypeOut();
  EXPECT_EQ(PixelAt(*engine.screen.screenSurface, 17, 33), (Pixel3{0xFF, 0x00, 0x00}));
  EXPECT_EQ(PixelAt(*engine.screen.screenSurface, 24, 48), (Pixel3{0x00, 0xFF, 0x00}));
}

} // namespace
} // namespace velmo
