// The message window typing text into its text layer: character cells and line layout inside the
// text rectangle, hanging characters, indents, page clears, waits, instant runs and skipping, the
// page marker, the surfaces of each output mode, and messages without a text layer.
#include "engine/text/message_window.h"

#include "engine/core/frame_driver.h"
#include "engine/graphics/compositor.h"
#include "tests/text/text_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace velmo {
namespace {

// The bytes the line reader turns escapes into.
const std::string NewLine = "\x01", Clear = "\x02", Wait = "\x03", InstantOn = "\x04", InstantOff = "\x05";
const std::string Push = "\x06", Pop = "\x07", Hang = "\x08", NoHangDash = "\x09", NoHang = "\x0A";

const Pixel3 Black{0, 0, 0};

// The text layer's rectangle is 80 x 48 at (16, 32): its right edge is x = 96 and its bottom
// y = 80. With the system font's 8 x 16 and 16 x 16 cells a character fits while its right edge
// stays left of 96, so a line holds nine single-byte characters (x = 16 .. 80) or four double-byte
// ones (x = 16 .. 64), and the page three lines (y = 32, 48, 64).
class MessageWindowTest : public TextFixture {
protected:
  void SetUp() override { MakeTextLayer("16,32,80,48"); }

  // Glyphs of single-byte characters laid out from (x, y) one cell after the other.
  static std::vector<Glyph> Row(int x, int y, const std::string& characters, int advance = 8) {
    std::vector<Glyph> row;
    for (char c : characters) {
      row.push_back(Glyph{x, y, std::string(1, c)});
      x += advance;
    }
    return row;
  }
  static std::vector<Glyph> Join(std::vector<Glyph> first, const std::vector<Glyph>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
  }
};

// --- Layout ---

TEST_F(MessageWindowTest, CharactersAdvanceByTheirCellWidthPlusTheSpacing) {
  MakeTextLayer("16,32,400,200");
  Window().font.spacing = 3;
  Message(Clear + "A" + "あ" + "B");
  TypeOut();
  EXPECT_EQ(ScreenGlyphs(), (std::vector<Glyph>{{16, 32, "A"}, {27, 32, "あ"}, {46, 32, "B"}}));
  EXPECT_EQ(Cursor(), std::make_pair(57, 32));
}

TEST_F(MessageWindowTest, NewLineGoesBackToTheLineStartAndDownByPitchAndSpaceHeight) {
  MakeTextLayer("16,32,400,200");
  Window().font.linePitch = 5;
  Message(Clear + "AB" + NewLine + "C" + NewLine + NewLine + "D");
  TypeOut();
  // 16 (the height of a space) + 5 per line.
  EXPECT_EQ(ScreenGlyphs(), (std::vector<Glyph>{{16, 32, "A"}, {24, 32, "B"}, {16, 53, "C"}, {16, 95, "D"}}));
}

TEST_F(MessageWindowTest, CharacterThatReachesTheRightEdgeStartsTheNextLine) {
  Message(Clear + "ABCDEFGHIJ");
  TypeOut();
  EXPECT_EQ(ScreenGlyphs(), Join(Row(16, 32, "ABCDEFGHI"), {{16, 48, "J"}}));
  EXPECT_EQ(Cursor(), std::make_pair(24, 48));

  ClearPaints();
  Message(Clear + "あいうえお");
  TypeOut();
  EXPECT_EQ(ScreenGlyphs(),
            (std::vector<Glyph>{{16, 32, "あ"}, {32, 32, "い"}, {48, 32, "う"}, {64, 32, "え"}, {16, 48, "お"}}));
}

TEST_F(MessageWindowTest, NoHeadingCharacterAtTheEdgeHangsAndTheNextStartsTheLine) {
  Window().noHeadingSet.Assign("、。");
  Message(Clear + "あいうえ、お");
  TypeOut();
  const std::vector<Glyph> firstFour{{16, 32, "あ"}, {32, 32, "い"}, {48, 32, "う"}, {64, 32, "え"}};
  EXPECT_EQ(ScreenGlyphs(), Join(firstFour, {{80, 32, "、"}, {16, 48, "お"}}));

  // Any other character goes to the next line.
  ClearPaints();
  Message(Clear + "あいうえかお");
  TypeOut();
  EXPECT_EQ(ScreenGlyphs(), Join(firstFour, {{16, 48, "か"}, {32, 48, "お"}}));

  // A no-heading character that fits is drawn where it stands.
  ClearPaints();
  Message(Clear + "あい。う");
  TypeOut();
  EXPECT_EQ(ScreenGlyphs(), (std::vector<Glyph>{{16, 32, "あ"}, {32, 32, "い"}, {48, 32, "。"}, {64, 32, "う"}}));
}

TEST_F(MessageWindowTest, HangMarksMakeTheNextCharacterHangOrNeverHang) {
  Window().noHeadingSet.Assign("、");
  const std::vector<Glyph> firstFour{{16, 32, "あ"}, {32, 32, "い"}, {48, 32, "う"}, {64, 32, "え"}};
  Message(Clear + "あいうえ" + Hang + "かお");
  TypeOut();
  EXPECT_EQ(ScreenGlyphs(), Join(firstFour, {{80, 32, "か"}, {16, 48, "お"}}));

  for (const std::string& mark : {NoHang, NoHangDash}) {
    ClearPaints();
    Message(Clear + "あいうえ" + mark + "、お");
    TypeOut();
    EXPECT_EQ(ScreenGlyphs(), Join(firstFour, {{16, 48, "、"}, {32, 48, "お"}})) << int{mark[0]};
  }

  // The mark is spent on the character right after it, even when that one fits.
  ClearPaints();
  Message(Clear + "あいう" + Hang + "えかお");
  TypeOut();
  EXPECT_EQ(ScreenGlyphs(), Join(firstFour, {{16, 48, "か"}, {32, 48, "お"}}));
}

TEST_F(MessageWindowTest, SavedIndentIsWhereNewAndWrappedLinesStart) {
  MakeTextLayer("16,32,80,200");
  Message(Clear + "AB" + Push + "CD" + NewLine + "EFGHIJKL" + Pop + NewLine + "N");
  TypeOut();
  std::vector<Glyph> expected = Row(16, 32, "ABCD");
  expected = Join(expected, Row(32, 48, "EFGHIJK")); // wraps at 96, back to the indent at 32
  expected = Join(expected, {{32, 64, "L"}, {16, 80, "N"}});
  EXPECT_EQ(ScreenGlyphs(), expected);
}

TEST_F(MessageWindowTest, IndentStackKeepsSixteenPlacesAndPageClearEmptiesIt) {
  MakeTextLayer("16,32,600,200");
  std::string text = Clear;
  for (int k = 1; k <= 17; ++k) text += "A" + Push; // the k-th saves x = 16 + 8k; the 17th is dropped
  text += NewLine + "B" + Pop + NewLine + "C" + Clear + NewLine + "D";
  Message(text);
  TypeOut();
  const std::vector<Glyph> glyphs = ScreenGlyphs();
  ASSERT_EQ(glyphs.size(), 20u);
  EXPECT_EQ(glyphs[17], (Glyph{16 + 8 * 16, 48, "B"}));
  EXPECT_EQ(glyphs[18], (Glyph{16 + 8 * 15, 64, "C"}));
  EXPECT_EQ(glyphs[19], (Glyph{16, 48, "D"}));
  EXPECT_EQ(Window().Layout().indentCount, 0);
}

TEST_F(MessageWindowTest, EscapedCharactersAreDrawnAsTheCharactersTheyStandFor) {
  Message(Clear + "\x0B\x0C\x0D\x0E" + "A");
  EXPECT_EQ(TypeOut(), 6); // one character a step, then the end
  EXPECT_EQ(ScreenGlyphs(),
            (std::vector<Glyph>{{16, 32, "\\"}, {24, 32, "\""}, {32, 32, "$"}, {40, 32, ","}, {48, 32, "A"}}));
}

TEST_F(MessageWindowTest, NextMessageGoesOnWhereThePreviousStopped) {
  Message(Clear + "AB");
  TypeOut();
  Message("CD");
  TypeOut();
  Message(NewLine + "E");
  TypeOut();
  Message(Clear + "F");
  TypeOut();
  EXPECT_EQ(ScreenGlyphs(), Join(Row(16, 32, "ABCD"), {{16, 48, "E"}, {16, 32, "F"}}));
}

// --- Steps, waits and skipping ---

TEST_F(MessageWindowTest, EachStepTypesOneCountedCharacterAndTheEndPostsResume) {
  MakeTextLayer("16,32,400,200");
  const int repaints = window.repaints;
  window.invalidated.clear();
  window.updates = 0;
  Message(Clear + "AB" + NewLine + "あ");
  std::vector<std::size_t> glyphsAfter;
  std::vector<int> resumesAfter;
  for (int step = 0; step < 4; ++step) {
    Window().OutputStep();
    glyphsAfter.push_back(ScreenGlyphs().size());
    resumesAfter.push_back(window.resumePosted);
  }
  EXPECT_EQ(glyphsAfter, (std::vector<std::size_t>{1, 2, 3, 3}));
  EXPECT_EQ(resumesAfter, (std::vector<int>{0, 0, 0, 1}));
  EXPECT_EQ(ScreenGlyphs().back(), (Glyph{16, 48, "あ"}));
  // The page clear shows the whole frame; each step that typed shows the cells it drew, each cell
  // with the shadow's 2 pixels.
  EXPECT_EQ(window.repaints, repaints + 1);
  EXPECT_EQ(window.updates, 3);
  EXPECT_EQ(window.invalidated,
            (std::vector<std::array<int, 4>>{{16, 32, 26, 50}, {24, 32, 34, 50}, {16, 48, 34, 66}}));
}

TEST_F(MessageWindowTest, InstantRunTypesItsCharactersWithinOneStep) {
  MakeTextLayer("16,32,400,200");
  Message(Clear + "A" + InstantOn + "BCD" + InstantOff + "EF");
  std::vector<std::size_t> glyphsAfter;
  for (int step = 0; step < 3; ++step) {
    Window().OutputStep();
    glyphsAfter.push_back(ScreenGlyphs().size());
  }
  // The run's characters do not count: the step goes on to the first counted one after it.
  EXPECT_EQ(glyphsAfter, (std::vector<std::size_t>{1, 5, 6}));
  EXPECT_EQ(window.resumePosted, 0);
  Window().OutputStep();
  EXPECT_EQ(window.resumePosted, 1);
}

class MessageSkipTest : public MessageWindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(MessageSkipTest, SkippingTypesTheWholeTextInOneStep) {
  MakeTextLayer("16,32,600,200");
  bool* const flags[] = {&engine.run.clickSkip, &engine.run.skipToOption, &window.controlDown};
  *flags[GetParam()] = true;
  Message(Clear + "ABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJ");
  Window().OutputStep();
  EXPECT_EQ(ScreenGlyphs(), Row(16, 32, "ABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJ"));
  EXPECT_EQ(window.resumePosted, 1);
}

INSTANTIATE_TEST_SUITE_P(ClickSkipSkipToOptionControl, MessageSkipTest, ::testing::Values(0, 1, 2));

TEST_F(MessageWindowTest, WaitStopsForAClickAndClearsClickSkip) {
  Message(Clear + "AB" + Wait + "CD");
  EXPECT_EQ(TypeOut(), 3);
  EXPECT_EQ(engine.run.state, RunState::ClickWait);
  EXPECT_EQ(ScreenGlyphs(), Row(16, 32, "AB"));
  EXPECT_EQ(window.resumePosted, 0);
  engine.run.state = RunState::TextOutput;
  EXPECT_EQ(TypeOut(), 3);
  EXPECT_EQ(ScreenGlyphs(), Row(16, 32, "ABCD"));
  EXPECT_EQ(window.resumePosted, 1);

  // Click skipping ends at the wait.
  ClearPaints();
  engine.run.clickSkip = true;
  Message(Clear + "AB" + Wait + "CD");
  Window().OutputStep();
  EXPECT_EQ(engine.run.state, RunState::ClickWait);
  EXPECT_FALSE(engine.run.clickSkip);
  EXPECT_EQ(ScreenGlyphs(), Row(16, 32, "AB"));
}

TEST_F(MessageWindowTest, WaitGoesOnWhenSkippingToAnOptionAndWaitsForAPendingVoice) {
  engine.run.skipToOption = true;
  Message(Clear + "AB" + Wait + "CD");
  Window().OutputStep();
  EXPECT_EQ(engine.run.state, RunState::TextOutput);
  EXPECT_EQ(window.resumePosted, 0);
  Window().OutputStep();
  EXPECT_EQ(ScreenGlyphs(), Row(16, 32, "ABCD"));
  EXPECT_EQ(window.resumePosted, 1);

  engine.run.skipToOption = false;
  engine.run.voicePending = true;
  Message(Clear + "AB" + Wait + "CD");
  TypeOut();
  EXPECT_EQ(engine.run.state, RunState::VoiceWait);
}

TEST_F(MessageWindowTest, EachPageWithTextGoesToTheFlashbackAsSeenAtItsLastWait) {
  ASSERT_TRUE(engine.screen.MakeFlashbackSurfaces(3));
  TSurface& screen = *engine.screen.screenSurface;
  Message(Clear + "AB" + NewLine + "C" + Wait);
  TypeOut();
  EXPECT_EQ(Window().WaitCharacters(), 3);
  const std::vector<std::uint8_t> firstPage(screen.Bits(), screen.Bits() + TSurface::Size);
  // The next scene is drawn after the wait, before the page is cleared.
  std::memset(screen.Bits(), 0x55, TSurface::Size);
  Message(Clear + "D");
  TypeOut();
  const std::vector<std::uint8_t> secondPage(screen.Bits(), screen.Bits() + TSurface::Size);
  Message(Clear + Clear + "E" + Wait); // a page without text is not kept
  TypeOut();
  EXPECT_EQ(Window().WaitCharacters(), 1);
  FlashbackRing& ring = engine.screen.flashback;
  EXPECT_EQ(ring.Count(), 2);
  ASSERT_TRUE(ring.Back());
  EXPECT_EQ(std::vector<std::uint8_t>(ring.Shown()->Bits(), ring.Shown()->Bits() + TSurface::Size), secondPage);
  ASSERT_TRUE(ring.Back());
  EXPECT_EQ(std::vector<std::uint8_t>(ring.Shown()->Bits(), ring.Shown()->Bits() + TSurface::Size), firstPage);
}

TEST_F(MessageWindowTest, FullPageWaitsThenClearsAndTypesTheCharacterThatDidNotFitFirst) {
  const std::string text = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef";
  window.controlDown = true;
  Message(Clear + text);
  Window().OutputStep();
  // Three lines of nine; the 28th character ('b') would start a fourth line at y = 80, past the
  // page: it is not typed there.
  ASSERT_EQ(engine.run.state, RunState::ClickWait);
  std::vector<Glyph> expected = Join(Row(16, 32, "ABCDEFGHI"), Row(16, 48, "JKLMNOPQR"));
  expected = Join(expected, Row(16, 64, "STUVWXYZa"));
  EXPECT_EQ(ScreenGlyphs(), expected);
  EXPECT_EQ(window.resumePosted, 0);

  ClearPaints();
  OnLeftClick(engine, 0, 0);
  ASSERT_EQ(engine.run.state, RunState::TextOutput);
  Window().OutputStep();
  EXPECT_EQ(ScreenGlyphs(), Row(16, 32, "bcdef"));
  EXPECT_EQ(PixelAt(*engine.screen.screenSurface, 17, 49), Black); // the page was cleared first ('J' was here)
  EXPECT_EQ(window.resumePosted, 1);
}

TEST_F(MessageWindowTest, ARectangleTooSmallForOneCharacterStillTypesTheWholeText) {
  // Narrower than a character and lower than a line: every character breaks to a line below the
  // page, also on a fresh page. Each is typed on its second try and the text reaches its end.
  MakeTextLayer("16,32,4,8");
  Message(Clear + "abc");
  int clicks = 0;
  for (; clicks < 20 && window.posted.empty(); ++clicks) {
    TypeOut();
    if (engine.run.state == RunState::ClickWait) OnLeftClick(engine, 0, 0);
  }
  EXPECT_EQ(window.resumePosted, 1);
  std::string typed;
  for (const Glyph& glyph : ScreenGlyphs()) typed += glyph.text;
  EXPECT_EQ(typed, "abc");
}

TEST_F(MessageWindowTest, HangingCharacterStaysOnTheLastLineOfAFullPage) {
  Window().noHeadingSet.Assign("、");
  window.controlDown = true;
  Message(Clear + "あいうえかきくけさしすせ、そ");
  Window().OutputStep();
  ASSERT_EQ(engine.run.state, RunState::ClickWait);
  EXPECT_EQ(ScreenGlyphs().back(), (Glyph{80, 64, "、"}));
  ClearPaints();
  engine.run.state = RunState::TextOutput;
  Window().OutputStep();
  EXPECT_EQ(ScreenGlyphs(), (std::vector<Glyph>{{16, 32, "そ"}}));
}

TEST_F(MessageWindowTest, FullPageGoesStraightOnWhenSkippingToAnOption) {
  engine.run.skipToOption = true;
  Message(Clear + "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef");
  EXPECT_EQ(TypeOut(), 2);
  EXPECT_EQ(window.resumePosted, 1);
  const std::vector<Glyph> glyphs = ScreenGlyphs();
  ASSERT_EQ(glyphs.size(), 32u);
  EXPECT_EQ(glyphs[27], (Glyph{16, 32, "b"}));
}

TEST_F(MessageWindowTest, TextLongerThanTheBufferIsCutAtACharacterBoundary) {
  MakeTextLayer("0,0,100000,100");
  window.controlDown = true;
  Message(std::string(2000, 'A'));
  Window().OutputStep();
  EXPECT_EQ(ScreenGlyphs().size(), 1023u);
  EXPECT_EQ(window.resumePosted, 1);

  // A double-byte character that would take the last byte is left out with all after it.
  ClearPaints();
  window.resumePosted = 0;
  Message(Clear + std::string(1021, 'A') + "あB");
  Window().OutputStep();
  const std::vector<Glyph> glyphs = ScreenGlyphs();
  EXPECT_EQ(glyphs.size(), 1021u);
  EXPECT_EQ(glyphs.back().text, "A");
  EXPECT_EQ(window.resumePosted, 1);
}

// --- Surfaces, page clears and the page marker ---

class MessageModeTest : public MessageWindowTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(MessageModeTest, ModeChoosesTheScreenTheLayerBitmapOrBoth) {
  MakeTextLayer("16,32,200,100", GetParam());
  const TextOutputMode mode = TextLayer()->mode;
  Message(Clear + "A");
  TypeOut();
  const TSurface& screen = *engine.screen.screenSurface;
  const TSurface& bitmap = *TextLayer()->bitmap;
  // The cell is 8 x 16 at (16, 32); the shadow's at (18, 34); (24, 48) is in the shadow only.
  EXPECT_EQ(PixelAt(screen, 17, 33), DrawsOnScreen(mode) ? Bgr(MessageText) : Black);
  EXPECT_EQ(PixelAt(screen, 24, 48), DrawsOnScreen(mode) ? Bgr(MessageShadow) : Black);
  EXPECT_EQ(PixelAt(bitmap, 17, 33), DrawsIntoBitmap(mode) ? Bgr(MessageText) : Black);
  EXPECT_EQ(PixelAt(bitmap, 24, 48), DrawsIntoBitmap(mode) ? Bgr(MessageShadow) : Black);
  // What went into the bitmap shows once the text band is composed.
  ComposeTextBand(engine.screen);
  EXPECT_EQ(PixelAt(*engine.screen.composeSurface, 17, 33), DrawsIntoBitmap(mode) ? Bgr(MessageText) : Black);
}

INSTANTIATE_TEST_SUITE_P(StreamBufferDefault, MessageModeTest, ::testing::Values("STREAM", "BUFFER", "DEFAULT"));

TEST_F(MessageWindowTest, PageClearEmptiesABufferLayerAndShowsTheComposedFrame) {
  for (const char* mode : {"BUFFER", "DEFAULT", "STREAM"}) {
    MakeTextLayer("16,32,200,100", mode);
    const bool buffer = std::string(mode) != "STREAM";
    Message(Clear + "AB");
    TypeOut();
    // A mark of an earlier page in the layer's bitmap.
    std::memset(TextLayer()->bitmap->Bits() + (300 * 640 + 300) * 3, 0x55, 3);
    const int repaints = window.repaints;
    Message(Clear);
    TypeOut();
    const Pixel3 mark{0x55, 0x55, 0x55};
    EXPECT_EQ(PixelAt(*TextLayer()->bitmap, 17, 33), Black) << mode;
    EXPECT_EQ(PixelAt(*TextLayer()->bitmap, 300, 300), buffer ? Black : mark) << mode;
    EXPECT_EQ(PixelAt(*engine.screen.composeSurface, 300, 300), buffer ? Black : mark) << mode;
    EXPECT_EQ(std::memcmp(engine.screen.screenSurface->Bits(), engine.screen.composeSurface->Bits(), TSurface::Size), 0)
        << mode;
    EXPECT_GT(window.repaints, repaints) << mode;
    EXPECT_EQ(Cursor(), std::make_pair(16, 32)) << mode;
  }
}

TEST_F(MessageWindowTest, ChangedFontIsMadeAgainAtThePageClear) {
  const std::size_t made = graphics.fontsMade.size();
  Message(Clear);
  TypeOut();
  EXPECT_EQ(graphics.fontsMade.size(), made);
  Window().font.dirty = true;
  Window().font.description.height = 20;
  Message(Clear);
  TypeOut();
  ASSERT_EQ(graphics.fontsMade.size(), made + 1);
  EXPECT_EQ(graphics.fontsMade.back().height, 20);
  EXPECT_FALSE(Window().font.dirty);
}

TEST_F(MessageWindowTest, PageMarkerBlinksAtTheCursorEveryThreeTicks) {
  MakeTextLayer("16,32,200,100");
  Message(Clear + "AB" + Wait);
  TypeOut();
  ASSERT_EQ(engine.run.state, RunState::ClickWait);
  TSurface& screen = *engine.screen.screenSurface;
  // Dirt right and below the marker's cell (18 x 18 at the cursor, (32, 32)), which erasing keeps.
  std::memset(screen.Bits() + (32 * 640 + 50) * 3, 0x33, 3);
  std::memset(screen.Bits() + (50 * 640 + 32) * 3, 0x33, 3);
  const Pixel3 dirt{0x33, 0x33, 0x33};
  for (int tick = 1; tick <= 12; ++tick) {
    ClearPaints();
    FrameTick(engine, static_cast<std::uint32_t>(tick * 50));
    const bool shown = tick % 6 >= 3; // the counter runs 1, 2, .. 5, 0, 1 ..
    if (shown) {
      EXPECT_EQ(ScreenGlyphs(), (std::vector<Glyph>{{32, 32, "▼"}})) << tick;
      EXPECT_EQ(Glyphs(screen, MessageShadow), (std::vector<Glyph>{{34, 34, "▼"}})) << tick;
      EXPECT_EQ(PixelAt(screen, 33, 33), Bgr(MessageText)) << tick;
    } else {
      EXPECT_TRUE(graphics.paints.empty()) << tick;
      EXPECT_EQ(PixelAt(screen, 33, 33), Black) << tick;
      EXPECT_EQ(PixelAt(screen, 49, 49), Black) << tick;
    }
    EXPECT_EQ(PixelAt(screen, 50, 32), dirt) << tick;
    EXPECT_EQ(PixelAt(screen, 32, 50), dirt) << tick;
    // Only the marker's cell is painted again.
    ASSERT_FALSE(window.invalidated.empty());
    EXPECT_EQ(window.invalidated.back(), (std::array<int, 4>{32, 32, 50, 50})) << tick;
  }
  // The click erases it whatever the count.
  ClearPaints();
  for (int k = 0; k < 6; ++k) {
    Window().BlinkPageMarker(false);
    EXPECT_EQ(PixelAt(screen, 33, 33), Black) << k;
  }
  EXPECT_TRUE(graphics.paints.empty());
}

TEST_F(MessageWindowTest, ClicksAndTicksDriveTypingWaitingAndTheMarker) {
  MakeTextLayer("16,32,200,100");
  engine.run.skipMode = SkipMode::Text;
  Message(Clear + "AB" + Wait + "CDEF");
  FrameTick(engine, 0);
  EXPECT_EQ(ScreenGlyphs().size(), 1u);
  EXPECT_EQ(NextTickTime(engine, 0), 25u);
  OnLeftClick(engine, 0, 0); // skips to the wait
  EXPECT_TRUE(engine.run.clickSkip);
  EXPECT_EQ(NextTickTime(engine, 100), 100u);
  FrameTick(engine, 1);
  EXPECT_EQ(engine.run.state, RunState::ClickWait);
  EXPECT_FALSE(engine.run.clickSkip);
  for (std::uint32_t t = 2; t <= 4; ++t) FrameTick(engine, t);
  EXPECT_EQ(Glyphs(*engine.screen.screenSurface).back(), (Glyph{32, 32, "▼"}));
  OnLeftClick(engine, 0, 0);
  EXPECT_EQ(engine.run.state, RunState::TextOutput);
  EXPECT_EQ(PixelAt(*engine.screen.screenSurface, 33, 33), Black);
  ClearPaints();
  FrameTick(engine, 5);
  EXPECT_EQ(ScreenGlyphs(), (std::vector<Glyph>{{32, 32, "C"}}));
}

// --- Without a text layer ---

TEST_F(MessageWindowTest, WithoutATextLayerNothingIsDrawnButTheTextKeepsItsStepsAndWaits) {
  auto check = [&](const char* what) {
    ClearPaints();
    window.resumePosted = 0;
    Message(Clear + "AB" + Wait + "C");
    EXPECT_EQ(TypeOut(), 3) << what;
    EXPECT_EQ(engine.run.state, RunState::ClickWait) << what;
    for (int k = 0; k < 6; ++k) Window().BlinkPageMarker(true);
    engine.run.state = RunState::TextOutput;
    EXPECT_EQ(TypeOut(), 2) << what;
    EXPECT_EQ(window.resumePosted, 1) << what;
    EXPECT_TRUE(graphics.paints.empty()) << what;
  };
  engine.screen.layers.messageLayer = 5; // an empty slot
  check("empty slot");
  engine.screen.layers.GetLayer(5, LayerKind::Bitmap);
  check("bitmap layer");
  engine.screen.layers.messageLayer = 300;
  check("no slot");
  engine.screen.layers.messageLayer = -1;
  check("negative slot");
}

} // namespace
} // namespace velmo
