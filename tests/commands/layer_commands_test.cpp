// The layer and screen commands as scripts use them: arranging the bands, colours, the bitmap
// layer commands and their errors, text layers, rectangle copies, filters, transitions, effects
// and showing the composed frame.
#include "engine/commands/layer_commands.h"

#include "engine/core/frame_driver.h"
#include "engine/core/interpreter.h"
#include "engine/graphics/compositor.h"
#include "engine/graphics/layers.h"
#include "tests/support/fake_effect_plugins.h"
#include "tests/support/script_errors.h"
#include "tests/support/script_fixture.h"
#include "tests/support/test_pictures.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace velmo {
namespace {

Pixel Gradient(int x, int y) {
  return {static_cast<std::uint8_t>(x * 11 + y), static_cast<std::uint8_t>(y * 23 + 1),
          static_cast<std::uint8_t>(x ^ y)};
}
Pixel MaskRamp(int x, int y) { return {static_cast<std::uint8_t>(x * 13 + y * 7), 200, 100}; }

class LayerCommandTest : public ::testing::Test {
protected:
  LayerCommandTest() {
    f.files.files["a.bmp"] = EncodeBmp(a);
    f.files.files["b.bmp"] = EncodeBmp(MakePicture(8, 6, Gradient));
    f.files.files["m.bmp"] = EncodeBmp(mask);
    f.files.files["text.txt"] = "not a picture";
    f.AddScenario("main.scn", {"@Exit"});
    f.Open("main.scn");
  }

  // Runs one command line as the interpreter runs a line of a scenario; returns the error it
  // raised as Error() or Fatal() writes it, "" for none.
  std::string Do(const std::string& line) {
    const std::size_t before = f.errors.size();
    f.engine.run.state = RunState::Running;
    RunScenario(f.engine, line.c_str());
    if (f.errors.size() == before) return "";
    const ScriptFixture::ReportedError& e = f.errors.back();
    return e.fatal ? Fatal(e.code, e.info) : Error(e.code, e.info);
  }
  void DoAll(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) ASSERT_EQ(Do(line), "") << line;
  }
  TBitmapLayer& Bitmap(int slot) {
    TLayer* layer = f.engine.screen.layers.At(slot);
    EXPECT_TRUE(layer != nullptr && layer->kind == LayerKind::Bitmap) << "slot " << slot;
    return static_cast<TBitmapLayer&>(*layer);
  }
  // Ticks the frame driver until the transition or effect resumes the script; the number of ticks.
  int FinishTransition() {
    f.window.ClearPosted();
    int ticks = 0;
    while (f.window.posted.empty() && ticks < 100) FrameTick(f.engine, static_cast<std::uint32_t>(++ticks * 50));
    return ticks;
  }
  // A bitmap layer as "x,y shown|hidden copy|keyed level L [alpha|omega] WxH|empty".
  std::string Describe(int slot) {
    const TBitmapLayer& l = Bitmap(slot);
    std::string s = std::to_string(l.x) + "," + std::to_string(l.y) + (l.visible != 0 ? " shown" : " hidden") +
                    (l.mode == ModeTransparent ? " keyed"
                     : l.mode == ModeCopy      ? " copy"
                                               : " ?") +
                    " level " + std::to_string(l.level);
    if (l.alpha) s += l.alphaInverted != 0 ? " omega" : " alpha";
    return s +
           (l.picture ? " " + std::to_string(l.picture->width) + "x" + std::to_string(l.picture->height) : " empty");
  }
  static bool Same(const TSurface& one, const TSurface& other) {
    return std::memcmp(one.Bits(), other.Bits(), TSurface::Size) == 0;
  }

  const Picture a = MakePicture(20, 10, Gradient);
  const Picture mask = MakePicture(20, 10, MaskRamp);
  ScriptFixture f;
  LayerTable& layers = f.engine.screen.layers;
};

TEST_F(LayerCommandTest, AssignLayerSetsTheBandsAsRunningSumsAndDiscardsEveryLayer) {
  auto ends = [&] { return std::vector<int>{layers.userEnd, layers.windowEnd, layers.textEnd}; };
  DoAll({"@AssignLayer 4 2 2", "@LoadLayer 3 a.bmp 5 5"});
  EXPECT_EQ(ends(), (std::vector<int>{4, 6, 8}));
  TLayer* layer = layers.At(3);
  EXPECT_EQ(Do("@AssignLayer USER=10 TEXT=5"), "");
  EXPECT_EQ(ends(), (std::vector<int>{10, 10, 15}));
  EXPECT_EQ(layers.At(3), layer);
  EXPECT_EQ(Describe(3), "0,0 hidden copy level 0 empty");
  EXPECT_EQ(Do("@AssignLayer 250 6"), "");
  EXPECT_EQ(Do("@Layer 255"), "");
  EXPECT_EQ(Do("@AssignLayer 200 50 7"), Fatal(ErrRange, "無し"));
}

