// The one door back into the script: every wait ends in exactly one run of the interpreter,
// whatever ends it, a resume for a wait that is over is dropped, a jump to an entry leaves nothing
// of the wait running, and what arrives while a box is open is held until it closes.
#include "engine/core/script_door.h"

#include "engine/core/engine.h"
#include "engine/core/frame_driver.h"
#include "engine/core/interpreter.h"
#include "engine/script/script_state.h"
#include "tests/support/script_fixture.h"
#include "tests/support/shell_fakes.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace velmo {
namespace {

using Texts = std::vector<std::string>;
using Calls = std::vector<std::string>;

// A wait of the engine: the lines that lead into it (the state is then forced where no command
// exists yet to enter it), how it ends when nothing interferes, and what stopping it leaves in the
// media channels' record (every jump also closes the movie and detaches the fades).
struct WaitCase {
  const char* name;
  std::vector<std::string> lines;
  RunState forced; // NotStarted: the lines enter the wait themselves
  std::function<void(ScriptFixture&, std::uint32_t ticket)> end;
  Calls stoppedByJump;
};

void TextDone(ScriptFixture& f, std::uint32_t ticket) { f.engine.door.RequestResume(ticket); }
void Click(ScriptFixture& f) { OnLeftClick(f.engine, 0, 0); }
void TickPast(ScriptFixture& f) {
  for (int ticks = 0; ticks < 50 && f.window.posted.empty(); ++ticks) {
    f.clock.Advance(1000);
    FrameTick(f.engine, f.clock.NowMs());
  }
}

const WaitCase Waits[] = {
    {"TextOutput", {"hello"}, RunState::NotStarted, TextDone, {"close movie", "detach fades"}},
    {"ClickWait",
     {"hello"},
     RunState::ClickWait,
     [](ScriptFixture& f, std::uint32_t t) {
       Click(f);
       TextDone(f, t);
     },
     {"close movie", "detach fades"}},
    {"VoiceWait",
     {"hello"},
     RunState::VoiceWait,
     [](ScriptFixture& f, std::uint32_t t) {
       OnMciNotify(f.engine, 7);
       TextDone(f, t);
     },
     {"close movie", "detach fades", "stop wave"}},
    {"SelectWait",
     {"@BeginSelect", "@Option one CODE=1", "@EndSelect"},
     RunState::NotStarted,
     [](ScriptFixture& f, std::uint32_t) {
       TakeChoice(f.engine, SelectionChoice{0, EntryKind::Return, 0});
     },
     {"close movie", "detach fades"}},
    {"TimedWait",
     {"@Wait 100"},
     RunState::NotStarted,
     [](ScriptFixture& f, std::uint32_t) { TickPast(f); },
     {"close movie", "detach fades"}},
    {"SoundWait", {"@Wait"}, RunState::SoundWait, TextDone, {"stop wave", "close movie", "detach fades"}},
    {"MusicWait", {"@Wait"}, RunState::MusicWait, TextDone, {"stop music", "close movie", "detach fades"}},
    {"CDWait", {"@Wait"}, RunState::CDWait, TextDone, {"stop cd", "close movie", "detach fades"}},
    {"MixerWait", {"@Wait"}, RunState::MixerWait, TextDone, {"close movie", "detach fades"}},
    {"Transition",
     {"@AssignLayer 1 0 0", "@UpdateScreen"},
     RunState::NotStarted,
     [](ScriptFixture& f, std::uint32_t) { TickPast(f); },
     {"close movie", "detach fades"}},
    {"MessageHidden",
     {"@Wait 100"},
     RunState::MessageHidden,
     [](ScriptFixture& f, std::uint32_t) {
       Click(f); // shows the window again: the timed wait goes on
       TickPast(f);
     },
     {"close movie", "detach fades"}},
};

void PrintTo(const WaitCase& waitCase, std::ostream* out) { *out << waitCase.name; }

class ScriptDoorTest : public ::testing::TestWithParam<WaitCase> {
protected:
  // Runs the scenario into the case's wait; returns the wait's ticket.
  std::uint32_t EnterWait() {
    std::vector<std::string> lines = GetParam().lines;
    lines.insert(lines.end(), {"after", "@Wait", "// entry", "entry", "@Wait"});
    f.AddScenario("main.scn", lines);
    f.Open("main.scn");
    media.waveTakes = true;
    f.engine.door.RequestResume();
    TakePosted();
    const RunState forced = GetParam().forced;
    if (forced == RunState::VoiceWait) f.engine.run.voicePending = true;
    if (forced == RunState::MessageHidden) {
      f.engine.run.savedState = f.engine.run.state;
      f.engine.run.state = RunState::MessageHidden;
    } else if (forced != RunState::NotStarted) {
      f.engine.run.state = forced;
    }
    f.texts.clear();
    return f.engine.door.CurrentWait();
  }
  // Takes every posted message, as the message loop does.
  void TakePosted() {
    for (int i = 0; i < 100 && f.driver.DispatchOne() != HeadlessDriver::Dispatched::Nothing; ++i) {
    }
  }
  // Takes what was posted, and reads every message line at once, until the script waits for more.
  void Settle() { f.RunUntilIdle(); }
  // The script went on exactly once past the wait and now waits at the final @Wait of `text`.
  void ExpectWentOnOnceTo(const char* text, std::uint32_t ticket, std::uint32_t runs) {
    EXPECT_EQ(f.texts, Texts{text});
    EXPECT_EQ(f.engine.run.state, RunState::TimedWait);
    EXPECT_EQ(f.engine.run.waitDeadline, 0u);
    EXPECT_FALSE(f.engine.run.voicePending);
    EXPECT_TRUE(f.errors.empty());
    EXPECT_EQ(f.engine.door.CurrentWait() - ticket, runs);
  }

