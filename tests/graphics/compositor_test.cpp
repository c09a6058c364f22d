// The layer model (slots, kinds, loading and discarding) and compositing: the background colour,
// the three bands and their surfaces, the blend of a bitmap layer by its level and mask, colour
// keys, clipping, filters and text layers. Expected frames are worked out in the test
// (test_pictures.h).
#include "engine/graphics/compositor.h"

#include "engine/graphics/layers.h"
#include "tests/support/fake_effect_plugins.h"
#include "tests/support/script_fixture.h"
#include "tests/support/test_pictures.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace velmo {
namespace {

// Pixels that look random and are the same at every run.
std::function<Pixel(int, int)> Noise(std::uint32_t seed) {
  return [seed](int x, int y) {
    std::uint32_t v = seed ^ static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u;
    v = v * 1103515245u + 12345u;
    v ^= v >> 13;
    v *= 2654435761u;
    return Pixel{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16)};
  };
}
std::function<Pixel(int, int)> Solid(Pixel p) {
  return [p](int, int) { return p; };
}
Pixel SurfacePixel(const TSurface& surface, int x, int y) {
  const std::uint8_t* p = surface.Bits() + static_cast<std::size_t>(y) * TSurface::Stride + x * 3;
  return {p[0], p[1], p[2]};
}

class CompositorTest : public ::testing::Test {
protected:
  void Bands(int user, int window, int text) {
    engine.screen.layers.userEnd = user;
    engine.screen.layers.windowEnd = user + window;
    engine.screen.layers.textEnd = user + window + text;
  }
  TBitmapLayer& Put(int slot, Picture picture, int x = 0, int y = 0, unsigned level = 0) {
    TBitmapLayer& layer = engine.screen.layers.GetBitmapLayer(slot);
    layer.picture = std::move(picture);
    layer.x = x;
    layer.y = y;
    layer.level = static_cast<std::uint16_t>(level);
    layer.visible = 1;
    return layer;
  }
  ExpectedFrame Background(Pixel p) {
    ExpectedFrame frame;
    frame.Fill(p);
    return frame;
  }

  ScriptFixture f;
  Engine& engine = f.engine;
};

// --- The layer model ---

TEST_F(CompositorTest, GetLayerKeepsALayerOfTheKindAskedForAndReplacesOneOfAnotherKind) {
  TBitmapLayer& bitmap = Put(5, MakePicture(2, 2, Noise(0)), 7, 0);
  EXPECT_EQ(&engine.screen.layers.GetBitmapLayer(5), &bitmap);
  EXPECT_EQ(bitmap.x, 7);
  TLayer* text = engine.screen.layers.GetLayer(5, LayerKind::Text);
  EXPECT_EQ(text->kind, LayerKind::Text);
  EXPECT_EQ(engine.screen.layers.At(5), text);
  EXPECT_FALSE(engine.screen.layers.GetBitmapLayer(5).picture.has_value());
  EXPECT_EQ(engine.screen.layers.GetLayer(5, LayerKind::Filter)->kind, LayerKind::Filter);
  EXPECT_EQ(engine.screen.layers.At(4), nullptr);
}

TEST_F(CompositorTest, TextLayerDiscardRefillsWithTheTextColourInForceThen) {
  engine.screen.layers.textLayerColor = 0x02010203;
  auto& text = static_cast<TTextLayer&>(*engine.screen.layers.GetLayer(2, LayerKind::Text));
  EXPECT_EQ((Pixel{text.bitmap->Bits()[0], text.bitmap->Bits()[1], text.bitmap->Bits()[2]}), (Pixel{1, 2, 3}));
  text.position = {11, 12, 13, 14};
  text.bitmap->Bits()[TSurface::Size - 1] = 0xEE;
  engine.screen.layers.textLayerColor = 0x02A0B0C0;
  text.Discard(engine.screen.layers);
  for (std::size_t i = 0; i < TSurface::Size; i += 3) {
    ASSERT_EQ((Pixel{text.bitmap->Bits()[i], text.bitmap->Bits()[i + 1], text.bitmap->Bits()[i + 2]}),
              (Pixel{0xA0, 0xB0, 0xC0}))
        << "byte " << i;
  }
  EXPECT_EQ(text.position, (std::array<std::int32_t, 4>{11, 12, 0, 0}));
}