TEST_F(LayerCommandTest, BeforeAssignLayerEveryLayerIndexIsOutOfRange) {
  AddFakeEffectPlugins(f.engine.plugins.list, f.modules);
  const std::pair<const char*, const char*> cases[] = {
      {"@Layer 0", "0"},
      {"@LoadLayer LAYER=0 SRC=a.bmp", "LAYER"},
      {"@LoadAlpha 0 m.bmp", "0"},
      {"@LoadOmega layer=0 SRC=m.bmp", "layer"},
      {"@DiscardLayer 0", "0"},
      {"@DiscardAlpha 0", "0"},
      {"@ShowLayer 0", "0"},
      {"@OffsetLayer 0 5 5", "0"},
      {"@LoadFilter 0 INVERT", "0"},
      {"@TextLayer 0", "無し"},
  };
  for (const auto& [line, info] : cases) EXPECT_EQ(Do(line), Error(ErrRange, info)) << line;
  for (int i = 0; i < LayerTable::SlotCount; ++i) ASSERT_EQ(layers.At(i), nullptr) << i;

  EXPECT_EQ(Do("@AssignLayer 2 1 1"), "");
  EXPECT_EQ(Do("@Layer 4"), Error(ErrRange, "4"));
  EXPECT_EQ(Do("@Layer -1"), Error(ErrRange, "-1"));
  EXPECT_EQ(layers.currentLayer, 0);
  // A valid index on an empty slot: nothing to change, but it becomes the current layer.
  EXPECT_EQ(Do("@Layer 3 ALPHA=50"), "");
  EXPECT_EQ(layers.At(3), nullptr);
  EXPECT_EQ(layers.currentLayer, 3);
}

TEST_F(LayerCommandTest, CommandsWithoutALayerIndexWorkOnTheCurrentLayer) {
  DoAll({"@AssignLayer 4", "@LoadLayer 2 a.bmp", "@OffsetLayer LEFT=5 TOP=6", "@Layer MODE=TRANSPARENT",
         "@ShowLayer SHOW=FALSE"});
  EXPECT_EQ(layers.currentLayer, 2);
  EXPECT_EQ(Describe(2), "5,6 hidden keyed level 0 20x10");
}

TEST_F(LayerCommandTest, BGColorStoresBothColoursWithTheScriptFlag) {
  DoAll({"@BGColor 0x123456 TEXT=0xABCDEF"});
  EXPECT_EQ(layers.backgroundColor, 0x02123456u);
  EXPECT_EQ(layers.textLayerColor, 0x02ABCDEFu);
  DoAll({"@BGColor COLOR=\"\" TEXT=255"});
  EXPECT_EQ(layers.backgroundColor, 0x02123456u);
  EXPECT_EQ(layers.textLayerColor, 0x020000FFu);
}

TEST_F(LayerCommandTest, LayerSetsModeLevelAndGeometryLeftToRight) {
  DoAll({"@AssignLayer 2", "@LoadLayer 1 a.bmp"});
  TBitmapLayer& layer = Bitmap(1);
  const std::pair<const char*, int> levels[] = {
      {"@Layer 1 TRANSPARENT ALPHA=25", 64},
      {"@Layer 1 ALPHA=50", 128},
      {"@Layer 1 ALPHA=33", 84},
      {"@Layer 1 OMEGA=100", 0},
      {"@Layer 1 OMEGA=0", 256},
      {"@Layer 1 ALPHA=25 OMEGA=25", 192},
      {"@Layer 1 OMEGA=33 ALPHA=10", 25},
  };
  for (const auto& [line, level] : levels) {
    EXPECT_EQ(Do(line), "") << line;
    EXPECT_EQ(layer.level, level) << line;
  }
  EXPECT_EQ(layer.mode, ModeTransparent);
  DoAll({"@Layer 1 COPY GEOMETRY=UPSIDEDOWN"});
  EXPECT_EQ(Describe(1), "0,0 shown copy level 25 20x10");
  EXPECT_EQ(layer.geometry, 2);
  DoAll({"@Layer 1 GEOMETRY=turnover"});
  EXPECT_EQ(layer.geometry, 3);
  EXPECT_EQ(Do("@Layer 1 BLEND"), Error(ErrSyntax, "BLEND"));
  EXPECT_EQ(Do("@Layer 1 GEOMETRY=SIDEWAYS"), Error(ErrSyntax, "SIDEWAYS"));
  EXPECT_EQ(layer.geometry, 3);
}

