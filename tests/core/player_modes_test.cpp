// The player's reading aids as clicks, keys, the wheel, ticks and the menus drive them: auto mode
// and its delay, the skip of read text, and the flashback.
#include "engine/core/player_modes.h"

#include "engine/core/frame_driver.h"
#include "engine/core/interpreter.h"
#include "engine/graphics/screen.h"
#include "engine/resources/resource_ids.h"
#include "engine/save/read_record.h"
#include "engine/save/screen_capture.h"
#include "engine/shell/menu_commands.h"
#include "tests/support/script_fixture.h"
#include "tests/support/shell_fakes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <utility>

namespace velmo {
namespace {

class PlayerModesTest : public ::testing::Test {
protected:
  PlayerModesTest() {
    messages.run = &run;
    run.skipMode = SkipMode::Text;
  }
  // Auto mode on in a click wait, as after the key A.
  void AutoClickWait() {
    run.state = RunState::ClickWait;
    EXPECT_EQ(OnKey(f.engine, KeyAutoMode), InputEffect::None);
  }
  // `count` pages kept for the flashback, page k filled with the byte k; the engine in `state`.
  void KeepPages(int count, RunState state) {
    ASSERT_TRUE(f.engine.screen.MakeFlashbackSurfaces(4));
    TSurface& screen = *f.engine.screen.screenSurface;
    for (int page = 1; page <= count; ++page) {
      std::memset(screen.Bits(), page, TSurface::Size);
      f.engine.screen.flashback.KeepPage(screen);
    }
    std::memset(screen.Bits(), 0, TSurface::Size);
    run.state = state;
  }
  // The page the window shows: its byte, 0 for the page on screen.
  int ShownPage() { return ShownSurface(f.engine.screen, run.state)->Bits()[0]; }