TEST_F(CompositorTest, ResetAllLayersDiscardsEveryLayerAndADiscardedFilterDoesNothing) {
  AddFakeEffectPlugins(engine.plugins.list, f.modules);
  auto& filter = static_cast<TFilterLayer&>(*engine.screen.layers.GetLayer(2, LayerKind::Filter));
  ASSERT_TRUE(filter.Load(engine.plugins.list, "invert"));
  engine.screen.layers.ResetAllLayers();
  EXPECT_EQ(engine.screen.layers.At(2), &filter);
  EXPECT_EQ(filter.visible, 0);
  // A discarded filter calls nothing that changes the surface.
  filter.visible = 1;
  std::memset(engine.screen.baseSurface->Bits(), 0x31, TSurface::Size);
  filter.Apply(*engine.screen.baseSurface);
  EXPECT_TRUE(fakeEffectCalls.invert.empty());
  EXPECT_EQ(engine.screen.baseSurface->Bits()[1000], 0x31);
}

TEST_F(CompositorTest, FilterLoadTakesThePluginsParametersAndAnUnknownNameDiscardsTheLayer) {
  AddFakeEffectPlugins(engine.plugins.list, f.modules);
  auto& filter = static_cast<TFilterLayer&>(*engine.screen.layers.GetLayer(0, LayerKind::Filter));
  filter.visible = 0;
  filter.Block().frameCounter = 9;
  ASSERT_TRUE(filter.Load(engine.plugins.list, "Invert"));
  EXPECT_EQ(filter.visible, 1);
  EXPECT_FALSE(filter.variant);
  EXPECT_EQ(filter.Block().frameCounter, 0);
  for (int i = 0; i < VELMO_PARAM_COUNT; ++i) ASSERT_EQ(filter.Block().params[i], 100 + i) << i;
  ASSERT_TRUE(filter.Load(engine.plugins.list, "DIM"));
  EXPECT_TRUE(filter.variant);
  EXPECT_EQ(filter.Block().params[62], 462);
  EXPECT_FALSE(filter.Load(engine.plugins.list, "SWEEP")); // a transition, not a filter
  EXPECT_EQ(filter.visible, 0);
}

// --- Compositing ---

struct KernelCase {
  const char* name;
  unsigned level;
  bool hasMask;
  std::uint8_t m;
  bool omega;
  Pixel expected;
};

// Picture pixel (200, 10, 255) over (100, 250, 0), worked out by hand.
const KernelCase KernelCases[] = {
    {"copy", 0, false, 0, false, {200, 10, 255}},
    {"mask 0 shows the picture", 0, true, 0, false, {200, 10, 255}},
    {"mask 64", 0, true, 64, false, {175, 70, 191}},
    {"mask 255 weighs 256", 0, true, 255, false, {100, 250, 0}},
    {"omega 191 is mask 64", 0, true, 191, true, {175, 70, 191}},
    {"omega 0 is mask 255", 0, true, 0, true, {100, 250, 0}},
    {"level 1", 1, false, 0, false, {199, 10, 254}},
    {"level 96", 96, false, 0, false, {162, 100, 159}},
    {"level 255", 255, false, 0, false, {100, 249, 0}},
    {"mask 64 then level 128", 128, true, 64, false, {137, 160, 95}},
    {"mask 255 then level 200", 200, true, 255, false, {100, 250, 0}},
};

TEST_F(CompositorTest, ABitmapLayerBlendsByItsLevelAndMask) {
  Bands(2, 0, 0);
  for (const KernelCase& c : KernelCases) {
    // 37 pixels in a row: whole blocks of the fast kernels and a tail.
    Put(0, MakePicture(40, 3, Solid({100, 250, 0})));
    TBitmapLayer& layer = Put(1, MakePicture(37, 1, Solid({200, 10, 255})), 2, 1, c.level);
    layer.alpha.reset();
    if (c.hasMask) layer.alpha = MakePicture(37, 1, Solid({c.m, 0, 0}));
    layer.alphaInverted = c.omega ? 1 : 0;
    ComposeAll(engine.screen);
    const std::uint8_t* row = engine.screen.baseSurface->Bits() + TSurface::Stride;
    for (int x = 2; x < 39; ++x) {
      ASSERT_EQ((Pixel{row[x * 3], row[x * 3 + 1], row[x * 3 + 2]}), c.expected) << c.name << " at x " << x;
    }
    EXPECT_EQ((Pixel{row[39 * 3], row[39 * 3 + 1], row[39 * 3 + 2]}), (Pixel{100, 250, 0})) << c.name;
  }
}