TEST_F(LayerCommandTest, LayerOnATextLayerReplacesItWithAnEmptyBitmapLayer) {
  DoAll({"@AssignLayer 2 1 1", "@TextLayer 0"});
  ASSERT_EQ(layers.At(3)->kind, LayerKind::Text);
  DoAll({"@Layer 3 ALPHA=50"});
  EXPECT_EQ(Describe(3), "0,0 shown copy level 128 empty");
}

TEST_F(LayerCommandTest, LoadLayerLoadsPlacesAndShowsThePicture) {
  DoAll({"@AssignLayer 4", "@LoadLayer 2 a.bmp 100 50"});
  EXPECT_EQ(Describe(2), "100,50 shown copy level 0 20x10");
  EXPECT_EQ(Bitmap(2).picture->pixels, a.pixels);
  EXPECT_EQ(f.Var("argv[1]") + " " + f.Var("argv[2]"), "20 10");
  // Loading again starts from (0, 0) without the mask; mode and level stay.
  DoAll({"@Layer 2 TRANSPARENT ALPHA=50", "@LoadAlpha 2 m.bmp", "@LoadLayer 2 b.bmp SHOW=FALSE"});
  EXPECT_EQ(Describe(2), "0,0 hidden keyed level 128 8x6");
  EXPECT_EQ(f.Var("argv[1]") + " " + f.Var("argv[2]"), "8 6");
  DoAll({"@LoadLayer LAYER=2 LEFT=30 TOP=40 SRC=a.bmp"});
  EXPECT_EQ(Describe(2), "0,0 shown keyed level 128 20x10");
  DoAll({"@LoadLayer 2 SRC=b.bmp X=-7 Y=8"});
  EXPECT_EQ(Describe(2), "-7,8 shown keyed level 128 8x6");

  f.engine.script.variables.SetVarText("argv[1]", "kept");
  DoAll({"@LoadLayer 2 DISCARD"});
  EXPECT_EQ(Describe(2), "0,0 hidden keyed level 128 empty");
  EXPECT_EQ(f.Var("argv[1]"), "kept");
  EXPECT_EQ(Do("@LoadLayer 2 text.txt"), Error(ErrBadFormat, "text.txt"));
  EXPECT_EQ(Do("@LoadLayer 2 none.bmp"), Error(ErrFileNotFound, "none.bmp"));
}

TEST_F(LayerCommandTest, MasksComeFromAlphaAndOmegaPicturesAndAreDrawnAccordingly) {
  DoAll({"@AssignLayer 2", "@LoadLayer 1 a.bmp 3 4", "@LoadOmega 1 m.bmp"});
  EXPECT_EQ(Describe(1), "3,4 shown copy level 0 omega 20x10");
  EXPECT_EQ(Bitmap(1).alpha->pixels, mask.pixels);
  DoAll({"@BGColor 0xFFFFFF"});
  ComposeAll(f.engine.screen);
  ExpectedFrame expected;
  expected.Fill({0xFF, 0xFF, 0xFF});
  expected.Draw(a, 3, 4, 0, &mask, true);
  EXPECT_EQ(FirstDifference(f.engine.screen.baseSurface->Bits(), expected), "");

  DoAll({"@LoadAlpha 1 SRC=m.bmp"});
  EXPECT_EQ(Describe(1), "3,4 shown copy level 0 alpha 20x10");
  ComposeAll(f.engine.screen);
  expected.Fill({0xFF, 0xFF, 0xFF});
  expected.Draw(a, 3, 4, 0, &mask, false);
  EXPECT_EQ(FirstDifference(f.engine.screen.baseSurface->Bits(), expected), "");

  DoAll({"@DiscardAlpha 1"});
  EXPECT_EQ(Describe(1), "3,4 shown copy level 0 20x10");
  DoAll({"@LoadOmega 1 m.bmp", "@LoadAlpha 1 DISCARD"});
  EXPECT_EQ(Describe(1), "3,4 shown copy level 0 20x10");
  EXPECT_EQ(Do("@LoadAlpha 1 text.txt"), Error(ErrBadFormat, "text.txt"));
}

