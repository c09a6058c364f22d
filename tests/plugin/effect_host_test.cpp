#include "engine/plugin/effect_host.h"

#include "engine/core/frame_driver.h"
#include "engine/platform/headless/memory_surface.h"
#include "tests/support/script_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace velmo {
namespace {

void Fill(TSurface& surface, std::uint8_t value) { std::memset(surface.Bits(), value, TSurface::Size); }

// New pixels (value 0xFF on a 0x00 screen) in the 8 x 8 block at the top-left corner.
int NewPixelsInFirstBlock(const TSurface& screen) {
  int count = 0;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) count += screen.Bits()[y * TSurface::Stride + x * 3] == 0xFF;
  }
  return count;
}

TEST(DefaultTransitionTest, SevenFramesShowEverMoreOfTheNewPicture) {
  MemorySurface to, screen;
  Fill(to, 0xFF);
  // The set bits of each frame's eight pattern rows.
  const int expectedShare[7] = {8, 16, 24, 32, 40, 48, 56};
  for (int n = 0; n < 7; ++n) {
    Fill(screen, 0x00);
    EXPECT_EQ(DefaultTransition(n, to, screen), n < 6 ? 1 : 0) << "frame " << n;
    EXPECT_EQ(NewPixelsInFirstBlock(screen), expectedShare[n]) << "frame " << n;
    // The pattern repeats every 8 pixels across and down the whole surface.
    const std::size_t far = 472 * TSurface::Stride + 632 * 3;
    EXPECT_EQ(std::memcmp(screen.Bits(), screen.Bits() + far, 3 * 8), 0) << "frame " << n;
  }
}

TEST(DefaultTransitionTest, FramePatternRowsAreReadMostSignificantBitFirst) {
  MemorySurface to, screen;
  Fill(to, 0xFF);
  Fill(screen, 0x00);
  DefaultTransition(0, to, screen); // row 0 is 0x11: columns 3 and 7
  for (int x = 0; x < 8; ++x) EXPECT_EQ(screen.Bits()[x * 3] == 0xFF, x == 3 || x == 7) << "column " << x;
}

TEST(DefaultTransitionTest, CountersOutsideTheFramesDrawNothing) {
  MemorySurface to, screen;
  Fill(to, 0xFF);
  Fill(screen, 0x00);
  for (std::int64_t n : {-1, 7, 65535, 65536}) EXPECT_EQ(DefaultTransition(n, to, screen), 0) << n;
  EXPECT_EQ(NewPixelsInFirstBlock(screen), 0);
}

// A plug-in entry that records the counters it is called with and finishes after three frames.
std::vector<std::int64_t> plainCounters;
std::vector<std::int64_t> variantCounters;
std::vector<std::int32_t> variantLeadingWords;

int VELMO_STDCALL PlainEntry(void* block) {
  const auto* b = static_cast<const EffectBlock*>(block);
  plainCounters.push_back(b->frameCounter);
  if (b->frameCounter >= VELMO_FINAL_FRAME) return b->frameCounter < VELMO_FINAL_FRAME + 1; // one more, then done
  return b->frameCounter < 2;
}

int VELMO_STDCALL VariantEntry(void* block) {
  const auto* b = static_cast<const EffectBlockEx*>(block);
  variantLeadingWords.push_back(b->reserved);
  variantCounters.push_back(b->block.frameCounter);
  return 1; // the particle kind: never says it is done
}

TEST(EffectHostAloneTest, BeforeAnyStartThereIsNothingToStepOrCopy) {
  EffectHost host;
  EXPECT_EQ(host.Step(), 0);
  host.StartFinish();
  EXPECT_EQ(host.Step(), 0);
  host.CopyFinalPicture(); // nothing to copy from or to
}

