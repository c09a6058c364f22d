// The media waits on the engine's own channels, player and mixer: each wait met by the end of its
// play, a failed play, a click at each skip mode with and without a USER_CLICK handler, a jump to
// an entry and a hidden message window, and then by whatever of the media comes late. The script
// goes on exactly once, past the wait or where the click handler or the jump leads.
#include "engine/core/frame_driver.h"
#include "engine/core/interpreter.h"
#include "engine/media/media_set.h"
#include "tests/support/script_fixture.h"
#include "tests/support/test_media.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace velmo {
namespace {

using Texts = std::vector<std::string>;

struct MediaWait {
  const char* name;
  RunState state;
  std::vector<std::string> lines; // the lines that enter the wait
  bool clickStops;                // a click stops the play and ends the wait
  bool clickFiresHandler;         // a click in it goes to the USER_CLICK handler
};

const MediaWait Waits[] = {
    {"Sound", RunState::SoundWait, {"@PlaySound a.wav MODE=WAIT"}, true, true},
    {"Music", RunState::MusicWait, {"@PlayMusic b.mid MODE=WAIT"}, true, true},
    {"Cd", RunState::CDWait, {"@PlayCD 2 MODE=WAIT"}, true, true},
    {"Movie", RunState::MovieWait, {"@PlayMovie m.avi"}, false, true},
    {"Mixer", RunState::MixerWait, {"@SetMixer MASTER 0 TIME=300 MODE=WAIT"}, false, false},
    // The page of text after the voice waits for it at its wait mark (forced here).
    {"Voice", RunState::VoiceWait, {"@Voice v.wav", "hello"}, false, false},
};

void PrintTo(const MediaWait& wait, std::ostream* out) { *out << wait.name; }

enum class Event { End, Failure, Click0, Click1, Click2, HandlerClick0, HandlerClick1, HandlerClick2, Jump, Hidden };

const char* EventName(Event event) {
  static constexpr const char* Names[] = {"End",           "Failure",       "Click0",        "Click1", "Click2",
                                          "HandlerClick0", "HandlerClick1", "HandlerClick2", "Jump",   "Hidden"};
  return Names[static_cast<int>(event)];
}

void PrintTo(Event event, std::ostream* out) { *out << EventName(event); }

class MediaWaitTest : public ::testing::TestWithParam<std::tuple<MediaWait, Event>> {
protected:
  MediaWaitTest() {
    f.files.files["a.wav"] = WaveFile(500);
    f.files.files["v.wav"] = WaveFile(400);
    f.files.files["b.mid"] = MidiFile(0, 480, {Note(960)});
    f.files.files["cd\\track02.wav"] = WaveFile(700);
    f.files.files["m.avi"] = AviFile(10, 100000);
  }

  const MediaWait& Wait() const { return std::get<0>(GetParam()); }
  Event Happening() const { return std::get<1>(GetParam()); }
  bool WithHandler() const { return Happening() >= Event::HandlerClick0 && Happening() <= Event::HandlerClick2; }
  bool IsClick() const { return Happening() >= Event::Click0 && Happening() <= Event::HandlerClick2; }
  SkipMode ClickSkipMode() const {
    const int n =
        static_cast<int>(Happening()) - static_cast<int>(WithHandler() ? Event::HandlerClick0 : Event::Click0);
    return static_cast<SkipMode>(n);
  }

  // What the wait waits for is still under way.
  bool Busy() const {
    const MediaSet& media = f.engine.media;
    switch (Wait().state) {
    case RunState::MusicWait:
      return media.music.Playing();
    case RunState::CDWait:
      return media.cd.Playing();
    case RunState::MovieWait:
      return media.movie.Playing();
    case RunState::MixerWait:
      return media.mixer.Fading();
    default:
      return media.wave.Playing();
    }
  }