TEST_F(LayerCommandTest, ShowLayerShowsOrHidesAndRefusesOtherWords) {
  DoAll({"@AssignLayer 4", "@LoadLayer 3 a.bmp"});
  TBitmapLayer& layer = Bitmap(3);
  const std::pair<const char*, int> cases[] = {{"@ShowLayer 3 HIDE", 0},      {"@ShowLayer 3", 1},
                                               {"@ShowLayer 3 FALSE", 0},     {"@ShowLayer 3 SHOW=TRUE", 1},
                                               {"@ShowLayer 3 SHOW=hide", 0}, {"@ShowLayer LAYER=3 SHOW", 1}};
  for (const auto& [line, visible] : cases) {
    EXPECT_EQ(Do(line), "") << line;
    EXPECT_EQ(layer.visible, visible) << line;
  }
  EXPECT_EQ(Do("@ShowLayer 3 SHOW=bogus"), Error(ErrSyntax, "bogus"));
  EXPECT_EQ(Do("@ShowLayer 1"), "");
  EXPECT_EQ(layers.At(1), nullptr);
}

TEST_F(LayerCommandTest, OffsetLayerMovesABitmapLayerAndLeavesAnEmptySlotEmpty) {
  DoAll({"@AssignLayer 4", "@LoadLayer 1 a.bmp", "@OffsetLayer 1 -20 30"});
  EXPECT_EQ(Describe(1), "-20,30 shown copy level 0 20x10");
  DoAll({"@OffsetLayer 1 Y=5"});
  EXPECT_EQ(Describe(1), "-20,5 shown copy level 0 20x10");
  DoAll({"@OffsetLayer 2 10 10"});
  EXPECT_EQ(layers.At(2), nullptr);
}

TEST_F(LayerCommandTest, TextLayerCountsFromTheTextBandAndSetsModeAndRectangle) {
  DoAll({"@AssignLayer USER=4,WINDOW=2,TEXT=2", "@TextLayer 0"});
  EXPECT_EQ(layers.messageLayer, 6);
  ASSERT_NE(layers.At(6), nullptr);
  EXPECT_EQ(layers.At(6)->kind, LayerKind::Text);
  DoAll({"@TextLayer 1 MODE=STREAM"});
  EXPECT_EQ(layers.messageLayer, 7);
  auto& text = static_cast<TTextLayer&>(*layers.At(7));
  EXPECT_EQ(text.mode, TextOutputMode::Stream);
  const std::pair<const char*, TextOutputMode> modes[] = {{"@TextLayer 1 BUFFER", TextOutputMode::Buffer},
                                                          {"@TextLayer MODE=default", TextOutputMode::Default}};
  for (const auto& [line, mode] : modes) {
    EXPECT_EQ(Do(line), "") << line;
    EXPECT_EQ(text.mode, mode) << line;
  }
  DoAll({"@TextLayer RECT=\"10,20,300,100\""});
  EXPECT_EQ((std::vector<int>{text.rect.left, text.rect.top, text.rect.width, text.rect.height}),
            (std::vector<int>{10, 20, 300, 100}));
  EXPECT_EQ(Do("@TextLayer -1"), Error(ErrRange, "無し"));
  EXPECT_EQ(Do("@TextLayer 2"), Error(ErrRange, "無し"));
  EXPECT_EQ(Do("@TextLayer 1 MODE=FAST"), Error(ErrSyntax, "FAST"));
  EXPECT_EQ(layers.messageLayer, 7);
  EXPECT_EQ(layers.At(5), nullptr);
}