TEST_F(CompositorTest, LayersOfEveryKernelComposeAsTheRulesWorkOut) {
  Bands(5, 0, 0);
  const Picture bg = MakePicture(640, 480, Noise(10));
  const Picture a = MakePicture(203, 77, Noise(11)), aMask = MakePicture(203, 77, Noise(12));
  const Picture b = MakePicture(50, 50, Noise(13)), bMask = MakePicture(50, 50, Noise(14));
  const Picture c = MakePicture(90, 33, Noise(15));
  const Picture d = MakePicture(129, 65, Noise(16));
  Put(0, bg);
  Put(1, a, 13, 401, 77).alpha = aMask;
  TBitmapLayer& omega = Put(2, b, -17, -9);
  omega.alpha = bMask;
  omega.alphaInverted = 1;
  Put(3, c, 600, 100, 200);
  Put(4, d, 301, 203, 140);
  ComposeAll(engine.screen);
  ExpectedFrame expected;
  expected.Draw(bg, 0, 0);
  expected.Draw(a, 13, 401, 77, &aMask);
  expected.Draw(b, -17, -9, 0, &bMask, true);
  expected.Draw(c, 600, 100, 200);
  expected.Draw(d, 301, 203, 140);
  EXPECT_EQ(FirstDifference(engine.screen.baseSurface->Bits(), expected), "");
}

TEST_F(CompositorTest, TransparentModeSkipsPixelsOfThePicturesTopLeftColour) {
  Bands(3, 0, 0);
  engine.screen.layers.backgroundColor = 0x02000000 | 0x102030;
  const Pixel key{1, 2, 3};
  // The key at (0, 0) and (2, 1); (3, 2, 1) has the same bytes in another order.
  const Picture picture = MakePicture(6, 4, [&](int x, int y) -> Pixel {
    if ((x == 0 && y == 0) || (x == 2 && y == 1)) return key;
    if (x == 4 && y == 2) return {3, 2, 1};
    return {static_cast<std::uint8_t>(100 + x), static_cast<std::uint8_t>(50 + y), 9};
  });
  // Drawn partly off the surface, its top-left pixel still gives the key.
  Put(0, picture, -1, -1).mode = ModeTransparent;
  Put(1, picture, 20, 20, 128).mode = ModeTransparent;
  Put(2, picture, 40, 40).mode = ModeCopy;
  ComposeAll(engine.screen);
  ExpectedFrame expected = Background({0x10, 0x20, 0x30});
  expected.Draw(picture, -1, -1, 0, nullptr, false, true);
  expected.Draw(picture, 20, 20, 128, nullptr, false, true);
  expected.Draw(picture, 40, 40);
  EXPECT_EQ(FirstDifference(engine.screen.baseSurface->Bits(), expected), "");
  EXPECT_EQ(SurfacePixel(*engine.screen.baseSurface, 1, 0), (Pixel{0x10, 0x20, 0x30})); // under the key pixel (2, 1)
  EXPECT_EQ(SurfacePixel(*engine.screen.baseSurface, 42, 41), key);
}

TEST_F(CompositorTest, PicturesAreClippedToTheSurfaceAtEveryEdge) {
  Bands(8, 0, 0);
  const Picture p = MakePicture(37, 29, Noise(20));
  const int offsets[][2] = {{-5, -7}, {620, 470}, {-30, 460}, {615, -20}, {640, 0}, {0, 480}, {-37, 5}, {3, -29}};
  for (int i = 0; i < 8; ++i) Put(i, p, offsets[i][0], offsets[i][1], i % 2 == 0 ? 0 : 100);
  ComposeAll(engine.screen);
  ExpectedFrame expected = Background({0, 0, 0});
  for (int i = 0; i < 8; ++i) expected.Draw(p, offsets[i][0], offsets[i][1], i % 2 == 0 ? 0 : 100);
  EXPECT_EQ(FirstDifference(engine.screen.baseSurface->Bits(), expected), "");
  // Offsets at the ends of the 32-bit range draw nothing.
  Bands(4, 0, 0);
  Put(0, p, INT_MAX, INT_MAX);
  Put(1, p, INT_MIN, INT_MIN);
  Put(2, p, INT_MAX - 10, 0);
  Put(3, p, 0, INT_MIN + 5);
  ComposeAll(engine.screen);
  EXPECT_EQ(FirstDifference(engine.screen.baseSurface->Bits(), Background({0, 0, 0})), "");
}

