// The shell's RunState machine: what a tick, a click, a key and a media notification do in each
// state, when the next tick is due, resuming, and restarting at an entry.
#include "engine/core/frame_driver.h"

#include "engine/core/engine.h"
#include "engine/core/interpreter.h"
#include "engine/core/script_door.h"
#include "tests/support/script_fixture.h"
#include "tests/support/shell_fakes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace velmo {
namespace {

using Calls = std::vector<std::string>;
const std::deque<PostedMessage> OneResume{PostedMessage::Resume};

// An engine with every subsystem recorded and "main.scn" open at its start. Each label leads to
// a line that tells which jump reached it.
class FrameDriverTest : public ::testing::Test {
protected:
  FrameDriverTest() {
    messageWindow.run = &f.engine.run;
    f.AddScenario("main.scn", {"first line", "// jumped", "jumped text", "// click", "click text", "// wave",
                               "wave text", "// midi", "midi text", "// cd", "cd text", "// movie", "movie text"});
    f.Open("main.scn");
  }

  void SetEvent(EventSlotId slot, const char* label) {
    f.engine.script.events[slot] = EventSlot{EventAction::GoTo, label};
  }
  void SetAllEvents() {
    SetEvent(UserClick, "#click");
    SetEvent(WaveNotify, "#wave");
    SetEvent(MidiNotify, "#midi");
    SetEvent(CddaNotify, "#cd");
    SetEvent(MovieNotify, "#movie");
  }
  bool EventSet(EventSlotId slot) const { return f.engine.script.EventSet(slot); }

  // Carries out the posted UM_RESUME and returns the message line it showed.
  std::string ShownAfterResume() {
    OnResume(f.engine, f.engine.door.CurrentWait());
    return messageWindow.texts.empty() ? std::string() : messageWindow.texts.back();
  }

  // Nothing posted or painted, and no subsystem asked for anything.
  void ExpectNoEffects() const {
    EXPECT_TRUE(f.window.posted.empty());
    EXPECT_EQ(f.window.repaints, 0);
    EXPECT_EQ(messageWindow.outputSteps, 0);
    EXPECT_TRUE(messageWindow.markerCalls.empty());
    EXPECT_TRUE(messageWindow.texts.empty());
    EXPECT_TRUE(selection.hits.empty());
    EXPECT_TRUE(media.calls.empty());
    EXPECT_TRUE(transition.calls.empty());
  }