TEST_F(LayerCommandTest, BitBltCopiesARectangleBetweenLayerPictures) {
  DoAll({"@AssignLayer 4", "@BGColor 0x010203", "@LoadLayer 0 a.bmp 9 9"});
  // Slot 1 has no picture: it gets a blank one in the background colour, clipped at the bottom.
  DoAll({"@BitBlt 0 \"2,3,10,5\" 1 \"600,477\""});
  EXPECT_EQ(layers.currentLayer, 0);
  EXPECT_EQ(Describe(1), "0,0 shown copy level 0 640x480");
  TBitmapLayer& target = Bitmap(1);
  Picture expected = MakePicture(640, 480, [](int, int) { return Pixel{1, 2, 3}; });
  auto copy = [](const Picture& from, Picture& to, int x, int y, int w, int h, int toX, int toY) {
    for (int sy = y; sy < y + h; ++sy) {
      for (int sx = x; sx < x + w; ++sx) {
        const int tx = sx - x + toX, ty = sy - y + toY;
        if (sx < 0 || sy < 0 || sx >= from.width || sy >= from.height) continue;
        if (tx < 0 || ty < 0 || tx >= to.width || ty >= to.height) continue;
        const Pixel p = PixelOf(from, sx, sy);
        std::copy(p.begin(), p.end(), to.pixels.begin() + (static_cast<std::size_t>(ty) * to.width + tx) * 3);
      }
    }
  };
  copy(a, expected, 2, 3, 10, 5, 600, 477);
  EXPECT_EQ(target.picture->pixels, expected.pixels);

  // From outside the source's top-left corner, and onto a slot past the bands.
  DoAll({"@BitBlt LAYER=0 RECT=\"-5,-5,10,10\" LAYER2=200 RECT2=\"0,0\""});
  expected = MakePicture(640, 480, [](int, int) { return Pixel{1, 2, 3}; });
  copy(a, expected, -5, -5, 10, 10, 0, 0);
  ASSERT_NE(layers.At(200), nullptr);
  EXPECT_EQ(Bitmap(200).picture->pixels, expected.pixels);

  // Within one picture the source is read as it was before the copy.
  DoAll({"@BitBlt 0 \"0,0,15,8\" 0 \"2,1\""});
  Picture shifted = a;
  copy(a, shifted, 0, 0, 15, 8, 2, 1);
  EXPECT_EQ(Bitmap(0).picture->pixels, shifted.pixels);
  EXPECT_EQ(Describe(0), "9,9 shown copy level 0 20x10");

  // A source without a picture copies nothing.
  const std::vector<std::uint8_t> before = target.picture->pixels;
  DoAll({"@BitBlt 3 \"0,0,5,5\" 1 \"0,0\""});
  EXPECT_EQ(target.picture->pixels, before);

  EXPECT_EQ(Do("@BitBlt 256 \"0,0,1,1\" 1 \"0,0\""), Error(ErrRange, "256"));
  EXPECT_EQ(Do("@BitBlt LAYER=0 RECT=\"0,0,1,1\" LAYER2=-1 RECT2=\"0,0\""), Error(ErrRange, "LAYER2"));
  EXPECT_EQ(layers.currentLayer, 0);
}

TEST_F(LayerCommandTest, BitBltFromABitmapLayerWithoutAPictureStillPreparesTheDestination) {
  DoAll({"@AssignLayer 4", "@BGColor 0x010203", "@LoadLayer 3 SRC=DISCARD", "@LoadLayer 2 SRC=DISCARD",
         "@OffsetLayer 2 40 30", "@ShowLayer 2 FALSE"});
  EXPECT_EQ(Describe(3), "0,0 hidden copy level 0 empty");
  EXPECT_EQ(Describe(2), "40,30 hidden copy level 0 empty");
  DoAll({"@BitBlt 3 \"0,0,5,5\" 2 \"0,0\""});
  EXPECT_EQ(Describe(2), "0,0 shown copy level 0 640x480");
  EXPECT_EQ(Bitmap(2).picture->pixels, MakePicture(640, 480, [](int, int) { return Pixel{1, 2, 3}; }).pixels);
  EXPECT_EQ(Describe(3), "0,0 hidden copy level 0 empty");
  // An empty slot as the source leaves the destination alone.
  DoAll({"@LoadLayer 1 SRC=DISCARD", "@BitBlt 0 \"0,0,5,5\" 1 \"0,0\""});
  EXPECT_EQ(Describe(1), "0,0 hidden copy level 0 empty");
}

TEST_F(LayerCommandTest, BitBltExCopiesStraightOntoTheScreen) {
  DoAll({"@AssignLayer 4", "@LoadLayer 0 a.bmp"});
  std::memset(f.engine.screen.screenSurface->Bits(), 0x11, TSurface::Size);
  std::memset(f.engine.screen.composeSurface->Bits(), 0x22, TSurface::Size);
  DoAll({"@BitBltEx LAYER=0 RECT=\"1,1,4,3\" RECT2=\"638,0\""});
  ExpectedFrame expected;
  expected.Fill({0x11, 0x11, 0x11});
  Picture part = MakePicture(4, 3, [&](int x, int y) { return PixelOf(a, x + 1, y + 1); });
  expected.Draw(part, 638, 0);
  EXPECT_EQ(FirstDifference(f.engine.screen.screenSurface->Bits(), expected), "");
  expected.Fill({0x22, 0x22, 0x22});
  EXPECT_EQ(FirstDifference(f.engine.screen.composeSurface->Bits(), expected), "");
  // The window paints the rectangle the copy was meant for, at once.
  EXPECT_EQ(f.window.invalidated, (std::vector<std::array<int, 4>>{{638, 0, 642, 3}}));
  EXPECT_EQ(f.window.updates, 1);
}