TEST_F(CompositorTest, AMaskSmallerThanItsPictureClipsTheDrawnPart) {
  Bands(2, 0, 0);
  const Picture p = MakePicture(30, 20, Noise(30));
  const Picture narrow = MakePicture(10, 25, Noise(31)), low = MakePicture(40, 5, Noise(32));
  Put(0, p, 100, 100).alpha = narrow;
  Put(1, p, 630, 300).alpha = low;
  ComposeAll(engine.screen);
  ExpectedFrame expected = Background({0, 0, 0});
  expected.Draw(p, 100, 100, 0, &narrow);
  expected.Draw(p, 630, 300, 0, &low);
  EXPECT_EQ(FirstDifference(engine.screen.baseSurface->Bits(), expected), "");
  EXPECT_EQ(SurfacePixel(*engine.screen.baseSurface, 110, 100), (Pixel{0, 0, 0}));
}

TEST_F(CompositorTest, HiddenEmptyAndLevel256OrAboveLayersAreNotDrawn) {
  Bands(5, 0, 0);
  const Picture p = MakePicture(64, 64, Noise(40));
  Put(0, p).visible = 0;
  Put(1, MakePicture(1, 1, Noise(41))).picture.reset();
  Put(2, p, 0, 0, 256);
  Put(3, p, 0, 0, 300);
  Put(4, p, 0, 0, 65535);
  ComposeAll(engine.screen);
  EXPECT_EQ(FirstDifference(engine.screen.baseSurface->Bits(), Background({0, 0, 0})), "");
}

TEST_F(CompositorTest, EachBandIsDrawnOntoItsOwnSurfaceOverTheOnesBelow) {
  Bands(1, 1, 1);
  engine.screen.layers.backgroundColor = 0x02000000 | 0x0A0B0C;
  const Picture user = MakePicture(100, 100, Noise(50)), window = MakePicture(100, 100, Noise(51));
  Put(0, user, 10, 10);
  Put(1, window, 60, 60, 64);
  engine.screen.layers.textLayerColor = 0x02FFFFFF;
  auto& text = static_cast<TTextLayer&>(*engine.screen.layers.GetLayer(2, LayerKind::Text));
  std::memset(text.bitmap->Bits() + 80 * TSurface::Stride + 80 * 3, 0x44, 30); // ten pixels of row 80
  ComposeAll(engine.screen);
  ExpectedFrame expected = Background({0x0A, 0x0B, 0x0C});
  expected.Draw(user, 10, 10);
  EXPECT_EQ(FirstDifference(engine.screen.baseSurface->Bits(), expected), "");
  expected.Draw(window, 60, 60, 64);
  EXPECT_EQ(FirstDifference(engine.screen.windowSurface->Bits(), expected), "");
  expected.Draw(MakePicture(10, 1, Solid({0x44, 0x44, 0x44})), 80, 80);
  EXPECT_EQ(FirstDifference(engine.screen.composeSurface->Bits(), expected), "");

  // The message window's redraw: the text band again over the window surface as it stands.
  std::memset(engine.screen.windowSurface->Bits(), 0x66, TSurface::Size);
  const std::vector<std::uint8_t> base(engine.screen.baseSurface->Bits(),
                                       engine.screen.baseSurface->Bits() + TSurface::Size);
  ComposeTextBand(engine.screen);
  ExpectedFrame redrawn = Background({0x66, 0x66, 0x66});
  redrawn.Draw(MakePicture(10, 1, Solid({0x44, 0x44, 0x44})), 80, 80);
  EXPECT_EQ(FirstDifference(engine.screen.composeSurface->Bits(), redrawn), "");
  EXPECT_EQ(std::memcmp(engine.screen.baseSurface->Bits(), base.data(), TSurface::Size), 0);
}

