// The stripe and wipe transitions, frame by frame: which rows, columns or cells of the new
// picture each frame copies (and that it copies them from the same place), the frame that says
// it is the last, and parameters that are zero, negative or huge.
#include "plugins/bandwipe/bandwipe.h"
#include "plugins/bandwipe/bandwipe_exports.h"

#include "tests/plugins/plugin_frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <set>
#include <vector>

namespace velmo {
namespace {

using test::CopiedOf;
using test::PluginFrames;
using test::Series;

std::vector<int> Joined(std::vector<int> a, const std::vector<int>& b) {
  a.insert(a.end(), b.begin(), b.end());
  std::sort(a.begin(), a.end());
  return a;
}

// Rows (or columns) strip, strip + 1, ... strip + length - 1 of every period.
std::vector<int> Strips(int first, int length, int period, int extent) {
  std::vector<int> lines;
  for (int start = first; start < extent; start += period) {
    for (int i = start; i < start + length && i < extent; ++i) lines.push_back(i);
  }
  return lines;
}

struct LineCase {
  const char* what;
  VelmoEntryFunction function;
  std::int32_t n, p1, p2;
  bool rows; // whole rows, else whole columns
  std::vector<int> lines;
  int result;
};

const LineCase LineCases[] = {
    {"BLIND_H frame 1", bandwipe::funcBlindH, 1, 20, 1, true, Series(1, 20, 461), 1},
    {"BLIND_H frame 20 is the last", bandwipe::funcBlindH, 20, 20, 1, true, Series(20, 20, 460), 0},
    {"BLIND_H strips of 3", bandwipe::funcBlindH, 2, 20, 3, true, Strips(6, 3, 20, 480), 1},
    {"BLIND_V frame 1", bandwipe::funcBlindV, 1, 20, 1, false, Series(1, 20, 621), 1},
    {"INTERLACE_H frame 1", bandwipe::funcInterlaceH, 1, 12, 0, true, Joined(Series(0, 2, 10), Series(469, 2, 479)), 1},
    {"INTERLACE_H frame 40 is the last", bandwipe::funcInterlaceH, 40, 12, 0, true,
     Joined(Series(1, 2, 11), Series(468, 2, 478)), 0},
    {"INTERLACE_H odd count copies whole pairs", bandwipe::funcInterlaceH, 1, 3, 0, true, {0, 2, 477, 479}, 1},
    {"INTERLACE_H no lines a frame", bandwipe::funcInterlaceH, 1, 0, 0, true, {}, 1},
    {"INTERLACE_V frame 1", bandwipe::funcInterlaceV, 1, 16, 0, false, Joined(Series(0, 2, 14), Series(625, 2, 639)),
     1},
    {"GRAD_WIPE_UP frame 1", bandwipe::funcGradWipeUp, 1, 20, 1, true, {460, 479}, 1},
    {"GRAD_WIPE_UP frame 10", bandwipe::funcGradWipeUp, 10, 20, 1, true, Series(280, 19, 470), 1},
    {"GRAD_WIPE_UP frame 44 is the last", bandwipe::funcGradWipeUp, 44, 20, 1, true, {}, 0},
    {"GRAD_WIPE_UP bands drawn upward", bandwipe::funcGradWipeUp, 1, 20, 5, true,
     Joined(Series(456, 1, 460), Series(471, 1, 475)), 1},
    {"GRAD_WIPE_DOWN frame 1", bandwipe::funcGradWipeDown, 1, 20, 1, true, {1, 20}, 1},
    {"GRAD_WIPE_DOWN negative band drawn upward", bandwipe::funcGradWipeDown, 1, 20, -5, true, Series(16, 1, 20), 1},
    {"GRAD_WIPE_LEFT frame 1", bandwipe::funcGradWipeLeft, 1, 20, 1, false, {620, 639}, 1},
    {"GRAD_WIPE_RIGHT frame 1", bandwipe::funcGradWipeRight, 1, 20, 1, false, {1, 20}, 1},
    {"GRAD_WIPE_RIGHT frame 52 is the last", bandwipe::funcGradWipeRight, 52, 20, 1, false, {}, 0},
    // Huge parameters: products that leave 32 bits, loops that would run for billions of steps.
    {"BLIND_H huge period and strip", bandwipe::funcBlindH, 1, INT_MAX, INT_MAX, true, {}, 0},
    {"BLIND_H huge counter", bandwipe::funcBlindH, INT_MAX, 20, INT_MAX, true, {}, 0},
    {"INTERLACE_H huge count fills the screen", bandwipe::funcInterlaceH, 1, INT_MAX, 0, true, Series(0, 1, 479), 0},
    {"INTERLACE_V huge count fills the screen", bandwipe::funcInterlaceV, 1, INT_MAX, 0, false, Series(0, 1, 639), 0},
    {"INTERLACE_H most negative counter", bandwipe::funcInterlaceH, INT_MIN, INT_MAX, 0, true, {}, 1},
    {"GRAD_WIPE_UP huge overlapping bands", bandwipe::funcGradWipeUp, 1, INT_MAX, INT_MAX - 1, true, Series(0, 1, 479),
     1},
    {"GRAD_WIPE_DOWN a million bands below", bandwipe::funcGradWipeDown, 3, 1000000, 1000001, true, {}, 0},
    {"GRAD_WIPE_DOWN a million bands upward", bandwipe::funcGradWipeDown, 1, 1000000, -1000001, true, Series(0, 1, 479),
     0},
    {"GRAD_WIPE_RIGHT most negative band", bandwipe::funcGradWipeRight, 1, 1, INT_MIN, false, {0, 1}, 1},
};

TEST(BandwipeTest, EachFrameCopiesItsRowsOrColumnsFromTheSamePlace) {
  for (const LineCase& c : LineCases) {
    PluginFrames frames;
    frames.Set(c.n, {c.p1, c.p2});
    EXPECT_EQ(frames.Call(c.function), c.result) << c.what;
    const test::CopiedPixels copied = CopiedOf(frames);
    EXPECT_EQ(copied.misplaced, 0) << c.what;
    EXPECT_EQ(c.rows ? copied.Rows() : copied.Columns(), c.lines) << c.what;
  }
}

struct CellCase {
  const char* what;
  VelmoEntryFunction function;
  std::int32_t n, p1, p2;
  std::function<bool(int x, int y)> copied;
  int result;
};

bool Even(int a, int b) { return (a + b) % 2 == 0; }

const CellCase CellCases[] = {
    {"CHECKER_WIPE_H frame 1", bandwipe::funcCheckerWipeH, 1, 20, 20,
     [](int x, int y) { return x % 20 == 0 && Even(x / 20, y / 20); }, 1},
    {"CHECKER_WIPE_H frame 21 turns to the other cells", bandwipe::funcCheckerWipeH, 21, 20, 20,
     [](int x, int y) { return x % 20 == 0 && !Even(x / 20, y / 20); }, 1},
    {"CHECKER_WIPE_H frame 40 is the last", bandwipe::funcCheckerWipeH, 40, 20, 20,
     [](int x, int y) { return x % 20 == 19 && !Even(x / 20, y / 20); }, 0},
    {"CHECKER_WIPE_H cells that do not fill the screen", bandwipe::funcCheckerWipeH, 3, 30, 40,
     [](int x, int y) { return x < 630 && x % 30 == 2 && Even(x / 30, y / 40); }, 1},
    {"CHECKER_WIPE_V frame 1", bandwipe::funcCheckerWipeV, 1, 20, 20,
     [](int x, int y) { return y % 20 == 0 && Even(x / 20, y / 20); }, 1},
    {"CHECKER_WIPE_V frame 25", bandwipe::funcCheckerWipeV, 25, 20, 20,
     [](int x, int y) { return y % 20 == 4 && !Even(x / 20, y / 20); }, 1},
    {"CHECKER_WIPE_V cells of one pixel", bandwipe::funcCheckerWipeV, 1, 1, 1, [](int x, int y) { return Even(x, y); },
     1},
    {"CHECKER_WIPE_H most negative cell width", bandwipe::funcCheckerWipeH, 1, INT_MIN, 20,
     [](int, int) { return false; }, 0},
};

TEST(BandwipeTest, CheckerWipesCopyOneLineOfEveryCellOfOneColour) {
  for (const CellCase& c : CellCases) {
    PluginFrames frames;
    frames.Set(c.n, {c.p1, c.p2});
    EXPECT_EQ(frames.Call(c.function), c.result) << c.what;
    const test::CopiedPixels copied = CopiedOf(frames);
    EXPECT_EQ(copied.misplaced, 0) << c.what;
    int wrong = 0;
    for (int y = 0; y < test::ScreenHeight; ++y) {
      for (int x = 0; x < test::ScreenWidth; ++x) wrong += copied(x, y) != c.copied(x, y);
    }
    EXPECT_EQ(wrong, 0) << c.what;
  }
}

#define VELMO_ENTRY_ITEM(name) {#name, bandwipe::name},
const struct {
  const char* name;
  VelmoEntryFunction function;
} Entries[] = {VELMO_BANDWIPE_ENTRIES(VELMO_ENTRY_ITEM)};
#undef VELMO_ENTRY_ITEM

TEST(BandwipeTest, SetUpAndFinishingCallsDrawNothingAndAskForMore) {
  for (const auto& entry : Entries) {
    for (std::int32_t n : {0, -1}) {
      PluginFrames frames;
      frames.Set(n, {20, 1});
      EXPECT_EQ(frames.Call(entry.function), 1) << entry.name << " " << n;
      EXPECT_EQ(frames.screen, std::vector<std::uint8_t>(test::ScreenBytes, 0)) << entry.name << " " << n;
    }
  }
}

TEST(BandwipeTest, NoBlockOrNoPicturesDrawNothing) {
  for (const auto& entry : Entries) {
    EXPECT_EQ(entry.function(nullptr), 0) << entry.name;
    PluginFrames frames;
    frames.Set(1, {20, 1});
    frames.Block().screenPixels = nullptr;
    frames.Block().toPixels = nullptr;
    frames.Call(entry.function);
    EXPECT_EQ(frames.screen, std::vector<std::uint8_t>(test::ScreenBytes, 0)) << entry.name;
  }
}

// Parameters that would divide by zero or never move on take the defaults of the entry.
TEST(BandwipeTest, ZeroAndNegativeParametersTakeTheDefaults) {
  const struct {
    const char* what;
    VelmoEntryFunction function;
    std::int32_t p1, p2, defaultP1, defaultP2;
  } cases[] = {
      {"BLIND_H period 0", bandwipe::funcBlindH, 0, 1, 20, 1},
      {"BLIND_H negative period", bandwipe::funcBlindH, -3, 1, 20, 1},
      {"BLIND_H strip 0", bandwipe::funcBlindH, 20, 0, 20, 1},
      {"BLIND_H negative strip", bandwipe::funcBlindH, 20, -4, 20, 1},
      {"BLIND_V both 0", bandwipe::funcBlindV, 0, 0, 20, 1},
      {"CHECKER_WIPE_H width 0", bandwipe::funcCheckerWipeH, 0, 20, 20, 20},
      {"CHECKER_WIPE_H height 0", bandwipe::funcCheckerWipeH, 20, 0, 20, 20},
      {"CHECKER_WIPE_V both 0", bandwipe::funcCheckerWipeV, 0, 0, 20, 20},
      {"GRAD_WIPE_UP advance 0", bandwipe::funcGradWipeUp, 0, 1, 20, 1},
      {"GRAD_WIPE_UP negative advance", bandwipe::funcGradWipeUp, -5, 1, 20, 1},
      {"GRAD_WIPE_DOWN band 0", bandwipe::funcGradWipeDown, 20, 0, 20, 1},
      {"GRAD_WIPE_LEFT band 0", bandwipe::funcGradWipeLeft, 20, 0, 20, 1},
  };
  for (const auto& c : cases) {
    for (std::int32_t n : {1, 7, 21}) {
      PluginFrames odd, plain;
      odd.Set(n, {c.p1, c.p2});
      plain.Set(n, {c.defaultP1, c.defaultP2});
      EXPECT_EQ(odd.Call(c.function), plain.Call(c.function)) << c.what << " frame " << n;
      EXPECT_EQ(odd.screen, plain.screen) << c.what << " frame " << n;
    }
  }
}

TEST(BandwipeTest, TheStripeSequenceStartsAtItsLoadState) {
  const struct {
    std::int32_t m;
    std::vector<std::int32_t> values;
  } cases[] = {{479, {166, 280, 51}}, {641, {497, 469, 578}}};
  for (const auto& c : cases) {
    bandwipe::StripeSequence sequence;
    std::vector<std::int32_t> values;
    for (int i = 0; i < 3; ++i) values.push_back(sequence.Next(c.m));
    EXPECT_EQ(values, c.values) << c.m;
  }
}

TEST(BandwipeTest, RandomStripesCopyTheSequencesLinesAndShareItsState) {
  bandwipe::StripeSequence sequence;
  PluginFrames rows;
  rows.Set(1, {3});
  bandwipe::StripeFrame f{1, 3, 0, plugin::ScreenView(rows.screen.data()), plugin::ConstScreenView(rows.to.data())};
  EXPECT_EQ(bandwipe::RandomStripeH(f, sequence), 1);
  EXPECT_EQ(CopiedOf(rows).Rows(), (std::vector<int>{51, 166, 280}));

  // The vertical one goes on from the horizontal one's state: 51 x 19 mod 641 = 328.
  PluginFrames columns;
  f.p1 = 1;
  f.screen = plugin::ScreenView(columns.screen.data());
  f.to = plugin::ConstScreenView(columns.to.data());
  EXPECT_EQ(bandwipe::RandomStripeV(f, sequence), 1);
  EXPECT_EQ(CopiedOf(columns).Columns(), (std::vector<int>{328}));

  // Frame 24 of 20 rows is the last.
  f.n = 24;
  f.p1 = 20;
  EXPECT_EQ(bandwipe::RandomStripeH(f, sequence), 0);
  f.p1 = 0;
  EXPECT_EQ(bandwipe::RandomStripeH(f, sequence), 1);
}

// However many steps a frame takes, it copies what those steps give and leaves the state where
// they would, without taking them one by one.
TEST(BandwipeTest, HugeStripeCountsEndWhereEveryStepWouldHaveLed) {
  for (std::int32_t count : {1000003, INT_MAX}) {
    for (bool horizontal : {true, false}) {
      const std::int32_t m = horizontal ? 479 : 641;
      bandwipe::StripeSequence sequence, stepped;
      std::set<int> lines;
      const std::int64_t steps = count == INT_MAX ? 0 : count;
      for (std::int64_t i = 0; i < steps; ++i) lines.insert(stepped.Next(m));
      PluginFrames frames;
      const bandwipe::StripeFrame f{1, count, 0, plugin::ScreenView(frames.screen.data()),
                                    plugin::ConstScreenView(frames.to.data())};
      EXPECT_EQ(horizontal ? bandwipe::RandomStripeH(f, sequence) : bandwipe::RandomStripeV(f, sequence), 0);
      const test::CopiedPixels copied = CopiedOf(frames);
      EXPECT_EQ(copied.misplaced, 0);
      const std::vector<int> got = horizontal ? copied.Rows() : copied.Columns();
      if (count == INT_MAX) {
        // The whole cycle from the first value: every value of the sequence but the load state.
        bandwipe::StripeSequence cycle;
        std::set<int> all;
        for (int i = 0; i < 2 * m; ++i) all.insert(cycle.Next(m));
        all.erase(640);
        EXPECT_EQ(got, std::vector<int>(all.begin(), all.end())) << horizontal;
      } else {
        lines.erase(640);
        EXPECT_EQ(got, std::vector<int>(lines.begin(), lines.end())) << horizontal;
        EXPECT_EQ(sequence.State(), stepped.State()) << horizontal;
      }
    }
  }
}

} // namespace
} // namespace velmo