  void EnterWait() {
    std::vector<std::string> lines;
    if (WithHandler()) lines.emplace_back("@OnEvent USER_CLICK GOTO #clicked");
    lines.insert(lines.end(), Wait().lines.begin(), Wait().lines.end());
    lines.insert(lines.end(), {"after", "@Wait", "// entry", "entry", "@Wait", "// clicked", "clicked", "@Wait"});
    f.AddScenario("main.scn", lines);
    f.Open("main.scn");
    f.engine.door.RequestResume();
    TakePosted();
    if (Wait().state == RunState::VoiceWait) f.engine.run.state = RunState::VoiceWait;
    f.texts.clear();
  }
  void TakePosted() {
    for (int i = 0; i < 100 && f.driver.DispatchOne() != HeadlessDriver::Dispatched::Nothing; ++i) {
    }
  }
  // Lets virtual time run until the next play ends or fade tick comes, and more fade ticks until
  // something happens to the engine.
  void RunMedia() {
    const RunState before = f.engine.run.state;
    for (int i = 0; i < 100 && f.window.posted.empty() && f.engine.run.state == before; ++i) {
      const std::optional<std::uint32_t> due = f.media.NextDue();
      if (!due) return;
      f.clock.nowMs = *due;
      f.driver.DeliverMedia();
    }
  }

  ScriptFixture f;
};

TEST_P(MediaWaitTest, TheScriptGoesOnOnceAndNothingOfTheWaitIsLeft) {
  const MediaWait& wait = Wait();
  const Event event = Happening();
  f.media.failPlays = event == Event::Failure;
  EnterWait();
  ASSERT_EQ(f.engine.run.state, wait.state);
  ASSERT_TRUE(Busy());
  ASSERT_TRUE(f.errors.empty());

  std::string after = "after";
  if (event == Event::End || event == Event::Failure) {
    RunMedia();
    EXPECT_FALSE(Busy());
  } else if (IsClick()) {
    f.engine.run.skipMode = ClickSkipMode();
    OnLeftClick(f.engine, 0, 0);
    if (WithHandler() && wait.clickFiresHandler) {
      after = "clicked"; // the play goes on; its end later resumes nothing
      EXPECT_TRUE(Busy());
    } else if (wait.clickStops) {
      EXPECT_FALSE(Busy());
      EXPECT_EQ(f.window.posted.size(), 1u);
    } else if (wait.state == RunState::VoiceWait && ClickSkipMode() != SkipMode::Off) {
      EXPECT_FALSE(Busy()); // the voice stops and the page goes on
      EXPECT_EQ(f.engine.run.state, RunState::TextOutput);
      EXPECT_FALSE(f.engine.run.voicePending);
    } else {
      EXPECT_TRUE(Busy()); // the click is ignored: the wait goes on to its end
      EXPECT_EQ(f.engine.run.state, wait.state);
      EXPECT_TRUE(f.window.posted.empty());
    }
  } else if (event == Event::Jump) {
    JumpToEntry(f.engine, "main.scn#entry");
    after = "entry";
    // The play stops and the movie closes; a fade goes on to its end, resuming nothing.
    EXPECT_EQ(Busy(), wait.state == RunState::MixerWait);
  } else {
    f.engine.run.savedState = f.engine.run.state;
    f.engine.run.state = RunState::MessageHidden;
    RunMedia();
    TakePosted();
    EXPECT_TRUE(f.texts.empty()); // nothing runs while the picture is shown without the window
    EXPECT_EQ(f.engine.run.state, RunState::MessageHidden);
    OnLeftClick(f.engine, 0, 0);
  }

  // Whatever of the media is still due comes late, and the script is taken as far as it goes.
  for (int i = 0; i < 50; ++i) {
    TakePosted();
    if (f.engine.run.state != RunState::TextOutput) RunMedia();
    f.RunUntilIdle();
  }
  EXPECT_EQ(f.texts, Texts{after});
  EXPECT_EQ(f.engine.run.state, RunState::TimedWait);
  EXPECT_FALSE(Busy());
  EXPECT_FALSE(f.engine.run.voicePending);
  EXPECT_FALSE(f.engine.run.resumeWhenShown.has_value());
  EXPECT_TRUE(f.errors.empty());
}

INSTANTIATE_TEST_SUITE_P(WaitsAndEvents, MediaWaitTest,
                         ::testing::Combine(::testing::ValuesIn(Waits),
                                            ::testing::Values(Event::End, Event::Failure, Event::Click0, Event::Click1,
                                                              Event::Click2, Event::HandlerClick0, Event::HandlerClick1,
                                                              Event::HandlerClick2, Event::Jump, Event::Hidden)),
                         [](const ::testing::TestParamInfo<std::tuple<MediaWait, Event>>& tested) {
                           return std::string(std::get<0>(tested.param).name) + EventName(std::get<1>(tested.param));
                         });

} // namespace
} // namespace velmo