  RecordingMessageWindow messages;
  RecordingSelection selection;
  RecordingMediaChannels media;
  ScriptFixture f{EngineSeams{.messageWindow = &messages, .selection = &selection, .media = &media}};
  RunControl& run = f.engine.run;
};

TEST(AutoModeDelayTest, GrowsWithTheCharactersAndTheTextSpeedSetting) {
  const struct {
    std::int32_t characters, speed;
    std::uint32_t delayMs;
  } cases[] = {{0, 5, 1000},   {10, 0, 1300}, {10, 5, 1800},
               {10, 10, 2300}, {40, 5, 4200}, {10, 99, 2300},
               {10, -4, 1300}, {-3, 5, 1000}, {1 << 30, 10, 1000 + 65535u * 130}};
  for (const auto& c : cases) {
    EXPECT_EQ(AutoModeDelayMs(c.characters, c.speed), c.delayMs) << c.characters << " " << c.speed;
  }
}

TEST_F(PlayerModesTest, AutoModeEndsAClickWaitAfterItsDelayCountedFromTheEndOfTheVoice) {
  messages.waitCharacters = 10; // 1,800 ms at speed 5
  AutoClickWait();
  EXPECT_EQ(f.window.menus.autoModeChecked, true);
  run.voicePending = true;
  FrameTick(f.engine, 100);
  FrameTick(f.engine, 9000);
  EXPECT_EQ(run.state, RunState::ClickWait);
  run.voicePending = false;
  FrameTick(f.engine, 10000);
  FrameTick(f.engine, 11799);
  EXPECT_EQ(run.state, RunState::ClickWait);
  FrameTick(f.engine, 11800);
  EXPECT_EQ(run.state, RunState::TextOutput);
  EXPECT_EQ(messages.markerCalls.back(), false);
  EXPECT_EQ(f.engine.settings.autoMode, 1);
}

TEST_F(PlayerModesTest, AnyClickOrKeyEndsAutoModeAndSelectionsAreNeverChosen) {
  const struct {
    const char* name;
    RunState state;
    int key; // 0: a left click, -1: the right button
    RunState after;
  } cases[] = {
      {"click goes on", RunState::ClickWait, 0, RunState::TextOutput},
      {"right button", RunState::ClickWait, -1, RunState::ClickWait},
      {"the key A again", RunState::ClickWait, KeyAutoMode, RunState::ClickWait},
      {"another key", RunState::TextOutput, 'X', RunState::TextOutput},
      {"a selection's key", RunState::SelectWait, 'A', RunState::SelectWait},
  };
  for (const auto& c : cases) {
    AutoClickWait();
    run.state = c.state;
    if (c.key == 0) OnLeftClick(f.engine, 1, 1);
    if (c.key == -1) OnRightClick(f.engine);
    if (c.key > 0) OnKey(f.engine, c.key);
    EXPECT_EQ(f.engine.settings.autoMode, 0) << c.name;
    EXPECT_FALSE(f.window.menus.autoModeChecked) << c.name;
    EXPECT_EQ(run.state, c.after) << c.name;
  }
  EXPECT_EQ(selection.keys, std::vector<int>{'A'});
  // The menu item turns it on and off; a selection waits for the player however long it lasts.
  RunMenuCommand(f.engine, IDM_AUTOMODE);
  run.state = RunState::SelectWait;
  for (std::uint32_t now = 0; now < 600000; now += 10) FrameTick(f.engine, now);
  EXPECT_TRUE(selection.hits.empty());
  EXPECT_EQ(run.state, RunState::SelectWait);
  RunMenuCommand(f.engine, IDM_AUTOMODE);
  EXPECT_EQ(f.engine.settings.autoMode, 0);
}

TEST_F(PlayerModesTest, ReadSkipPassesLinesReadBeforeAndStopsAtTheFirstUnreadOne) {
  f.AddScenario("a.scn", {"one", "two", "three"});
  f.Open("a.scn");
  f.engine.readRecord.TakeLine("a.scn", 20, 0);
  f.engine.readRecord.TakeLine("a.scn", 20, 5);
  OnKey(f.engine, KeyTab);
  EXPECT_TRUE(f.window.menus.readSkipChecked);
  std::vector<bool> skipping;
  for (int line = 0; line < 3; ++line) {
    f.Resume();
    skipping.push_back(run.SkippingPages());
  }
  EXPECT_EQ(skipping, (std::vector<bool>{true, true, false}));
  EXPECT_FALSE(run.readSkip);
  EXPECT_FALSE(f.window.menus.readSkipChecked);
  // Turned on at the click wait of a line read before, the page goes on.
  f.engine.readRecord.TakeLine("a.scn", 20, 10);
  f.Open("a.scn");
  f.Resume();
  run.state = RunState::ClickWait;
  RunMenuCommand(f.engine, IDM_READSKIP);
  EXPECT_EQ(run.state, RunState::TextOutput);
}

TEST_F(PlayerModesTest, ReadSkipStopsWhereSkippingStopsAndNeverStartsWhereItIsDisabled) {
  f.AddScenario("a.scn", {"x"});
  f.Open("a.scn");
  run.lineRead = true;
  const std::vector<std::pair<const char*, std::function<void()>>> stops = {
      {"selection",
       [&] {
         run.state = RunState::SelectWait;
         FrameTick(f.engine, 0);
       }},
      {"click",
       [&] {
         run.state = RunState::TextOutput;
         OnLeftClick(f.engine, 0, 0);
       }},
      {"tab", [&] { OnKey(f.engine, KeyTab); }},
      {"trap", [&] { RunScenario(f.engine, "@EnableSkip TEXT TRAP"); }},
      {"disabled", [&] { RunScenario(f.engine, "@EnableSkip FALSE"); }},
      {"restart", [&] { JumpToEntry(f.engine, "a.scn"); }},
  };
  for (const auto& [name, stop] : stops) {
    run.skipMode = SkipMode::Text;
    SetReadSkip(f.engine, true);
    ASSERT_TRUE(run.SkippingPages()) << name;
    stop();
    EXPECT_FALSE(run.readSkip) << name;
  }
  run.skipMode = SkipMode::Off; // skipping disabled by the script
  SetReadSkip(f.engine, true);
  EXPECT_FALSE(run.readSkip);
  run.skipMode = SkipMode::Text;
  f.engine.menus.skipNextEnabled = false;
  RunMenuCommand(f.engine, IDM_READSKIP);
  EXPECT_FALSE(run.readSkip);
}

TEST_F(PlayerModesTest, TheFlashbackGoesBackAndForthAndReturnsToWhatTheEngineWasDoing) {
  KeepPages(3, RunState::ClickWait);
  EXPECT_EQ(OnWheel(f.engine, true), InputEffect::None);
  EXPECT_EQ(run.state, RunState::Flashback);
  std::vector<int> shown{ShownPage()};
  RunMenuCommand(f.engine, IDM_FLASHBACK);
  shown.push_back(ShownPage());
  OnKey(f.engine, KeyPageUp);
  OnKey(f.engine, KeyPageUp); // no older page
  shown.push_back(ShownPage());
  RunMenuCommand(f.engine, IDM_ERASEMESSAGE); // nothing to hide
  EXPECT_EQ(OnWheel(f.engine, false), InputEffect::None);
  shown.push_back(ShownPage());
  OnKey(f.engine, KeyPageDown);
  shown.push_back(ShownPage());
  EXPECT_EQ(OnKey(f.engine, KeyEscape), InputEffect::RightButton);
  EXPECT_EQ(OnRightClick(f.engine), RightClickAction::None);
  EXPECT_EQ(shown, (std::vector<int>{3, 2, 1, 2, 3}));
  EXPECT_EQ(run.state, RunState::ClickWait);
  EXPECT_EQ(ShownPage(), 0);
  EXPECT_TRUE(messages.markerCalls.empty()); // nothing went on meanwhile

  // From a hidden message window it returns with the window shown; a voice that ends meanwhile
  // lets the page go on; a click goes forward only.
  run.state = RunState::MessageHidden;
  run.savedState = RunState::VoiceWait;
  run.voicePending = true;
  media.waveTakes = true;
  OnWheel(f.engine, true);
  OnMciNotify(f.engine, 1);
  FrameTick(f.engine, 0);
  OnLeftClick(f.engine, 5, 5);
  EXPECT_EQ(run.state, RunState::TextOutput);
  EXPECT_EQ(messages.outputSteps, 0);
}

TEST_F(PlayerModesTest, TheFlashbackOpensOnlyWithPagesKeptAndOutsideATransitionsFrames) {
  for (const RunState state : {RunState::TransitionStep, RunState::TransitionLast, RunState::Running}) {
    KeepPages(2, state);
    OnWheel(f.engine, true);
    EXPECT_EQ(run.state, state);
  }
  KeepPages(0, RunState::SelectWait);
  OnKey(f.engine, KeyPageUp);
  EXPECT_EQ(run.state, RunState::SelectWait);
  // The wheel turned down in a selection chooses nothing; elsewhere it is a click.
  EXPECT_EQ(OnWheel(f.engine, false), InputEffect::None);
  run.state = RunState::ClickWait;
  EXPECT_EQ(OnWheel(f.engine, false), InputEffect::Click);
}

} // namespace
} // namespace velmo