TEST_F(LayerCommandTest, LoadFilterTakesTheFiltersParametersAndTheScriptsChanges) {
  AddFakeEffectPlugins(f.engine.plugins.list, f.modules);
  f.engine.script.variables.SetVarText("argv[2]", "kept");
  DoAll({"@AssignLayer 4", "@LoadFilter 1 INVERT PARAM=\"10,,30\""});
  auto& filter = static_cast<TFilterLayer&>(*layers.At(1));
  ASSERT_EQ(filter.kind, LayerKind::Filter);
  EXPECT_EQ(filter.visible, 1);
  const std::int64_t params[] = {10, 101, 30, 103};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(filter.Block().params[i], params[i]) << i;
  EXPECT_EQ(f.Var("argv[1]"), "10");
  EXPECT_EQ(f.Var("argv[2]"), "kept");
  EXPECT_EQ(f.Var("argv[3]"), "30");
  EXPECT_EQ(layers.currentLayer, 1);

  DoAll({"@LoadFilter 1 INVERT SHOW=FALSE"});
  EXPECT_EQ(filter.visible, 0);
  EXPECT_EQ(filter.Block().params[0], 100);
  DoAll({"@LoadFilter 1 NOSUCH"});
  EXPECT_EQ(filter.visible, 0);
  DoAll({"@LoadFilter 1 INVERT", "@LoadFilter 1 DISCARD"});
  EXPECT_EQ(filter.visible, 0);
}

TEST_F(LayerCommandTest, SetTransitionChoosesAPluginTransitionOrTheBuiltInOne) {
  AddFakeEffectPlugins(f.engine.plugins.list, f.modules);
  const EffectRecord& transition = f.engine.plugins.currentTransition;
  DoAll({"@SetTransition SWEEP"});
  EXPECT_NE(transition.function, nullptr);
  EXPECT_EQ(transition.info.intervalMs, 45);
  EXPECT_EQ(transition.info.params[1], 201);
  DoAll({"@SetTransition sweep WAIT=70 PARAM=\"5,,7\""});
  EXPECT_EQ(transition.info.intervalMs, 70);
  EXPECT_EQ((std::vector<int>{transition.info.params[0], transition.info.params[1], transition.info.params[2]}),
            (std::vector<int>{5, 201, 7}));
  EXPECT_EQ(f.Var("argv[3]"), "7");
  DoAll({"@SetTransition NOSUCH"});
  EXPECT_EQ(transition.function, nullptr);
  EXPECT_TRUE(transition.builtIn);
  EXPECT_EQ(transition.info.intervalMs, 30);
  EXPECT_EQ(transition.info.params[1], 0);
  DoAll({"@SetTransition NOSUCH 80"});
  EXPECT_EQ(transition.info.intervalMs, 80);
}

// The frame interval the shown transition runs at, after the lines before it.
struct IntervalCase {
  std::vector<std::string> lines;
  std::uint32_t intervalMs;
  bool builtIn;
};

TEST_F(LayerCommandTest, TheBuiltInTransitionKeepsTheIntervalItWasSetWith) {
  AddFakeEffectPlugins(f.engine.plugins.list, f.modules);
  const IntervalCase cases[] = {
      {{"@UpdateScreen"}, 30, true}, // never set: the built-in at its own pace
      {{"@SetTransition TYPE=unknown WAIT=100", "@UpdateScreen"}, 100, true},
      {{"@SetTransition TYPE=unknown WAIT=100", "@SetTransition WAIT=40", "@UpdateScreen"}, 40, true},
      {{"@SetTransition TYPE=unknown WAIT=100", "@UpdateScreen TYPE=nosuch"}, 30, true},
      {{"@SetTransition TYPE=unknown WAIT=100", "@UpdateScreen WAIT=70"}, 70, true},
      {{"@SetTransition SWEEP", "@SetTransition WAIT=20", "@UpdateScreen"}, 20, false},
      {{"@SetTransition SWEEP", "@UpdateScreen TYPE=nosuch"}, 30, true},
  };
  for (const IntervalCase& c : cases) {
    f.engine.plugins.currentTransition = EffectRecord{};
    DoAll(c.lines);
    const std::string what = c.lines.front() + " ... " + c.lines.back();
    EXPECT_EQ(f.engine.plugins.host.FrameIntervalMs(), c.intervalMs) << what;
    EXPECT_EQ(f.engine.plugins.host.Pending().builtIn, c.builtIn) << what;
  }
}