class EffectHostTest : public ::testing::Test {
protected:
  void SetUp() override {
    plainCounters.clear();
    variantCounters.clear();
    variantLeadingWords.clear();
    Fill(*f.engine.screen.screenSurface, 0x00);
    Fill(*f.engine.screen.previousSurface, 0x00);
    Fill(*f.engine.screen.composeSurface, 0xFF);
  }
  void Start(const EffectRecord& record) {
    host.Start(record, *f.engine.screen.screenSurface, *f.engine.screen.previousSurface,
               *f.engine.screen.composeSurface);
    f.engine.run.state = RunState::TransitionStep;
  }
  // Ticks the frame driver until the transition has resumed the script.
  int RunToTheEnd() {
    int ticks = 0;
    while (f.window.posted.empty() && ticks < 100) FrameTick(f.engine, static_cast<std::uint32_t>(++ticks * 30));
    return ticks;
  }

  ScriptFixture f;
  EffectHost& host = f.engine.plugins.host;
};

TEST_F(EffectHostTest, PlainEntryGetsCountersFromZeroThenTheFinishingCounter) {
  EffectRecord record;
  record.function = PlainEntry;
  record.info.intervalMs = 40;
  record.info.params[0] = 7;
  Start(record);
  EXPECT_EQ(host.FrameIntervalMs(), 40u);
  RunToTheEnd();
  EXPECT_EQ(plainCounters, (std::vector<std::int64_t>{0, 1, 2, 65535, 65536}));
  EXPECT_EQ(std::memcmp(f.engine.screen.screenSurface->Bits(), f.engine.screen.composeSurface->Bits(), TSurface::Size),
            0);
  EXPECT_EQ(f.window.posted.size(), 1u);
}

TEST_F(EffectHostTest, ClickSkipGoesStraightToTheFinishingCall) {
  EffectRecord record;
  record.function = PlainEntry;
  Start(record);
  FrameTick(f.engine, 10);
  f.engine.run.clickSkip = true;
  FrameTick(f.engine, 20);
  EXPECT_EQ(f.engine.run.state, RunState::TransitionLast);
  RunToTheEnd();
  EXPECT_EQ(plainCounters, (std::vector<std::int64_t>{0, 1, 65535, 65536}));
}

TEST_F(EffectHostTest, VariantEntryGetsTheLeadingWordAndOneFinishingCallWithMinusOne) {
  EffectRecord record;
  record.function = VariantEntry;
  record.variant = true;
  Start(record);
  FrameTick(f.engine, 10);
  FrameTick(f.engine, 20);
  f.engine.run.skipToOption = true;
  RunToTheEnd();
  EXPECT_EQ(variantCounters, (std::vector<std::int64_t>{0, 1, 2, -1}));
  EXPECT_EQ(variantLeadingWords, (std::vector<std::int32_t>{0, 0, 0, 0}));
  EXPECT_EQ(std::memcmp(f.engine.screen.screenSurface->Bits(), f.engine.screen.composeSurface->Bits(), TSurface::Size),
            0);
}

TEST_F(EffectHostTest, WithoutAPluginTheBuiltInTransitionRunsSevenFramesThirtyMsApart) {
  EffectRecord builtIn;
  builtIn.info.intervalMs = static_cast<std::int32_t>(DefaultTransitionIntervalMs);
  Start(builtIn);
  EXPECT_EQ(host.FrameIntervalMs(), DefaultTransitionIntervalMs);
  EXPECT_EQ(NextTickTime(f.engine, 1000), 1030u);
  int frames = 0;
  while (f.engine.run.state == RunState::TransitionStep) {
    FrameTick(f.engine, static_cast<std::uint32_t>(++frames * 30));
  }
  EXPECT_EQ(frames, 7);
  EXPECT_EQ(NewPixelsInFirstBlock(*f.engine.screen.screenSurface), 56);
  RunToTheEnd();
  EXPECT_EQ(NewPixelsInFirstBlock(*f.engine.screen.screenSurface), 64);
}

} // namespace
} // namespace velmo