  RecordingMediaChannels media;
  ScriptFixture f{EngineSeams{.media = &media}};
};

TEST_P(ScriptDoorTest, TheNormalEndRunsTheScriptOnce) {
  const std::uint32_t ticket = EnterWait();
  GetParam().end(f, ticket);
  Settle();
  ExpectWentOnOnceTo("after", ticket, 2); // the run to "after" and the one to the final @Wait
}

TEST_P(ScriptDoorTest, AClickOnTopOfTheNormalEndStillRunsTheScriptOnce) {
  const std::uint32_t ticket = EnterWait();
  Click(f);
  GetParam().end(f, ticket);
  Click(f);
  Settle();
  EXPECT_EQ(f.texts.size(), 1u);
  EXPECT_EQ(f.texts.empty() ? "" : f.texts[0], "after");
  EXPECT_TRUE(f.errors.empty());
}

TEST_P(ScriptDoorTest, ALateDuplicateResumeOfAnEndedWaitIsDropped) {
  const std::uint32_t ticket = EnterWait();
  GetParam().end(f, ticket);
  Settle();
  // The play that ended the wait, or a click handler, reports again once the script went on.
  f.engine.door.RequestResume(ticket);
  f.window.PostResume(ticket);
  Settle();
  ExpectWentOnOnceTo("after", ticket, 2);
}

TEST_P(ScriptDoorTest, AJumpToAnEntryCancelsTheWaitAndItsLateEnd) {
  const std::uint32_t ticket = EnterWait();
  media.calls.clear();
  JumpToEntry(f.engine, "main.scn#entry");
  EXPECT_EQ(media.calls, GetParam().stoppedByJump);
  GetParam().end(f, ticket); // what the wait was waiting for comes late
  Settle();
  ExpectWentOnOnceTo("entry", ticket, 3); // the jump's own wait, the entry, the final @Wait
}

TEST_P(ScriptDoorTest, AResumeArrivingWhileABoxIsOpenWaitsUntilItCloses) {
  const std::uint32_t ticket = EnterWait();
  GetParam().end(f, ticket);
  {
    // A modal box of the engine is open, and its loop dispatches what was posted.
    const ScriptDoor::Hold box(f.engine.door);
    TakePosted();
    EXPECT_TRUE(f.texts.empty());
    EXPECT_EQ(f.engine.door.CurrentWait(), ticket);
  }
  Settle();
  ExpectWentOnOnceTo("after", ticket, 2);
}

INSTANTIATE_TEST_SUITE_P(Waits, ScriptDoorTest, ::testing::ValuesIn(Waits),
                         [](const ::testing::TestParamInfo<WaitCase>& tested) { return tested.param.name; });

// --- Holding ---

TEST(ScriptDoorHoldTest, HeldThingsAreDeliveredInTheOrderTheyCame) {
  ScriptFixture f;
  std::vector<int> order;
  {
    const ScriptDoor::Hold outer(f.engine.door);
    f.engine.door.Deliver([&] { order.push_back(1); });
    {
      const ScriptDoor::Hold inner(f.engine.door);
      f.engine.door.Deliver([&] { order.push_back(2); });
    }
    EXPECT_TRUE(order.empty()); // the outer hold still lives
    f.engine.door.Deliver([&] { order.push_back(3); });
  }
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  f.engine.door.Deliver([&] { order.push_back(4); });
  EXPECT_EQ(order.back(), 4);
}

TEST(ScriptDoorHoldTest, AnEventFiringWhileTheInterpreterRunsWaitsForItAndNoneFiresWhenTerminating) {
  ScriptFixture f;
  f.AddScenario("main.scn", {"@OnEvent USER_CLICK GOTO #clicked", "@Wait", "// clicked", "clicked", "@Wait"});
  f.Open("main.scn");
  f.Resume();
  {
    const ScriptDoor::Hold running(f.engine.door);
    FireEvent(f.engine, UserClick);
    EXPECT_TRUE(f.engine.script.EventSet(UserClick));
  }
  f.RunUntilIdle();
  EXPECT_EQ(f.texts, Texts{"clicked"});

  f.AddScenario("other.scn", {"@OnEvent USER_CLICK GOTO #clicked", "@Wait", "// clicked", "clicked"});
  f.Open("other.scn");
  f.texts.clear();
  f.Resume();
  f.engine.run.state = RunState::Terminating;
  FireEvent(f.engine, UserClick);
  EXPECT_TRUE(f.texts.empty());
}

TEST(ScriptDoorHoldTest, AShutdownPostedWhileABoxIsOpenIsTakenOnceItCloses) {
  ScriptFixture f;
  f.window.PostShutdown();
  {
    const ScriptDoor::Hold box(f.engine.door);
    EXPECT_EQ(f.driver.DispatchOne(), HeadlessDriver::Dispatched::Held);
  }
  EXPECT_EQ(f.driver.DispatchOne(), HeadlessDriver::Dispatched::Shutdown);
}

// The check is an assertion: builds without them (the optimised Windows build) leave it out.
#ifndef NDEBUG
TEST(ScriptDoorDeathTest, TheInterpreterIsNeverEnteredWhileItRuns) {
  ScriptFixture f;
  f.AddScenario("main.scn", {"text"});
  f.Open("main.scn");
  f.engine.run.interpreterRunning = true; // as if a command were running
  EXPECT_DEATH(RunScenario(f.engine), "entered while it was running");
}
#endif

TEST(ScriptDoorHoldTest, AFinishedVoiceGoesOnWithTextOnlyFromVoiceWait) {
  RecordingMediaChannels media;
  media.waveTakes = true;
  ScriptFixture f{EngineSeams{.media = &media}};
  const RunState states[] = {RunState::VoiceWait, RunState::ClickWait, RunState::TextOutput, RunState::MessageHidden};
  const RunState after[] = {RunState::TextOutput, RunState::ClickWait, RunState::TextOutput, RunState::MessageHidden};
  for (int i = 0; i < 4; ++i) {
    f.engine.run.state = states[i];
    f.engine.run.savedState = RunState::VoiceWait;
    f.engine.run.voicePending = true;
    OnMciNotify(f.engine, 7);
    EXPECT_EQ(f.engine.run.state, after[i]) << i;
    EXPECT_FALSE(f.engine.run.voicePending) << i;
  }
  EXPECT_EQ(f.engine.run.savedState, RunState::TextOutput); // the hidden window's page goes on once shown
}

} // namespace
} // namespace velmo
