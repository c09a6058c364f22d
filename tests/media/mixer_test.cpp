// The mixer: volumes scaled onto a control's range, fades stepped by the fade thread to their
// exact end, what has no fade to wait for, the controls set back at the end, and the fade thread
// that stops when asked.
#include "engine/media/mixer.h"

#include "engine/platform/headless/headless_media.h"
#include "engine/platform/periodic_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <ostream>
#include <thread>

namespace velmo {
namespace {

class MixerTest : public ::testing::Test {
protected:
  // Ticks the fade thread until the fade of MASTER ends; the number of ticks it took.
  int TicksToEnd(Mixer& mixer) {
    int ticks = 0;
    while (mixer.Fading() && ticks < 100000) {
      mixer.Tick();
      ++ticks;
    }
    return ticks;
  }

  HeadlessClock clock;
  HeadlessWindow window;
  MemoryFileSystem files;
  HeadlessMedia media{clock, files};
};

// --- Volumes ---

struct VolumeCase {
  std::uint32_t minimum;
  std::uint32_t maximum;
  std::int32_t percent;
  std::int64_t target;
};

void PrintTo(const VolumeCase& c, std::ostream* out) { *out << c.percent << "% of " << c.minimum << ".." << c.maximum; }

class VolumeTest : public MixerTest, public ::testing::WithParamInterface<VolumeCase> {};

TEST_P(VolumeTest, PercentOfTheRangeHeldBetween0And200) {
  // A control of the asked range, at its minimum.
  class RangedControls : public HeadlessMedia {
  public:
    using HeadlessMedia::HeadlessMedia;
    std::array<std::optional<MixerControlId>, 4> FindVolumeControls() override {
      std::array<std::optional<MixerControlId>, 4> found;
      found[0] = MixerControlId{0, 0, minimum, maximum};
      return found;
    }
    std::uint32_t minimum = 0;
    std::uint32_t maximum = 0;
  } controls(clock, files);
  controls.minimum = GetParam().minimum;
  controls.maximum = GetParam().maximum;
  Mixer mixer(controls, window);
  mixer.SetVolume(MixerTarget::Master, GetParam().percent);
  EXPECT_EQ(mixer.Control(MixerTarget::Master)->target, GetParam().target);
}

INSTANTIATE_TEST_SUITE_P(Ranges, VolumeTest,
                         ::testing::Values(VolumeCase{0, 65535, 0, 0}, VolumeCase{0, 65535, 100, 32767},
                                           VolumeCase{0, 65535, 200, 65535}, VolumeCase{0, 65535, 250, 65535},
                                           VolumeCase{0, 65535, -5, 0}, VolumeCase{100, 1100, 50, 350},
                                           VolumeCase{100, 1100, 200, 1100},
                                           // A range as wide as 32 bits reaches its maximum too.
                                           VolumeCase{0, 0xFFFFFFFF, 200, 0xFFFFFFFF}));

// --- Fades ---

struct FadeCase {
  const char* name;
  std::uint32_t start;
  std::int32_t percent; // -1: no volume set
  std::int32_t ms;
  int ticks;
};

void PrintTo(const FadeCase& c, std::ostream* out) { *out << c.name; }

class FadeTest : public MixerTest, public ::testing::WithParamInterface<FadeCase> {};

// Notes what the master control held when a resume was posted: the script must find the fade's
// last value in place once it goes on.
class ValueAtResume : public HeadlessWindow {
public:
  explicit ValueAtResume(const HeadlessMedia& devices) : media(devices) {}
  void PostResume(std::uint32_t ticket) override {
    valueAtResume = media.values[0];
    HeadlessWindow::PostResume(ticket);
  }
  const HeadlessMedia& media;
  std::int64_t valueAtResume = -1;
};

TEST_P(FadeTest, EndsExactlyAtTheTargetOnItsTickAndResumesItsWaitThen) {
  media.values[0] = GetParam().start;
  ValueAtResume resumes(media);
  Mixer mixer(media, resumes);
  if (GetParam().percent >= 0) mixer.SetVolume(MixerTarget::Master, GetParam().percent);
  const std::int64_t target = mixer.Control(MixerTarget::Master)->target;
  ASSERT_TRUE(mixer.StartFade(MixerTarget::Master, 7u, GetParam().ms));
  for (int tick = 1; tick < GetParam().ticks; ++tick) {
    mixer.Tick();
    EXPECT_TRUE(resumes.posted.empty()) << "tick " << tick;
  }
  mixer.Tick();
  EXPECT_FALSE(mixer.Fading());
  EXPECT_EQ(media.values[0], target);
  EXPECT_EQ(resumes.resumeTickets, std::deque<std::uint32_t>{7u});
  EXPECT_EQ(resumes.valueAtResume, target);
  mixer.Tick();
  EXPECT_EQ(resumes.resumeTickets.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FadeTest,
    ::testing::Values(FadeCase{"TimeZeroOnTheNextTick", 65535, 0, 0, 1},
                      // 1000 ms: 11 steps; 44000 to 0 divides exactly, 44001 leaves a rest for a 12th.
                      FadeCase{"ElevenTicksWhenTheyDivide", 44000, 0, 1000, 11},
                      FadeCase{"TwelveTicksWhenTheyDoNot", 44001, 0, 1000, 12},
                      FadeCase{"NegativeTimeCountsAsZero", 65535, 0, -500, 1},
                      FadeCase{"ToThePresentValueStillOneTick", 65535, 200, 1000, 1},
                      FadeCase{"WithoutAVolumeToThePresentValue", 30000, -1, 0, 1},
                      // A difference smaller than the ticks moves one unit a tick: 32770 to 32767.
                      FadeCase{"SmallDifferenceOneUnitATick", 32770, 100, 1000, 3}),
    [](const ::testing::TestParamInfo<FadeCase>& tested) { return tested.param.name; });

TEST_F(MixerTest, NoFadeWithoutAControlOrAFadeThreadAndNoneResumesOnceDetached) {
  media.controls[1] = false;
  media.unreadable[2] = true; // a control whose value cannot be read is left alone
  {
    Mixer mixer(media, window);
    EXPECT_FALSE(mixer.Has(MixerTarget::Cdda));
    EXPECT_FALSE(mixer.Has(MixerTarget::Wave));
    EXPECT_FALSE(mixer.StartFade(MixerTarget::Cdda, 1u, 0));
    EXPECT_FALSE(mixer.StartFade(MixerTarget::Wave, 1u, 0));
    mixer.SetVolume(MixerTarget::Line, 0);
    ASSERT_TRUE(mixer.StartFade(MixerTarget::Line, 1u, 500));
    mixer.DetachFades();
    EXPECT_GT(TicksToEnd(mixer), 1);
    EXPECT_EQ(media.values[3], 0u);
    EXPECT_TRUE(window.posted.empty());
  }
  media.fadeThreadFails = true;
  Mixer withoutThread(media, window);
  EXPECT_TRUE(withoutThread.Has(MixerTarget::Master));
  EXPECT_FALSE(withoutThread.StartFade(MixerTarget::Master, 1u, 0));
}

TEST_F(MixerTest, OnlyTheControlsTheEngineChangedAreSetBackAtTheEnd) {
  media.values = {40000, 30000, 20000, 10000};
  {
    Mixer mixer(media, window);
    mixer.SetVolume(MixerTarget::Wave, 0);
    mixer.StartFade(MixerTarget::Wave, std::nullopt, 0);
    mixer.Tick();
    mixer.SetVolume(MixerTarget::Line, 0); // set, but never faded: the control is not touched
    media.values[0] = 12345;               // the player moved the master volume meanwhile
    media.record = true;
  }
  EXPECT_EQ(media.calls, std::vector<std::string>{"write 2 20000"});
  EXPECT_EQ(media.values, (std::array<std::uint32_t, 4>{12345, 30000, 20000, 10000}));
}

// --- The fade thread ---

TEST(PeriodicThreadTest, StopsBetweenTicksWithoutWaitingForThePeriodAndTicksNoMore) {
  std::mutex mutex;
  std::condition_variable ticked;
  std::atomic<int> ticks{0};
  PeriodicThread fast;
  ASSERT_TRUE(fast.Start(
      [&] {
        ++ticks;
        ticked.notify_all();
      },
      std::chrono::milliseconds(1)));
  {
    std::unique_lock<std::mutex> lock(mutex);
    ticked.wait(lock, [&] { return ticks >= 3; });
  }
  fast.Stop();
  const int stopped = ticks;
  EXPECT_FALSE(fast.Running());
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(ticks, stopped);

  // A thread in the middle of a long period is woken by the stop, not waited for (a stop that
  // waited would outlast the test's time limit).
  PeriodicThread slow;
  ASSERT_TRUE(slow.Start([&] { ++ticks; }, std::chrono::hours(1)));
  slow.Stop();
  EXPECT_EQ(ticks, stopped);
}

} // namespace
} // namespace velmo