  RecordingMessageWindow messageWindow;
  RecordingSelection selection;
  RecordingMediaChannels media;
  RecordingTransition transition;
  ScriptFixture f{EngineSeams{
      .messageWindow = &messageWindow, .selection = &selection, .media = &media, .transition = &transition}};
};

template <typename Param> class FrameDriverParamTest : public FrameDriverTest,
                                                       public ::testing::WithParamInterface<Param> {};

// --- FrameTick ---

using FrameTickTest = FrameDriverTest;

TEST_F(FrameTickTest, TextOutputTypesOneStep) {
  f.engine.run.state = RunState::TextOutput;
  FrameTick(f.engine, 100);
  EXPECT_EQ(messageWindow.outputSteps, 1);
  EXPECT_TRUE(f.window.posted.empty());
}

TEST_F(FrameTickTest, ClickWaitShowsThePageMarker) {
  f.engine.run.state = RunState::ClickWait;
  FrameTick(f.engine, 100);
  EXPECT_EQ(messageWindow.markerCalls, std::vector<bool>{true});
  EXPECT_EQ(messageWindow.outputSteps, 0);
}

TEST_F(FrameTickTest, SelectWaitClearsBothSkipFlagsSoFastForwardStopsAtTheSelection) {
  f.engine.run.state = RunState::SelectWait;
  f.engine.run.clickSkip = true;
  f.engine.run.skipToOption = true;
  f.engine.run.waitDeadline = 5000;
  FrameTick(f.engine, 100);
  EXPECT_FALSE(f.engine.run.clickSkip);
  EXPECT_FALSE(f.engine.run.skipToOption);
  EXPECT_EQ(f.engine.run.waitDeadline, 5000u);
  EXPECT_TRUE(f.window.posted.empty());
}

TEST_F(FrameTickTest, TimedWaitEndsAtOnceWhenSkippingToTheNextOption) {
  f.engine.run.state = RunState::TimedWait;
  f.engine.run.skipToOption = true;
  f.engine.run.waitDeadline = 5000;
  FrameTick(f.engine, 100);
  EXPECT_EQ(f.engine.run.waitDeadline, 0u);
  EXPECT_EQ(f.window.posted, OneResume);
}

TEST_F(FrameTickTest, TimedWaitDoesNotEndOnClickSkip) {
  f.engine.run.state = RunState::TimedWait;
  f.engine.run.clickSkip = true;
  f.engine.run.waitDeadline = 5000;
  FrameTick(f.engine, 100);
  EXPECT_EQ(f.engine.run.waitDeadline, 5000u);
  EXPECT_TRUE(f.window.posted.empty());
}

TEST_F(FrameTickTest, TransitionStepStepsAndRepaintsWhileUnfinished) {
  f.engine.run.state = RunState::TransitionStep;
  FrameTick(f.engine, 100);
  FrameTick(f.engine, 133);
  EXPECT_EQ(transition.calls, (Calls{"step", "step"}));
  EXPECT_EQ(f.window.repaints, 2);
  EXPECT_EQ(f.engine.run.state, RunState::TransitionStep);
  EXPECT_TRUE(f.window.posted.empty());
}

TEST_F(FrameTickTest, TransitionLastRunsUntilTheFunctionReturnsZeroWhateverTheSkipFlags) {
  f.engine.run.state = RunState::TransitionLast;
  f.engine.run.clickSkip = true;
  f.engine.run.skipToOption = true;
  transition.results = {1, 0};
  FrameTick(f.engine, 100);
  EXPECT_EQ(f.engine.run.state, RunState::TransitionLast);
  FrameTick(f.engine, 133);
  EXPECT_EQ(f.engine.run.state, RunState::TransitionEnd);
  EXPECT_EQ(transition.calls, (Calls{"step", "step"}));
  EXPECT_EQ(f.window.repaints, 2);
  EXPECT_TRUE(f.window.posted.empty());
}

TEST_F(FrameTickTest, TransitionEndCopiesTheFinalPictureRepaintsAndResumes) {
  f.engine.run.state = RunState::TransitionEnd;
  FrameTick(f.engine, 100);
  EXPECT_EQ(transition.calls, Calls{"copy"});
  EXPECT_EQ(f.window.repaints, 1);
  EXPECT_EQ(f.window.posted, OneResume);
}

TEST(FrameTickWithoutStandInsTest, TransitionNeverStartedHasNothingToStepAndResumes) {
  ScriptFixture bare;
  bare.engine.run.state = RunState::TransitionStep;
  FrameTick(bare.engine, 100);
  EXPECT_EQ(bare.engine.run.state, RunState::TransitionLast);
  FrameTick(bare.engine, 150);
  EXPECT_EQ(bare.engine.run.state, RunState::TransitionEnd);
  FrameTick(bare.engine, 200);
  EXPECT_EQ(bare.window.posted, OneResume);
}

// What makes TransitionStep go on to its finishing frames.
enum class FinishCause { FunctionReturnedZero, ClickSkip, SkipToOption };
using TransitionFinishTest = FrameDriverParamTest<FinishCause>;

TEST_P(TransitionFinishTest, StepThenStartsTheFinishingFrames) {
  f.engine.run.state = RunState::TransitionStep;
  transition.results = {GetParam() == FinishCause::FunctionReturnedZero ? 0 : 1};
  f.engine.run.clickSkip = GetParam() == FinishCause::ClickSkip;
  f.engine.run.skipToOption = GetParam() == FinishCause::SkipToOption;
  FrameTick(f.engine, 100);
  EXPECT_EQ(transition.calls, (Calls{"step", "finish"}));
  EXPECT_EQ(f.window.repaints, 1);
  EXPECT_EQ(f.engine.run.state, RunState::TransitionLast);
  EXPECT_TRUE(f.window.posted.empty());
}

INSTANTIATE_TEST_SUITE_P(Causes, TransitionFinishTest,
                         ::testing::Values(FinishCause::FunctionReturnedZero, FinishCause::ClickSkip,
                                           FinishCause::SkipToOption));

// The deadline test shared by TimedWait and SelectWait, on the wrapping 32-bit clock.
struct DeadlineCase {
  const char* name;
  std::uint32_t deadline;
  std::uint32_t now;
  bool ends;
};
using DeadlineTest = FrameDriverParamTest<std::tuple<RunState, DeadlineCase>>;

TEST_P(DeadlineTest, WaitEndsOnlyOnceTheDeadlineLiesBehindNow) {
  const DeadlineCase& c = std::get<1>(GetParam());
  f.engine.run.state = std::get<0>(GetParam());
  f.engine.run.waitDeadline = c.deadline;
  FrameTick(f.engine, c.now);
  if (c.ends) {
    EXPECT_EQ(f.engine.run.waitDeadline, 0u);
    EXPECT_EQ(f.window.posted, OneResume);
  } else {
    EXPECT_EQ(f.engine.run.waitDeadline, c.deadline);
    EXPECT_TRUE(f.window.posted.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Clock, DeadlineTest,
    ::testing::Combine(::testing::Values(RunState::TimedWait, RunState::SelectWait),
                       ::testing::Values(DeadlineCase{"OneMsPast", 1000, 1001, true},
                                         DeadlineCase{"ExactlyAtIt", 1000, 1000, false},
                                         DeadlineCase{"OneMsBefore", 1000, 999, false},
                                         DeadlineCase{"PastAcrossTheWrap", 0xFFFFFFF0u, 0x10u, true},
                                         DeadlineCase{"BeforeAcrossTheWrap", 0x10u, 0xFFFFFFF0u, false},
                                         DeadlineCase{"NoDeadlineJustAfterZero", 0, 1, false},
                                         DeadlineCase{"NoDeadlineHalfTheClockLater", 0, 0x7FFFFFFFu, false})),
    [](const auto& tested) {
      return std::string(std::get<1>(tested.param).name) +
             (std::get<0>(tested.param) == RunState::TimedWait ? "_TimedWait" : "_SelectWait");
    });

// States a tick leaves alone, even with every flag set and a deadline long passed.
using IdleTickTest = FrameDriverParamTest<RunState>;

TEST_P(IdleTickTest, TickDoesNothing) {
  f.engine.run.state = GetParam();
  f.engine.run.clickSkip = true;
  f.engine.run.skipToOption = true;
  f.engine.run.waitDeadline = 1;
  FrameTick(f.engine, 1000);
  ExpectNoEffects();
  EXPECT_EQ(f.engine.run.state, GetParam());
  EXPECT_EQ(f.engine.run.waitDeadline, 1u);
  EXPECT_TRUE(f.engine.run.clickSkip);
  EXPECT_TRUE(f.engine.run.skipToOption);
}

INSTANTIATE_TEST_SUITE_P(States, IdleTickTest,
                         ::testing::Values(RunState::NotStarted, RunState::Running, RunState::VoiceWait,
                                           RunState::MusicWait, RunState::SoundWait, RunState::CDWait,
                                           RunState::MovieWait, RunState::MixerWait, RunState::MessageHidden,
                                           RunState::Terminating));

// --- NextTickTime (the tick ran at 1000; the transition's frames are 33 ms apart) ---

struct NextTickCase {
  const char* name;
  RunState state;
  bool clickSkip;
  bool skipToOption;
  std::int32_t textStepIntervalMs;
  std::int32_t speed;
  std::uint32_t expected;
};
using NextTickTimeTest = FrameDriverParamTest<NextTickCase>;

TEST_P(NextTickTimeTest, DueTimeFollowsTheStateTheTickLeft) {
  const NextTickCase& c = GetParam();
  f.engine.run.state = c.state;
  f.engine.run.clickSkip = c.clickSkip;
  f.engine.run.skipToOption = c.skipToOption;
  f.engine.run.textStepIntervalMs = c.textStepIntervalMs;
  f.engine.settings.speed = c.speed;
  EXPECT_EQ(NextTickTime(f.engine, 1000), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    States, NextTickTimeTest,
    ::testing::Values(NextTickCase{"TextOutputAfterTheStepInterval", RunState::TextOutput, false, false, 40, 5, 1040},
                      NextTickCase{"TextOutputAtPlayerSpeed", RunState::TextOutput, false, false, -1, 7, 1028},
                      NextTickCase{"TextOutputClickSkipAtOnce", RunState::TextOutput, true, false, 40, 5, 1000},
                      NextTickCase{"TextOutputFastForwardAtOnce", RunState::TextOutput, false, true, -1, 7, 1000},
                      NextTickCase{"SelectWait", RunState::SelectWait, false, false, 40, 5, 1010},
                      NextTickCase{"TimedWaitEvenWithClickSkip", RunState::TimedWait, true, false, 40, 5, 1010},
                      NextTickCase{"TransitionStep", RunState::TransitionStep, false, false, 40, 5, 1033},
                      NextTickCase{"TransitionLast", RunState::TransitionLast, true, false, 40, 5, 1033},
                      NextTickCase{"TransitionEnd", RunState::TransitionEnd, false, false, 40, 5, 1050},
                      NextTickCase{"ClickWaitEvenWithClickSkip", RunState::ClickWait, true, true, 40, 5, 1050},
                      NextTickCase{"VoiceWait", RunState::VoiceWait, false, false, 40, 5, 1050},
                      NextTickCase{"MixerWait", RunState::MixerWait, false, false, 40, 5, 1050},
                      NextTickCase{"MessageHidden", RunState::MessageHidden, false, false, 40, 5, 1050},
                      NextTickCase{"Running", RunState::Running, false, false, 40, 5, 1050}),
    [](const auto& tested) { return std::string(tested.param.name); });

// --- Left click (Enter and Space are mapped onto it) ---

using LeftClickTest = FrameDriverTest;

// States in which a set USER_CLICK handler takes the click instead of the state's own handling.
using ClickEventTest = FrameDriverParamTest<RunState>;

TEST_P(ClickEventTest, UserClickHandlerTakesTheClickAndNothingElseHappens) {
  f.engine.run.state = GetParam();
  f.engine.run.skipMode = SkipMode::All;
  f.engine.run.skipToOption = true;
  f.engine.run.waitDeadline = 5000;
  selection.choice = SelectionChoice{1, EntryKind::Return, 1};
  SetEvent(UserClick, "#click");
  OnLeftClick(f.engine, 10, 10);
  EXPECT_FALSE(EventSet(UserClick));
  EXPECT_EQ(f.window.posted, OneResume); // the handler's @GoTo
  EXPECT_EQ(f.engine.run.state, GetParam());
  EXPECT_FALSE(f.engine.run.clickSkip);
  EXPECT_TRUE(f.engine.run.skipToOption);
  EXPECT_EQ(f.engine.run.waitDeadline, 5000u);
  EXPECT_TRUE(selection.hits.empty());
  EXPECT_TRUE(media.calls.empty());
  EXPECT_TRUE(messageWindow.markerCalls.empty());
  EXPECT_EQ(ShownAfterResume(), "click text");
}

INSTANTIATE_TEST_SUITE_P(States, ClickEventTest,
                         ::testing::Values(RunState::TextOutput, RunState::ClickWait, RunState::SelectWait,
                                           RunState::TimedWait, RunState::MusicWait, RunState::SoundWait,
                                           RunState::CDWait, RunState::MovieWait));

using ClickEventIgnoredTest = FrameDriverParamTest<RunState>;

TEST_P(ClickEventIgnoredTest, UserClickHandlerStaysSet) {
  f.engine.run.state = GetParam();
  f.engine.run.savedState = RunState::ClickWait;
  SetEvent(UserClick, "#click");
  OnLeftClick(f.engine, 10, 10);
  EXPECT_TRUE(EventSet(UserClick));
  EXPECT_TRUE(f.window.posted.empty());
}

INSTANTIATE_TEST_SUITE_P(States, ClickEventIgnoredTest,
                         ::testing::Values(RunState::VoiceWait, RunState::MixerWait, RunState::TransitionStep,
                                           RunState::TransitionLast, RunState::TransitionEnd, RunState::MessageHidden));

// TextOutput: the click ends fast-forward, and finishes the page unless clicks never skip.
using TextOutputClickTest = FrameDriverParamTest<int>;

TEST_P(TextOutputClickTest, ClickEndsFastForwardAndSkipsByMode) {
  f.engine.run.state = RunState::TextOutput;
  f.engine.run.skipMode = static_cast<SkipMode>(GetParam());
  f.engine.run.skipToOption = true;
  OnLeftClick(f.engine, 0, 0);
  EXPECT_FALSE(f.engine.run.skipToOption);
  EXPECT_EQ(f.engine.run.clickSkip, GetParam() != 0);
  EXPECT_EQ(f.engine.run.state, RunState::TextOutput);
  ExpectNoEffects();
}

INSTANTIATE_TEST_SUITE_P(SkipModes, TextOutputClickTest, ::testing::Values(0, 1, 2));

TEST_F(LeftClickTest, TextOutputClickStopsAPendingVoice) {
  f.engine.run.state = RunState::TextOutput;
  f.engine.run.skipMode = SkipMode::Text;
  f.engine.run.voicePending = true;
  OnLeftClick(f.engine, 0, 0);
  EXPECT_EQ(media.calls, Calls{"stop wave"});
  EXPECT_FALSE(f.engine.run.voicePending);
  EXPECT_TRUE(f.engine.run.clickSkip);
}

TEST_F(LeftClickTest, VoiceWaitClickStopsTheVoiceAndTypesOn) {
  f.engine.run.state = RunState::VoiceWait;
  f.engine.run.skipMode = SkipMode::Text;
  f.engine.run.voicePending = true;
  OnLeftClick(f.engine, 0, 0);
  EXPECT_EQ(media.calls, Calls{"stop wave"});
  EXPECT_FALSE(f.engine.run.voicePending);
  EXPECT_TRUE(f.engine.run.clickSkip);
  EXPECT_EQ(f.engine.run.state, RunState::TextOutput);
  EXPECT_TRUE(f.window.posted.empty());
}

TEST_F(LeftClickTest, VoiceWaitClickWithSkipModeZeroKeepsWaitingForTheVoice) {
  f.engine.run.state = RunState::VoiceWait;
  f.engine.run.voicePending = true;
  OnLeftClick(f.engine, 0, 0);
  EXPECT_TRUE(f.engine.run.voicePending);
  EXPECT_FALSE(f.engine.run.clickSkip);
  EXPECT_EQ(f.engine.run.state, RunState::VoiceWait);
  ExpectNoEffects();
}

TEST_F(LeftClickTest, VoiceWaitClickWithoutPendingVoiceOnlySetsClickSkip) {
  f.engine.run.state = RunState::VoiceWait;
  f.engine.run.skipMode = SkipMode::All;
  OnLeftClick(f.engine, 0, 0);
  EXPECT_TRUE(f.engine.run.clickSkip);
  EXPECT_EQ(f.engine.run.state, RunState::VoiceWait);
  ExpectNoEffects();
}

TEST_F(LeftClickTest, ClickWaitErasesTheMarkerAndTypesOn) {
  f.engine.run.state = RunState::ClickWait;
  OnLeftClick(f.engine, 0, 0);
  EXPECT_EQ(messageWindow.markerCalls, std::vector<bool>{false});
  EXPECT_EQ(f.engine.run.state, RunState::TextOutput);
  EXPECT_TRUE(f.window.posted.empty());
}

TEST_F(LeftClickTest, SelectionClickThatHitsNothingChangesNothing) {
  f.engine.run.state = RunState::SelectWait;
  f.engine.run.waitDeadline = 5000;
  f.engine.script.variables.SetVarText("exit", "before");
  OnLeftClick(f.engine, 120, 340);
  EXPECT_EQ(selection.hits, (std::vector<std::pair<int, int>>{{120, 340}}));
  EXPECT_EQ(f.engine.run.waitDeadline, 5000u);
  EXPECT_EQ(f.Var("exit"), "before");
  EXPECT_EQ(f.engine.run.state, RunState::SelectWait);
  EXPECT_TRUE(f.window.posted.empty());
}

TEST_F(LeftClickTest, JumpChoiceRunsGoToTheOptionValueAtOnce) {
  f.engine.run.state = RunState::SelectWait;
  f.engine.run.waitDeadline = 5000;
  f.engine.script.variables.SetVarText("option[2]", "#jumped");
  selection.choice = SelectionChoice{3, EntryKind::Jump, 2};
  OnLeftClick(f.engine, 50, 60);
  EXPECT_EQ(f.engine.run.waitDeadline, 0u);
  EXPECT_EQ(f.Var("exit"), "3");
  EXPECT_EQ(f.engine.script.scenario->paragraph, "jumped");
  EXPECT_EQ(f.window.posted, OneResume); // posted by the jump itself
  EXPECT_EQ(ShownAfterResume(), "jumped text");
}

TEST_F(LeftClickTest, ReturnChoiceSetsExitToTheOptionTextAndResumesInPlace) {
  f.engine.run.state = RunState::SelectWait;
  f.engine.run.waitDeadline = 5000;
  f.engine.script.variables.SetVarText("option[1]", "#jumped");
  selection.choice = SelectionChoice{4, EntryKind::Return, 1};
  OnLeftClick(f.engine, 50, 60);
  EXPECT_EQ(f.engine.run.waitDeadline, 0u);
  EXPECT_EQ(f.Var("exit"), "#jumped");
  EXPECT_EQ(f.window.posted, OneResume);
  EXPECT_EQ(ShownAfterResume(), "first line");
}

// TransitionStep and TimedWait: a click asks to cut short only when clicks skip everything.
using SkipClickTest = FrameDriverParamTest<std::tuple<RunState, int>>;

TEST_P(SkipClickTest, ClickSetsClickSkipOnlyWithSkipModeTwo) {
  const RunState state = std::get<0>(GetParam());
  f.engine.run.state = state;
  f.engine.run.skipMode = static_cast<SkipMode>(std::get<1>(GetParam()));
  f.engine.run.waitDeadline = 5000;
  OnLeftClick(f.engine, 0, 0);
  EXPECT_EQ(f.engine.run.clickSkip, f.engine.run.skipMode == SkipMode::All);
  EXPECT_EQ(f.engine.run.state, state);
  EXPECT_EQ(f.engine.run.waitDeadline, 5000u);
  ExpectNoEffects();
}

INSTANTIATE_TEST_SUITE_P(StatesAndModes, SkipClickTest,
                         ::testing::Combine(::testing::Values(RunState::TransitionStep, RunState::TimedWait),
                                            ::testing::Values(0, 1, 2)));

TEST_F(LeftClickTest, ClickInTimedWaitLeavesTheWaitToItsDeadline) {
  f.engine.run.state = RunState::TimedWait;
  f.engine.run.skipMode = SkipMode::All;
  f.engine.run.waitDeadline = 5000;
  OnLeftClick(f.engine, 0, 0);
  FrameTick(f.engine, 1000);
  EXPECT_TRUE(f.window.posted.empty());
  FrameTick(f.engine, 5001);
  EXPECT_EQ(f.window.posted, OneResume);
}

// Music, sound and CD waits: a click stops the channel and ends the wait.
using MediaWaitClickTest = FrameDriverParamTest<std::pair<RunState, const char*>>;

TEST_P(MediaWaitClickTest, ClickStopsTheChannelAndResumes) {
  f.engine.run.state = GetParam().first;
  OnLeftClick(f.engine, 0, 0);
  EXPECT_EQ(media.calls, Calls{GetParam().second});
  EXPECT_EQ(f.window.posted, OneResume);
}

INSTANTIATE_TEST_SUITE_P(Channels, MediaWaitClickTest,
                         ::testing::Values(std::make_pair(RunState::MusicWait, "stop music"),
                                           std::make_pair(RunState::SoundWait, "stop wave"),
                                           std::make_pair(RunState::CDWait, "stop cd")));

TEST(LeftClickWithoutStandInsTest, MediaWaitClickWithNothingPlayingOnTheEnginesChannelsStillEndsTheWait) {
  ScriptFixture bare;
  bare.engine.run.state = RunState::SoundWait;
  OnLeftClick(bare.engine, 0, 0);
  EXPECT_EQ(bare.window.posted, OneResume);
}

TEST_F(LeftClickTest, MessageHiddenClickRestoresTheSavedStateAndRepaints) {
  f.engine.run.state = RunState::MessageHidden;
  f.engine.run.savedState = RunState::TimedWait;
  OnLeftClick(f.engine, 0, 0);
  EXPECT_EQ(f.engine.run.state, RunState::TimedWait);
  EXPECT_EQ(f.window.repaints, 1);
  EXPECT_TRUE(f.window.posted.empty());
}

using IgnoredClickTest = FrameDriverParamTest<RunState>;

TEST_P(IgnoredClickTest, ClickDoesNothing) {
  f.engine.run.state = GetParam();
  f.engine.run.skipMode = SkipMode::All;
  f.engine.run.skipToOption = true;
  OnLeftClick(f.engine, 0, 0);
  ExpectNoEffects();
  EXPECT_EQ(f.engine.run.state, GetParam());
  EXPECT_FALSE(f.engine.run.clickSkip);
  EXPECT_TRUE(f.engine.run.skipToOption);
}

INSTANTIATE_TEST_SUITE_P(States, IgnoredClickTest,
                         ::testing::Values(RunState::MovieWait, RunState::MixerWait, RunState::TransitionLast,
                                           RunState::TransitionEnd, RunState::Running, RunState::Terminating));

// --- Right click ---

struct RightClickCase {
  std::int32_t fullScreen;
  std::int32_t rightClick;
  RightClickAction expected;
};
using RightClickTest = FrameDriverParamTest<RightClickCase>;

TEST_P(RightClickTest, FullScreenOpensThePopUpElseTheMouseSettingDecides) {
  f.engine.settings.fullScreen = GetParam().fullScreen;
  f.engine.settings.rightClick = GetParam().rightClick;
  EXPECT_EQ(OnRightClick(f.engine), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, RightClickTest,
    ::testing::Values(
        RightClickCase{1, 0, RightClickAction::FullScreenMenu}, RightClickCase{1, 3, RightClickAction::FullScreenMenu},
        RightClickCase{2, 1, RightClickAction::FullScreenMenu}, RightClickCase{2, 5, RightClickAction::FullScreenMenu},
        RightClickCase{0, 0, RightClickAction::None}, RightClickCase{0, 1, RightClickAction::SkipToOption},
        RightClickCase{0, 2, RightClickAction::EraseMessage}, RightClickCase{0, 3, RightClickAction::Config},
        RightClickCase{0, 4, RightClickAction::Capture}, RightClickCase{0, 5, RightClickAction::CaptureAuto},
        RightClickCase{0, 6, RightClickAction::None}, RightClickCase{0, -1, RightClickAction::None}));

// --- Keys and mouse movement ---

using SelectionInputTest = FrameDriverTest;

TEST_F(SelectionInputTest, ArrowsAndOtherKeysGoToTheSelection) {
  f.engine.run.state = RunState::SelectWait;
  OnKey(f.engine, KeyUp);
  OnKey(f.engine, KeyDown);
  OnKey(f.engine, KeyDown);
  OnKey(f.engine, 'A');
  OnKey(f.engine, 0x70);
  EXPECT_EQ(selection.ups, 1);
  EXPECT_EQ(selection.downs, 2);
  EXPECT_EQ(selection.keys, (std::vector<int>{'A', 0x70}));
}

TEST_F(SelectionInputTest, MouseMoveHoversInASelection) {
  f.engine.run.state = RunState::SelectWait;
  OnMouseMove(f.engine, 200, 300);
  EXPECT_EQ(selection.hovers, (std::vector<std::pair<int, int>>{{200, 300}}));
}

using InputOutsideSelectionTest = FrameDriverParamTest<RunState>;

TEST_P(InputOutsideSelectionTest, KeysAndMouseMovesAreIgnored) {
  f.engine.run.state = GetParam();
  OnKey(f.engine, KeyUp);
  OnKey(f.engine, KeyDown);
  OnKey(f.engine, 'A');
  OnMouseMove(f.engine, 200, 300);
  EXPECT_EQ(selection.ups, 0);
  EXPECT_EQ(selection.downs, 0);
  EXPECT_TRUE(selection.keys.empty());
  EXPECT_TRUE(selection.hovers.empty());
}

INSTANTIATE_TEST_SUITE_P(States, InputOutsideSelectionTest,
                         ::testing::Values(RunState::TextOutput, RunState::ClickWait, RunState::TimedWait,
                                           RunState::MessageHidden));

// --- Multimedia notifications ---

using MediaNotifyTest = FrameDriverTest;

TEST_F(MediaNotifyTest, EndOfThePendingVoiceLetsThePageGoOnWithoutTheEvent) {
  f.engine.run.state = RunState::VoiceWait;
  f.engine.run.voicePending = true;
  media.waveTakes = true;
  SetAllEvents();
  OnMciNotify(f.engine, 7);
  EXPECT_FALSE(f.engine.run.voicePending);
  EXPECT_EQ(f.engine.run.state, RunState::TextOutput);
  EXPECT_TRUE(EventSet(WaveNotify));
  EXPECT_EQ(media.calls, Calls{"wave 7"});
  EXPECT_TRUE(f.window.posted.empty());
}

TEST_F(MediaNotifyTest, WaveEndFiresTheWaveHandler) {
  f.engine.run.state = RunState::ClickWait;
  media.waveTakes = true;
  SetAllEvents();
  OnMciNotify(f.engine, 7);
  EXPECT_FALSE(EventSet(WaveNotify));
  EXPECT_TRUE(EventSet(MidiNotify));
  EXPECT_EQ(media.calls, Calls{"wave 7"});
  EXPECT_EQ(ShownAfterResume(), "wave text");
}

TEST_F(MediaNotifyTest, WaveEndWithoutHandlerFiresNothing) {
  f.engine.run.state = RunState::ClickWait;
  media.waveTakes = true;
  SetEvent(MidiNotify, "#midi");
  SetEvent(CddaNotify, "#cd");
  OnMciNotify(f.engine, 7);
  EXPECT_TRUE(EventSet(MidiNotify));
  EXPECT_TRUE(EventSet(CddaNotify));
  EXPECT_EQ(f.engine.run.state, RunState::ClickWait);
  EXPECT_TRUE(f.window.posted.empty());
}

TEST_F(MediaNotifyTest, MusicEndFiresTheMidiHandlerAfterTheWaveChannelDeclines) {
  media.musicTakes = true;
  SetAllEvents();
  OnMciNotify(f.engine, 9);
  EXPECT_EQ(media.calls, (Calls{"wave 9", "music 9"}));
  EXPECT_FALSE(EventSet(MidiNotify));
  EXPECT_TRUE(EventSet(WaveNotify));
  EXPECT_TRUE(EventSet(CddaNotify));
  EXPECT_EQ(ShownAfterResume(), "midi text");
}

TEST_F(MediaNotifyTest, CdEndFiresTheCddaHandlerAfterTheOtherChannelsDecline) {
  media.cdTakes = true;
  SetAllEvents();
  OnMciNotify(f.engine, 9);
  EXPECT_EQ(media.calls, (Calls{"wave 9", "music 9", "cd 9"}));
  EXPECT_FALSE(EventSet(CddaNotify));
  EXPECT_TRUE(EventSet(WaveNotify));
  EXPECT_TRUE(EventSet(MidiNotify));
  EXPECT_EQ(ShownAfterResume(), "cd text");
}

TEST_F(MediaNotifyTest, NotificationNoChannelTakesFiresNothing) {
  SetAllEvents();
  OnMciNotify(f.engine, 9);
  EXPECT_EQ(media.calls, (Calls{"wave 9", "music 9", "cd 9"}));
  for (const EventSlot& slot : f.engine.script.events) EXPECT_NE(slot.action, EventAction::None);
  EXPECT_TRUE(f.window.posted.empty());
}

TEST_F(MediaNotifyTest, AFailedPlayIsHandedOnAsAnEndThatFailed) {
  media.cdTakes = true;
  SetAllEvents();
  OnMciNotify(f.engine, 9, PlayEnd::Failed);
  EXPECT_EQ(media.calls, (Calls{"wave 9 failed", "music 9 failed", "cd 9 failed"}));
  EXPECT_EQ(ShownAfterResume(), "cd text");
}

// After the settings changed: what is no longer enabled stops.
struct DisabledCase {
  const char* name;
  void (*change)(Settings&);
  bool voicePending;
  Calls calls;
};
void PrintTo(const DisabledCase& c, std::ostream* out) { *out << c.name; }

using StopDisabledMediaTest = FrameDriverParamTest<DisabledCase>;

TEST_P(StopDisabledMediaTest, StopsTheChannelsWhoseDeviceIsNoLongerEnabled) {
  GetParam().change(f.engine.settings);
  f.engine.run.voicePending = GetParam().voicePending;
  StopDisabledMedia(f.engine);
  EXPECT_EQ(media.calls, GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, StopDisabledMediaTest,
    ::testing::Values(DisabledCase{"AllEnabled", [](Settings&) {}, true, {}},
                      DisabledCase{"EffectsOff", [](Settings& s) { s.enableSe = 0; }, false, {"stop wave"}},
                      DisabledCase{"EffectsOffWhileAVoicePlays", [](Settings& s) { s.enableSe = 0; }, true, {}},
                      DisabledCase{
                          "VoiceOffWhileAVoicePlays", [](Settings& s) { s.enableVoice = 0; }, true, {"stop wave"}},
                      DisabledCase{"NoMidiDevice", [](Settings& s) { s.enableMidi = 2; }, false, {"stop music"}},
                      DisabledCase{"CdOff", [](Settings& s) { s.enableCdda = 0; }, false, {"stop cd"}},
                      DisabledCase{"MoviesOff", [](Settings& s) { s.enableAvi = 0; }, false, {"close movie"}}),
    [](const ::testing::TestParamInfo<DisabledCase>& tested) { return tested.param.name; });

TEST(MediaNotifyWithoutStandInsTest, NotificationsNoneOfTheEnginesChannelsPlaysForDoNothing) {
  ScriptFixture f;
  f.engine.run.state = RunState::VoiceWait;
  f.engine.run.voicePending = true;
  for (EventSlot& slot : f.engine.script.events) slot = EventSlot{EventAction::GoTo, "#click"};
  OnMciNotify(f.engine, 7);
  OnMovieNotify(f.engine);
  EXPECT_TRUE(f.engine.run.voicePending);
  EXPECT_EQ(f.engine.run.state, RunState::VoiceWait);
  for (const EventSlot& slot : f.engine.script.events) EXPECT_NE(slot.action, EventAction::None);
  EXPECT_TRUE(f.window.posted.empty());
}

TEST_F(MediaNotifyTest, MovieStopFiresTheMovieHandler) {
  media.movieTakes = true;
  SetAllEvents();
  OnMovieNotify(f.engine);
  EXPECT_EQ(media.calls, Calls{"movie"});
  EXPECT_FALSE(EventSet(MovieNotify));
  EXPECT_TRUE(EventSet(UserClick));
  EXPECT_EQ(ShownAfterResume(), "movie text");
}

TEST_F(MediaNotifyTest, MovieNotificationThePlayerDeclinesFiresNothing) {
  SetAllEvents();
  OnMovieNotify(f.engine);
  EXPECT_TRUE(EventSet(MovieNotify));
  EXPECT_TRUE(f.window.posted.empty());
}

// --- UM_RESUME and restarting at an entry ---

using ResumeTest = FrameDriverTest;

TEST_F(ResumeTest, ResumeRunsTheScenarioUntilItWaits) {
  EXPECT_EQ(ShownAfterResume(), "first line");
  EXPECT_EQ(f.engine.run.state, RunState::TextOutput);
  EXPECT_TRUE(f.errors.empty());
}

TEST_F(ResumeTest, ResumeSetsRunningBeforeRunning) {
  f.AddScenario("jump.scn", {"@GoTo #next", "// next", "next"});
  f.Open("jump.scn");
  f.engine.run.state = RunState::TimedWait;
  OnResume(f.engine, f.engine.door.CurrentWait());
  EXPECT_EQ(f.engine.run.state, RunState::Running); // the jump waits for nothing
  EXPECT_EQ(f.window.posted, OneResume);
}

TEST_F(ResumeTest, ResumeOnceTerminatingRunsNothing) {
  f.engine.run.state = RunState::Terminating;
  OnResume(f.engine, f.engine.door.CurrentWait());
  EXPECT_EQ(f.engine.run.state, RunState::Terminating);
  EXPECT_TRUE(messageWindow.texts.empty());
  EXPECT_EQ(f.engine.script.linesRead, 0u);
}

using JumpToEntryRestartTest = FrameDriverTest;

TEST_F(JumpToEntryRestartTest, RestartEmptiesTheMessageWindowAndResumesAtTheEntry) {
  f.AddScenario("other.scn", {"skipped", "// start", "restarted"});
  RunScenario(f.engine, "@GoSub \"#jumped\"");
  ASSERT_EQ(f.engine.script.scenarioStack.Depth(), 1);
  SetAllEvents();
  f.engine.run.waitDeadline = 5000;
  f.engine.run.state = RunState::TimedWait;
  f.window.ClearPosted();
  JumpToEntry(f.engine, "other.scn#start");
  EXPECT_EQ(f.engine.script.scenarioStack.Depth(), 0);
  EXPECT_EQ(messageWindow.resets, 1);
  EXPECT_EQ(f.engine.run.waitDeadline, 0u);
  for (const EventSlot& slot : f.engine.script.events) EXPECT_EQ(slot.action, EventAction::None);
  EXPECT_EQ(f.window.posted, OneResume);
  EXPECT_EQ(f.engine.script.scenario->fileName, "other.scn");
  EXPECT_EQ(ShownAfterResume(), "restarted");
}

} // namespace
} // namespace velmo