TEST_F(CompositorTest, ATextLayerIsCopiedWithoutTheColourOfItsTopLeftPixel) {
  Bands(1, 0, 1);
  const Picture under = MakePicture(640, 480, Noise(60));
  Put(0, under);
  engine.screen.layers.textLayerColor = 0x02000000 | 0x00FF00;
  auto& text = static_cast<TTextLayer&>(*engine.screen.layers.GetLayer(1, LayerKind::Text));
  std::uint8_t* bits = text.bitmap->Bits();
  // The top-left pixel becomes the key: the text colour's pixels are drawn, the key's are not.
  bits[0] = 1, bits[1] = 2, bits[2] = 3;
  std::memcpy(bits + 5 * TSurface::Stride + 7 * 3, "\x01\x02\x03", 3);
  ComposeAll(engine.screen);
  ExpectedFrame expected;
  expected.Draw(under, 0, 0);
  expected.Draw(MakePicture(640, 480, Solid({0, 0xFF, 0})), 0, 0);
  for (const auto& [x, y] : {std::pair{0, 0}, std::pair{7, 5}}) {
    const Pixel p = PixelOf(under, x, y);
    std::copy(p.begin(), p.end(), expected.bytes.begin() + (y * TSurface::Width + x) * 3);
  }
  EXPECT_EQ(FirstDifference(engine.screen.composeSurface->Bits(), expected), "");
  text.visible = 0;
  ComposeAll(engine.screen);
  EXPECT_EQ(std::memcmp(engine.screen.composeSurface->Bits(), engine.screen.windowSurface->Bits(), TSurface::Size), 0);
}

TEST_F(CompositorTest, AFilterChangesWhatLiesBelowItInItsBandAndNothingDrawnLater) {
  AddFakeEffectPlugins(engine.plugins.list, f.modules);
  Bands(3, 2, 0);
  const Picture a = MakePicture(100, 100, Noise(70)), b = MakePicture(100, 100, Noise(71));
  const Picture c = MakePicture(80, 80, Noise(72));
  engine.screen.layers.backgroundColor = 0x02000000 | 0x203040;
  Put(0, a, 0, 0);
  auto& invert = static_cast<TFilterLayer&>(*engine.screen.layers.GetLayer(1, LayerKind::Filter));
  ASSERT_TRUE(invert.Load(engine.plugins.list, "INVERT"));
  Put(2, b, 50, 50);
  auto& dim = static_cast<TFilterLayer&>(*engine.screen.layers.GetLayer(3, LayerKind::Filter));
  ASSERT_TRUE(dim.Load(engine.plugins.list, "DIM"));
  Put(4, c, 120, 0);
  ComposeAll(engine.screen);

  ExpectedFrame expected = Background({0x20, 0x30, 0x40});
  expected.Draw(a, 0, 0);
  for (std::uint8_t& byte : expected.bytes) byte = static_cast<std::uint8_t>(255 - byte);
  expected.Draw(b, 50, 50);
  EXPECT_EQ(FirstDifference(engine.screen.baseSurface->Bits(), expected), "");
  for (std::uint8_t& byte : expected.bytes) byte = static_cast<std::uint8_t>(byte / 2);
  expected.Draw(c, 120, 0);
  EXPECT_EQ(FirstDifference(engine.screen.windowSurface->Bits(), expected), "");

  ASSERT_EQ(fakeEffectCalls.invert.size(), 1u);
  const EffectBlock& block = fakeEffectCalls.invert[0];
  EXPECT_EQ(block.screenPixels, engine.screen.baseSurface->Bits());
  EXPECT_EQ(block.fromPixels, nullptr);
  EXPECT_EQ(block.toPixels, nullptr);
  EXPECT_EQ(block.frameCounter, 0);
  EXPECT_EQ(block.params[0], 100);
  ASSERT_EQ(fakeEffectCalls.dim.size(), 1u);
  EXPECT_EQ(fakeEffectCalls.dim[0].reserved, 0);
  EXPECT_EQ(fakeEffectCalls.dim[0].block.screenPixels, engine.screen.windowSurface->Bits());

  // A hidden filter is not called.
  invert.visible = 0;
  ComposeAll(engine.screen);
  EXPECT_EQ(fakeEffectCalls.invert.size(), 1u);
  EXPECT_EQ(fakeEffectCalls.dim.size(), 2u);
}

} // namespace
} // namespace velmo