TEST_F(LayerCommandTest, BuiltInTransitionSetWithAWaitRunsSevenFramesThatFarApart) {
  DoAll({"@AssignLayer 1 0 1", "@SetTransition TYPE=unknown WAIT=100", "@UpdateScreen"});
  std::vector<std::uint32_t> frameTimes;
  for (std::uint32_t now = 1000; f.engine.run.state == RunState::TransitionStep;) {
    frameTimes.push_back(now);
    FrameTick(f.engine, now);
    now = NextTickTime(f.engine, now);
  }
  EXPECT_EQ(frameTimes, (std::vector<std::uint32_t>{1000, 1100, 1200, 1300, 1400, 1500, 1600}));
}

TEST_F(LayerCommandTest, UpdateScreenComposesAndShowsTheFrameThroughTheTransition) {
  DoAll({"@AssignLayer 1 0 1", "@BGColor 0x405060", "@LoadLayer 0 a.bmp 10 10"});
  std::memset(f.engine.screen.screenSurface->Bits(), 0x99, TSurface::Size);
  DoAll({"@UpdateScreen"});
  EXPECT_EQ(f.engine.run.state, RunState::TransitionStep);
  ExpectedFrame expected;
  expected.Fill({0x40, 0x50, 0x60});
  expected.Draw(a, 10, 10);
  EXPECT_EQ(FirstDifference(f.engine.screen.composeSurface->Bits(), expected), "");
  ExpectedFrame old;
  old.Fill({0x99, 0x99, 0x99});
  EXPECT_EQ(FirstDifference(f.engine.screen.previousSurface->Bits(), old), "");
  EXPECT_EQ(f.engine.plugins.host.FrameIntervalMs(), 30u);
  FinishTransition();
  EXPECT_EQ(FirstDifference(f.engine.screen.screenSurface->Bits(), expected), "");
  EXPECT_EQ(f.window.posted, std::deque<PostedMessage>{PostedMessage::Resume});
}

TEST_F(LayerCommandTest, UpdateScreenAnimatesOnlyWhenTheSettingsAndTheLineAllowIt) {
  DoAll({"@AssignLayer 1"});
  struct Case {
    const char* line;
    int transitionSetting;
    bool skipToOption;
    RunState state;
  };
  const Case cases[] = {
      {"@UpdateScreen", 1, false, RunState::TransitionStep},
      {"@UpdateScreen NOFADE", 1, false, RunState::TransitionEnd},
      {"@UpdateScreen", 0, false, RunState::TransitionEnd},
      {"@UpdateScreen MODE=FADE", 0, false, RunState::TransitionStep},
      {"@UpdateScreen", 1, true, RunState::TransitionEnd},
  };
  for (const Case& c : cases) {
    f.engine.settings.transition = c.transitionSetting;
    f.engine.run.skipToOption = c.skipToOption;
    EXPECT_EQ(Do(c.line), "") << c.line;
    EXPECT_EQ(f.engine.run.state, c.state) << c.line;
  }
  // Ending at once still shows the frame.
  f.engine.run.skipToOption = false;
  DoAll({"@BGColor 0x0000FF", "@UpdateScreen NOFADE"});
  EXPECT_EQ(FinishTransition(), 1);
  ExpectedFrame red;
  red.Fill({0, 0, 0xFF});
  EXPECT_EQ(FirstDifference(f.engine.screen.screenSurface->Bits(), red), "");
}

TEST_F(LayerCommandTest, UpdateScreenRunsTheChosenTransitionWithTheLinesWaitAndParameters) {
  AddFakeEffectPlugins(f.engine.plugins.list, f.modules);
  DoAll({"@AssignLayer 1", "@SetTransition SWEEP", "@UpdateScreen WAIT=15 PARAM=\"9\""});
  EXPECT_EQ(f.engine.plugins.host.FrameIntervalMs(), 15u);
  EXPECT_EQ(f.engine.plugins.host.Block().params[0], 9);
  EXPECT_EQ(f.engine.plugins.host.Block().params[1], 201);
  EXPECT_EQ(f.engine.plugins.currentTransition.info.intervalMs, 45);
  FinishTransition();
  EXPECT_EQ(fakeEffectCalls.sweepCounters, (std::vector<std::int64_t>{0, 1, 2, VELMO_FINAL_FRAME}));
  EXPECT_TRUE(Same(*f.engine.screen.screenSurface, *f.engine.screen.composeSurface));
  DoAll({"@UpdateScreen TYPE=NOSUCH"});
  EXPECT_EQ(f.engine.plugins.host.Pending().function, nullptr);
  EXPECT_EQ(f.engine.plugins.host.FrameIntervalMs(), 30u);
}

