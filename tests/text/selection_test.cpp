// Selections: @BeginSelect, @Option, @Button and @EndSelect as scripts write them, and what the
// mouse, the arrow keys, access and hot keys, clicks and time-outs do with the entries.
#include "engine/text/selection.h"

#include "engine/core/frame_driver.h"
#include "tests/text/text_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace velmo {
namespace {

const Pixel3 Black{0, 0, 0};

// The message cursor stands at (16, 32), the top left of the text rectangle.
class SelectionTest : public TextFixture {
protected:
  void SetUp() override {
    MakeTextLayer("16,32,400,200");
    Message("\x02");
    TypeOut();
    ClearPaints();
    window.ClearPosted();
  }

  // A scenario that offers a jump, a return code and a return by RETURN, then shows "after";
  // the jump's label shows "yes".
  void RunSelection(const std::string& endSelect = "@EndSelect") {
    RunScenarioLines({"@BeginSelect", "@Option はい GOTO #yes HOTKEY=y", "@Option いいえ CODE=42 ACCESSKEY=n",
                      "@Option 三 RETURN 3 HOTKEY=3", endSelect, "after", "@Exit", "// yes", "yes", "@Exit"});
    ASSERT_EQ(engine.run.state, RunState::SelectWait);
    ASSERT_EQ(Choices().Count(), 3);
  }
  std::vector<std::string> OptionVariables() {
    std::vector<std::string> values;
    for (int n = 0; n < Choices().Count(); ++n) values.push_back(Var("option[" + std::to_string(n) + "]"));
    return values;
  }
  // The hit rectangle of entry n as {left, top, right, bottom}.
  std::vector<int> Box(int n) {
    const SelectionEntry& e = Choices().Entry(n);
    return {e.left, e.top, e.right, e.bottom};
  }
};

// --- Offering entries ---

TEST_F(SelectionTest, BeginSelectEmptiesTheSelectionAndSetsItsAutoActivation) {
  DoAll({"@BeginSelect", "@Option 一 CODE=1", "@Option 二 CODE=2"});
  EXPECT_EQ(Choices().Count(), 2);
  const std::pair<const char*, std::int32_t> modes[] = {{"@BeginSelect", AutoActivateTrue},
                                                        {"@BeginSelect AUTOACTIVATE=FALSE", AutoActivateFalse},
                                                        {"@BeginSelect AUTOACTIVATE=disable", AutoActivateFalse},
                                                        {"@BeginSelect AUTOACTIVATE=Once", AutoActivateOnce}};
  for (const auto& [line, mode] : modes) {
    DoAll({line});
    EXPECT_EQ(Choices().Count(), 0) << line;
    EXPECT_EQ(Choices().AutoActivateMode(), mode) << line;
    EXPECT_EQ(Choices().Default(), mode == AutoActivateFalse ? -1 : 0) << line;
  }
}

TEST_F(SelectionTest, OptionsKeepWhereTheyLeadInTheirOptionVariables) {
  DoAll({"@BeginSelect", "@Option 一 GOTO #one", "@Option 二 NAME=#two", "@Option 三 CODE=7", "@Option 四 RETURN 8",
         "@Option 五", "@Option TEXT=六 ACCESSKEY=k", "@Option 七 CODE=9 HOTKEY=3"});
  EXPECT_EQ(OptionVariables(), (std::vector<std::string>{"#one", "#two", "7", "8", "#五", "#六", "9"}));
  std::vector<EntryKind> kinds;
  for (int n = 0; n < Choices().Count(); ++n) kinds.push_back(Choices().Entry(n).kind);
  constexpr EntryKind Jump = EntryKind::Jump, Return = EntryKind::Return;
  EXPECT_EQ(kinds, (std::vector<EntryKind>{Jump, Jump, Return, Return, Jump, Jump, Return}));
  EXPECT_EQ(Choices().Entry(5).key, 'K');
  EXPECT_EQ(Choices().Entry(5).keyKind, AccessKey);
  EXPECT_EQ(Choices().Entry(6).key, '3');
  EXPECT_EQ(Choices().Entry(6).keyKind, HotKey);
  EXPECT_EQ(Choices().Entry(0).key, 0);
}

TEST_F(SelectionTest, DefaultIsTheFirstEntryOrTheLastMarkedOne) {
  DoAll({"@BeginSelect", "@Option 一 CODE=1", "@Option 二 CODE=2"});
  EXPECT_EQ(Choices().Default(), 0);
  DoAll({"@BeginSelect", "@Option 一 CODE=1", "@Option 二 CODE=2 DEFAULT", "@Option 三 CODE=3"});
  EXPECT_EQ(Choices().Default(), 1);
  DoAll({"@BeginSelect", "@Option 一 CODE=1 DEFAULT", "@Option 二 CODE=2", "@Option 三 DEFAULT CODE=3"});
  EXPECT_EQ(Choices().Default(), 2);
  DoAll({"@BeginSelect", "@Option 一 CODE=1", "@Option 二 CODE=2 DEFAULT", "@Option 三 DEFAULT CODE=3"});
  EXPECT_EQ(Choices().Default(), 2);
  DoAll({"@BeginSelect AUTOACTIVATE=FALSE", "@Option 一 CODE=1", "@Option 二 CODE=2 DEFAULT"});
  EXPECT_EQ(Choices().Default(), -1);
}

TEST_F(SelectionTest, ConflictingOrMissingParametersAddNoEntry) {
  DoAll({"@BeginSelect"});
  const std::pair<const char*, std::string> cases[] = {
      {"@Option 一 GOTO #a NAME=#b", Error(ErrExclusive, "無し")},
      {"@Option 一 CODE=1 RETURN 2", Error(ErrExclusive, "無し")},
      {"@Option 一 NAME=#a CODE=1", Error(ErrExclusive, "無し")},
      {"@Option 一 ACCESSKEY=a HOTKEY=b", Error(ErrExclusive, "無し")},
      {"@Button RECT=\"0,0,8,8\" CODE=1 GOTO #a", Error(ErrExclusive, "無し")},
      {"@Option GOTO #a", Error(ErrMissingParam, "無し")},
      {"@Option TEXT=\"\" CODE=1", Error(ErrMissingParam, "無し")},
      {"@Button CODE=1", Error(ErrMissingParam, "無し")},
      {"@Button RECT=\"0,0,8,8\" HOTKEY=a", Error(ErrMissingParam, "無し")},
      {"@Button RECT=\"0,0,8,8\" CODE=1 LAYER2=256", Error(ErrRange, "LAYER2")},
  };
  for (const auto& [line, error] : cases) EXPECT_EQ(Do(line), error) << line;
  EXPECT_EQ(Choices().Count(), 0);
}

TEST_F(SelectionTest, SixtyFifthEntryIsRefused) {
  DoAll({"@BeginSelect"});
  for (int n = 0; n < 64; ++n) {
    ASSERT_EQ(Do(n % 2 == 0 ? "@Option X CODE=" + std::to_string(n) : "@Button RECT=\"0,0,4,4\" CODE=1"), "");
  }
  EXPECT_EQ(Do("@Option X CODE=64"), Error(ErrUnsupported, "64"));
  EXPECT_EQ(Do("@Button RECT=\"0,0,4,4\" CODE=1"), Error(ErrUnsupported, "64"));
  EXPECT_EQ(Choices().Count(), 64);
  EXPECT_EQ(Var("option[62]"), "62");
}

TEST_F(SelectionTest, OptionIsDrawnAtTheMessageCursorWhichMovesToItsRightEdge) {
  Window().font.spacing = 2;
  DoAll({"@BeginSelect", "@Option AB CODE=1", "@Option あ CODE=2"});
  // Cells of 8 and 16 pixels, 2 after each.
  EXPECT_EQ(Glyphs(*engine.screen.screenSurface, OptionText),
            (std::vector<Glyph>{{16, 32, "A"}, {26, 32, "B"}, {36, 32, "あ"}}));
  EXPECT_EQ(Glyphs(*engine.screen.screenSurface, OptionShadow),
            (std::vector<Glyph>{{18, 34, "A"}, {28, 34, "B"}, {38, 34, "あ"}}));
  EXPECT_EQ(Box(0), (std::vector<int>{16, 32, 36, 48}));
  EXPECT_EQ(Box(1), (std::vector<int>{36, 32, 54, 48}));
  EXPECT_EQ(Cursor(), std::make_pair(54, 32));
  EXPECT_EQ(Choices().Entry(0).lookLayer, -1);
}

TEST_F(SelectionTest, ButtonTakesItsRectangleRelativeToALayerAndItsLooks) {
  DoAll({"@BeginSelect", "@Button RECT=\"10,20,30,40\" CODE=1"});
  EXPECT_EQ(Box(0), (std::vector<int>{10, 20, 40, 60}));
  EXPECT_EQ(Choices().Entry(0).lookLayer, engine.screen.layers.currentLayer);
  ASSERT_NE(engine.screen.layers.At(engine.screen.layers.currentLayer), nullptr);
  EXPECT_EQ(engine.screen.layers.At(engine.screen.layers.currentLayer)->kind, LayerKind::Bitmap);

  auto* base = static_cast<TBitmapLayer*>(engine.screen.layers.GetLayer(7, LayerKind::Bitmap));
  base->x = 100;
  base->y = 50;
  DoAll({"@Button RECT=\"10,20,30,40\" LAYER=7 LAYER2=9 ACTIVE=\"1,2\" CLICK=\"3,4\" NAME=#b"});
  const SelectionEntry& e = Choices().Entry(1);
  EXPECT_EQ(Box(1), (std::vector<int>{110, 70, 140, 110}));
  EXPECT_EQ((std::vector<int>{e.width, e.height, e.lookLayer, e.activeX, e.activeY, e.clickX, e.clickY}),
            (std::vector<int>{30, 40, 9, 1, 2, 3, 4}));
  EXPECT_EQ(OptionVariables(), (std::vector<std::string>{"1", "#b"}));
}

TEST_F(SelectionTest, EndSelectWaitsForAChoiceWithAnOptionalDeadline) {
  // Nothing to choose: no wait.
  DoAll({"@BeginSelect", "@EndSelect WAIT=10"});
  EXPECT_EQ(engine.run.state, RunState::Running);

  clock.nowMs = 1000;
  engine.script.timers[0] = 2000;
  const std::pair<const char*, std::uint32_t> cases[] = {
      {"@EndSelect", 0}, {"@EndSelect WAIT=500", 1500}, {"@EndSelect 250", 1250}, {"@EndSelect TIMER=300", 2300}};
  for (const auto& [line, deadline] : cases) {
    DoAll({"@BeginSelect", "@Option 一 CODE=1"});
    engine.run.waitDeadline = 77;
    DoAll({line});
    EXPECT_EQ(engine.run.state, RunState::SelectWait) << line;
    EXPECT_EQ(engine.run.waitDeadline, deadline) << line;
  }
}

// --- Moving the mouse cursor onto the default entry ---

TEST_F(SelectionTest, EndSelectMovesTheCursorOntoTheDefaultInTwentiethsOfTheWay) {
  DoAll({"@BeginSelect", "@Button RECT=\"100,50,10,10\" CODE=1", "@EndSelect"});
  std::vector<std::pair<int, int>> expected;
  for (int i = 1; i <= 25; ++i) expected.emplace_back(std::min(5 * i, 100), std::min(2 * i, 50));
  EXPECT_EQ(window.cursorMoves, expected);

  // At least a pixel a move, never past the target; back to the left and up too.
  window.cursorMoves.clear();
  window.cursorX = 307;
  window.cursorY = 53;
  DoAll({"@EndSelect"});
  expected.clear();
  // 207 / 20 = 10 a move to the left (21 moves, the last one short); 3 / 20 is less than 1: 1.
  for (int i = 1; i <= 21; ++i) expected.emplace_back(std::max(307 - 10 * i, 100), std::max(53 - i, 50));
  EXPECT_EQ(window.cursorMoves, expected);
}

TEST_F(SelectionTest, CursorGoesToTheDefaultEntryOnlyWhenAutoActivationAndAutoSelectAllowIt) {
  auto lastMove = [&](const std::vector<std::string>& lines) {
    window.cursorMoves.clear();
    window.cursorX = window.cursorY = 0;
    DoAll(lines);
    return window.cursorMoves.empty() ? std::make_pair(-1, -1) : window.cursorMoves.back();
  };
  const std::string a = "@Button RECT=\"40,0,4,4\" CODE=1", b = "@Button RECT=\"80,0,4,4\" CODE=2";
  EXPECT_EQ(lastMove({"@BeginSelect", a, b, "@EndSelect"}), std::make_pair(40, 0));
  EXPECT_EQ(lastMove({"@BeginSelect", a, b + " DEFAULT", "@EndSelect"}), std::make_pair(80, 0));
  EXPECT_EQ(lastMove({"@BeginSelect AUTOACTIVATE=FALSE", a, b + " DEFAULT", "@EndSelect"}), std::make_pair(-1, -1));
  // ONCE: only the first @EndSelect of the selection moves it.
  EXPECT_EQ(lastMove({"@BeginSelect AUTOACTIVATE=ONCE", a, b, "@EndSelect"}), std::make_pair(40, 0));
  EXPECT_EQ(lastMove({"@EndSelect"}), std::make_pair(-1, -1));
  EXPECT_EQ(lastMove({"@BeginSelect", a, b, "@EndSelect", "@EndSelect"}), std::make_pair(40, 0));
  engine.settings.autoSelect = 0;
  EXPECT_EQ(lastMove({"@BeginSelect", a, b, "@EndSelect"}), std::make_pair(-1, -1));
}

// --- Mouse and keys ---

TEST_F(SelectionTest, HoverHighlightsTheEntryUnderTheMouseInTheActiveColours) {
  DoAll({"@BeginSelect", "@Option AB CODE=1", "@Option CD CODE=2"});
  ASSERT_EQ(Box(0), (std::vector<int>{16, 32, 32, 48}));
  ASSERT_EQ(Box(1), (std::vector<int>{32, 32, 48, 48}));
  const TSurface& screen = *engine.screen.screenSurface;
  EXPECT_EQ(PixelAt(screen, 17, 33), Bgr(OptionText));

  ClearPaints();
  Choices().Hover(20, 40);
  EXPECT_EQ(Choices().Active(), 0);
  EXPECT_EQ(Glyphs(screen, ActiveText), (std::vector<Glyph>{{16, 32, "A"}, {24, 32, "B"}}));
  EXPECT_EQ(PixelAt(screen, 17, 33), Bgr(ActiveText));
  EXPECT_EQ(PixelAt(screen, 33, 33), Bgr(OptionText));

  // The right and bottom edges belong to the next place.
  ClearPaints();
  Choices().Hover(32, 40);
  EXPECT_EQ(Choices().Active(), 1);
  EXPECT_EQ(Glyphs(screen, OptionText), (std::vector<Glyph>{{16, 32, "A"}, {24, 32, "B"}}));
  EXPECT_EQ(PixelAt(screen, 17, 33), Bgr(OptionText));
  EXPECT_EQ(PixelAt(screen, 33, 33), Bgr(ActiveText));

  const int repaints = window.repaints;
  Choices().Hover(47, 47); // still on the same entry: nothing to draw
  EXPECT_EQ(window.repaints, repaints);
  Choices().Hover(40, 48);
  EXPECT_EQ(Choices().Active(), -1);
  EXPECT_EQ(PixelAt(screen, 33, 33), Bgr(OptionText));
  EXPECT_GT(window.repaints, repaints);
}

TEST_F(SelectionTest, ArrowKeysStepThroughTheEntriesWithoutWrapping) {
  RunSelection();
  std::vector<int> actives;
  for (int k = 0; k < 4; ++k) {
    OnKey(engine, KeyDown);
    actives.push_back(Choices().Active());
  }
  for (int k = 0; k < 4; ++k) {
    OnKey(engine, KeyUp);
    actives.push_back(Choices().Active());
  }
  EXPECT_EQ(actives, (std::vector<int>{0, 1, 2, 2, 1, 0, 0, 0}));
  EXPECT_EQ(engine.run.state, RunState::SelectWait);

  // Up with nothing highlighted starts at the last entry.
  Choices().Hover(-100, -100);
  ASSERT_EQ(Choices().Active(), -1);
  OnKey(engine, KeyUp);
  EXPECT_EQ(Choices().Active(), 2);
  EXPECT_EQ(PixelAt(*engine.screen.screenSurface, Choices().Entry(2).left + 1, Choices().Entry(2).top + 1),
            Bgr(ActiveText));
}

TEST_F(SelectionTest, AccessKeyHighlightsAndHotKeyChoosesAtOnce) {
  RunSelection();
  OnKey(engine, 'N');
  EXPECT_EQ(Choices().Active(), 1);
  EXPECT_EQ(engine.run.state, RunState::SelectWait);
  EXPECT_TRUE(window.posted.empty());
  OnKey(engine, 'Q'); // no entry's key
  EXPECT_EQ(engine.run.state, RunState::SelectWait);
  EXPECT_TRUE(window.posted.empty());

  OnKey(engine, 0x63); // the numeric keypad's 3: entry 2 returns 3
  EXPECT_EQ(Var("exit"), "3");
  ASSERT_EQ(window.posted.size(), 1u);
  Resume();
  EXPECT_EQ(texts.back(), "after");
}

TEST_F(SelectionTest, KeyOfNoEntryLeavesTheHighlightedEntryWhereTheArrowsGoOnFrom) {
  RunSelection();
  OnKey(engine, KeyDown);
  OnKey(engine, KeyDown);
  ASSERT_EQ(Choices().Active(), 1);
  // Ctrl (held to skip text) and a letter no entry has change nothing: entry 1 stays highlighted,
  // the next arrow goes on from it and Enter takes it.
  for (const int key : {0x11, int{'Q'}}) {
    OnKey(engine, key);
    EXPECT_EQ(Choices().Active(), 1) << key;
  }
  OnKey(engine, KeyDown);
  EXPECT_EQ(Choices().Active(), 2);
  OnKey(engine, KeyUp);
  OnKey(engine, 'Q');
  OnLeftClick(engine, 0, 0);
  EXPECT_EQ(Var("exit"), "42");
}

TEST_F(SelectionTest, HotKeyOfAJumpEntryGoesToItsLabel) {
  RunSelection();
  OnKey(engine, 'Y');
  EXPECT_EQ(Var("exit"), "0");
  ASSERT_EQ(window.posted.size(), 1u);
  Resume();
  EXPECT_EQ(texts.back(), "yes");
}

TEST_F(SelectionTest, ClickChoosesTheHighlightedEntryInTheClickColours) {
  RunSelection();
  OnLeftClick(engine, 5, 5); // nothing highlighted
  EXPECT_EQ(engine.run.state, RunState::SelectWait);
  EXPECT_TRUE(window.posted.empty());

  const SelectionEntry& entry = Choices().Entry(1);
  OnMouseMove(engine, entry.left + 3, entry.top + 3);
  ClearPaints();
  OnLeftClick(engine, entry.left + 3, entry.top + 3);
  EXPECT_EQ(Glyphs(*engine.screen.screenSurface, ClickText), (std::vector<Glyph>{{entry.left, entry.top, "い"},
                                                                                 {entry.left + 16, entry.top, "い"},
                                                                                 {entry.left + 32, entry.top, "え"}}));
  EXPECT_EQ(PixelAt(*engine.screen.screenSurface, entry.left + 1, entry.top + 1), Bgr(ClickText));
  EXPECT_EQ(Var("exit"), "42");
  ASSERT_EQ(window.posted.size(), 1u);
  Resume();
  EXPECT_EQ(texts.back(), "after");
}

TEST_F(SelectionTest, DeadlinePassingResumesWithoutAChoice) {
  clock.nowMs = 1000;
  engine.script.variables.SetVarText("exit", "before");
  RunSelection("@EndSelect WAIT=100");
  FrameTick(engine, 1050);
  EXPECT_TRUE(window.posted.empty());
  FrameTick(engine, 1101);
  ASSERT_EQ(window.posted.size(), 1u);
  Resume();
  EXPECT_EQ(texts.back(), "after");
  EXPECT_EQ(Var("exit"), "before");
}

TEST_F(SelectionTest, ButtonShowsItsActiveAndClickedLooksFromItsLayer) {
  // The look layer's picture: the active look (20 x 20 at 0,0) a check of key and P, the clicked
  // look (at 20,0) all Q. The key is the picture's first pixel.
  const Pixel3 key{1, 2, 3}, p{200, 100, 50}, q{10, 220, 30}, under{90, 90, 90};
  auto* looks = static_cast<TBitmapLayer*>(engine.screen.layers.GetLayer(9, LayerKind::Bitmap));
  Picture picture;
  picture.width = 40;
  picture.height = 20;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 40; ++x) {
      const Pixel3 c = x >= 20 ? q : (x + y) % 2 == 0 ? key : p;
      picture.pixels.insert(picture.pixels.end(), c.begin(), c.end());
    }
  }
  looks->picture = picture;
  for (int y = 100; y < 120; ++y) {
    for (int x = 100; x < 120; ++x) {
      std::copy(under.begin(), under.end(), engine.screen.composeSurface->Bits() + (y * 640 + x) * 3);
    }
  }
  const TSurface& screen = *engine.screen.screenSurface;
  for (const bool keyed : {false, true}) {
    looks->mode = keyed ? ModeTransparent : ModeCopy;
    std::memcpy(engine.screen.screenSurface->Bits(), engine.screen.composeSurface->Bits(), TSurface::Size);
    std::fill_n(engine.screen.screenSurface->Bits() + (100 * 640 + 100) * 3, 3, 0); // a black dot under the key
    RunScenarioLines({"@BeginSelect", "@Button RECT=\"100,100,20,20\" LAYER2=9 ACTIVE=\"0,0\" CLICK=\"20,0\" CODE=5",
                      "@EndSelect", "after"});
    ASSERT_EQ(engine.run.state, RunState::SelectWait);
    OnMouseMove(engine, 110, 110);
    EXPECT_EQ(PixelAt(screen, 100, 100), keyed ? Black : key) << keyed;
    EXPECT_EQ(PixelAt(screen, 101, 100), p) << keyed;
    EXPECT_EQ(PixelAt(screen, 119, 118), p) << keyed;
    EXPECT_EQ(PixelAt(screen, 120, 100), Black) << keyed; // outside the button
    OnMouseMove(engine, 99, 110);
    EXPECT_EQ(PixelAt(screen, 101, 100), under) << keyed; // the composed frame again
    OnMouseMove(engine, 119, 119);
    OnLeftClick(engine, 119, 119);
    EXPECT_EQ(PixelAt(screen, 110, 110), q) << keyed;
    EXPECT_EQ(Var("exit"), "5") << keyed;
  }
}

} // namespace
} // namespace velmo