TEST_F(LayerCommandTest, AnEffectPlaysOnTheScreenAndLeavesItAsItFoundIt) {
  AddFakeEffectPlugins(f.engine.plugins.list, f.modules);
  const Picture screen = MakePicture(640, 480, Gradient);
  std::memcpy(f.engine.screen.screenSurface->Bits(), screen.pixels.data(), TSurface::Size);
  std::memset(f.engine.screen.composeSurface->Bits(), 0x33, TSurface::Size);
  DoAll({"@Effect SHAKE WAIT=99 PARAM=\"1,2\""});
  EXPECT_EQ(f.engine.run.state, RunState::TransitionStep);
  EXPECT_EQ(f.engine.plugins.host.FrameIntervalMs(), 99u);
  EXPECT_EQ(f.engine.plugins.host.Block().params[1], 2);
  EXPECT_EQ(f.engine.plugins.host.Block().params[2], 302);
  FrameTick(f.engine, 100);
  EXPECT_EQ(f.engine.screen.screenSurface->Bits()[12345], 0x5A);
  FinishTransition();
  EXPECT_EQ(fakeEffectCalls.shakeCounters, (std::vector<std::int64_t>{0, 1, 2, 3, VELMO_FINAL_FRAME}));
  const EffectBlock& block = fakeEffectCalls.shake[0];
  EXPECT_EQ(block.screenPixels, f.engine.screen.screenSurface->Bits());
  EXPECT_EQ(block.fromPixels, f.engine.screen.previousSurface->Bits());
  EXPECT_EQ(block.toPixels, f.engine.screen.previousSurface->Bits());
  EXPECT_EQ(std::memcmp(f.engine.screen.screenSurface->Bits(), screen.pixels.data(), TSurface::Size), 0);
  EXPECT_EQ(f.engine.screen.composeSurface->Bits()[0], 0x33);
}

TEST_F(LayerCommandTest, EffectModeIsReadOnlyBeforeTheType) {
  AddFakeEffectPlugins(f.engine.plugins.list, f.modules);
  EXPECT_EQ(Do("@Effect MODE=FALSE TYPE=SHAKE"), "");
  EXPECT_EQ(f.engine.run.state, RunState::TransitionEnd);
  EXPECT_EQ(FinishTransition(), 1);
  EXPECT_TRUE(fakeEffectCalls.shake.empty());
  EXPECT_EQ(Do("@Effect TYPE=SHAKE MODE=FALSE"), "");
  EXPECT_EQ(f.engine.run.state, RunState::TransitionStep);
  f.engine.settings.effect = 0;
  EXPECT_EQ(Do("@Effect SHAKE"), "");
  EXPECT_EQ(f.engine.run.state, RunState::TransitionEnd);
  EXPECT_EQ(Do("@Effect MODE=TRUE TYPE=SHAKE"), "");
  EXPECT_EQ(f.engine.run.state, RunState::TransitionStep);
}

TEST_F(LayerCommandTest, AScriptSkipsAnUnknownEffectAndGoesOnAfterTheTransition) {
  AddFakeEffectPlugins(f.engine.plugins.list, f.modules);
  f.AddScenario("show.scn",
                {"@AssignLayer 1", "@Effect TYPE=NOSUCH", "@LoadLayer 0 a.bmp", "@UpdateScreen", "shown", "@Exit"});
  f.Open("show.scn");
  f.Resume();
  f.RunUntilIdle();
  EXPECT_TRUE(f.texts.empty());
  EXPECT_EQ(f.engine.run.state, RunState::TransitionStep);
  FinishTransition();
  f.RunUntilIdle();
  EXPECT_EQ(f.texts, std::vector<std::string>{"shown"});
  EXPECT_TRUE(f.errors.empty());
  EXPECT_TRUE(fakeEffectCalls.shake.empty());
}

} // namespace
} // namespace velmo
