// The interpreter: line kinds, command dispatch, error reports, waits and timers, macros, jumps,
// calls and returns, @On, events and restarts.
#include "engine/core/interpreter.h"

#include "engine/base/errors.h"
#include "engine/core/engine.h"
#include "engine/core/script_door.h"
#include "engine/script/scenario.h"
#include "tests/support/script_fixture.h"

#include <gtest/gtest.h>

#include <deque>
#include <ostream>
#include <string>
#include <vector>

namespace velmo {
namespace {

// One engine with the scenario "main.scn" open at its start.
class InterpreterTest : public ::testing::Test {
protected:
  void Start(const std::vector<std::string>& lines) {
    f.AddScenario("main.scn", lines);
    f.Open("main.scn");
  }
  TScenario& Scenario() { return *f.engine.script.scenario; }
  const ScriptFixture::ReportedError& OnlyError() {
    EXPECT_EQ(f.errors.size(), 1u);
    static const ScriptFixture::ReportedError none{0, false, "", "", 0, ""};
    return f.errors.empty() ? none : f.errors.front();
  }
  // Runs as a player who clicks at once would, from the first resume until the engine idles.
  void RunAll() {
    f.Resume();
    f.RunUntilIdle();
  }
  std::string Log() { return f.files.files["system\\error.log"]; }

  ScriptFixture f;
};

using InterpreterLineTest = InterpreterTest;
using InterpreterDispatchTest = InterpreterTest;
using InterpreterErrorTest = InterpreterTest;
using WaitCommandTest = InterpreterTest;
using TimerCommandTest = InterpreterTest;
using ErrorCommandTest = InterpreterTest;
using MacroCommandTest = InterpreterTest;
using GoToJumpTest = InterpreterTest;
using GoSubTest = InterpreterTest;
using ExitCommandTest = InterpreterTest;
using OnCommandTest = InterpreterTest;
using OnEventTest = InterpreterTest;
using EnableSkipCommandTest = InterpreterTest;
using JumpToEntryTest = InterpreterTest;

// --- Line kinds ---

TEST_F(InterpreterLineTest, LabelLineBecomesTheParagraphAndIsRemembered) {
  Start({"; first", "// opening", "text"});
  EXPECT_EQ(f.Resume(), 1);
  EXPECT_EQ(Scenario().paragraph, "opening");
  const TListParagraph::Entry* entry = Scenario().paragraphs.Find("opening");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->line, 2);
}

TEST_F(InterpreterLineTest, LabelLineWithNamedLabel) {
  Start({"// NAME=scene2", "@Bogus"});
  f.Resume();
  EXPECT_EQ(OnlyError().paragraph, "scene2");
  EXPECT_EQ(OnlyError().line, 2);
}

TEST_F(InterpreterLineTest, LabelInsideFalseBlockIsStillNoted) {
  Start({"@if 1 == 2 THEN", "// inside", "@EndIf", "text"});
  f.Resume();
  EXPECT_EQ(Scenario().paragraph, "inside");
  EXPECT_EQ(f.texts, std::vector<std::string>{"text"});
}

TEST_F(InterpreterLineTest, LabelLineWithoutLabelIsRecoverableMissingParam) {
  Start({"//", "after"});
  EXPECT_EQ(f.Resume(), 0);
  EXPECT_EQ(OnlyError().code, ErrMissingParam);
  EXPECT_FALSE(OnlyError().fatal);
  EXPECT_EQ(OnlyError().info, "無し");
  f.Resume();
  EXPECT_EQ(f.texts, std::vector<std::string>{"after"});
}

TEST_F(InterpreterLineTest, CommentsAndEmptyLinesAreSkipped) {
  Start({"; a comment", ";another", "@Rem a remark", "@REM shouting", "", "   ", "hello"});
  EXPECT_EQ(f.Resume(), 1);
  EXPECT_TRUE(f.errors.empty());
  EXPECT_EQ(f.texts, std::vector<std::string>{"hello"});
  EXPECT_EQ(Scenario().line, 7);
}

TEST_F(InterpreterLineTest, MessageTextIsExpandedAndStopsTheRun) {
  Start({"@Let name = 太郎", "こんにちは、${name}さん", "next"});
  EXPECT_EQ(f.Resume(), 1);
  EXPECT_EQ(f.texts, std::vector<std::string>{"こんにちは、太郎さん"});
  EXPECT_EQ(f.engine.run.state, RunState::TextOutput);
}

TEST_F(InterpreterLineTest, FileOfTextLinesShowsOneLinePerResume) {
  Start({"one", "two", "three"});
  f.Resume();
  EXPECT_EQ(f.texts, std::vector<std::string>{"one"});
  f.Resume();
  EXPECT_EQ(f.texts, (std::vector<std::string>{"one", "two"}));
  f.Resume();
  EXPECT_EQ(f.texts, (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_EQ(f.engine.run.state, RunState::TextOutput);
}

TEST_F(InterpreterLineTest, MessageTextInFalseBlockIsNotShown) {
  Start({"@if 1 == 2 THEN", "hidden", "@EndIf", "shown"});
  f.Resume();
  EXPECT_EQ(f.texts, std::vector<std::string>{"shown"});
}

TEST_F(InterpreterLineTest, GivenCommandRunsInPlaceOfReadingALine) {
  Start({"first"});
  EXPECT_EQ(RunScenario(f.engine, "@Let x = 5"), 1);
  EXPECT_EQ(f.Var("x"), "5");
  EXPECT_TRUE(f.texts.empty());
  EXPECT_EQ(Scenario().line, 0);
  f.Resume();
  EXPECT_EQ(f.texts, std::vector<std::string>{"first"});
}

// --- Dispatch ---

TEST_F(InterpreterDispatchTest, CommandWordsIgnoreCase) {
  f.clock.nowMs = 100;
  Start({"@LET a = 1", "@WAIT 50"});
  EXPECT_EQ(f.Resume(), 1);
  EXPECT_EQ(f.Var("a"), "1");
  EXPECT_EQ(f.engine.run.state, RunState::TimedWait);
  EXPECT_EQ(f.engine.run.waitDeadline, 150u);
}

TEST_F(InterpreterDispatchTest, UnknownCommandIsSyntaxErrorNamingTheWord) {
  Start({"@Bogus 1 2"});
  EXPECT_EQ(f.Resume(), 0);
  EXPECT_EQ(OnlyError().code, ErrSyntax);
  EXPECT_FALSE(OnlyError().fatal);
  EXPECT_EQ(OnlyError().info, "@Bogus");
}

TEST_F(InterpreterDispatchTest, UnknownCommandIsReportedInsideSkippedBlock) {
  Start({"@if 1 == 2 THEN", "@Bogus", "@EndIf"});
  f.Resume();
  EXPECT_EQ(OnlyError().code, ErrSyntax);
  EXPECT_EQ(OnlyError().info, "@Bogus");
  EXPECT_EQ(OnlyError().line, 2);
}

TEST_F(InterpreterDispatchTest, CommandsInFalseBlockAreNotEvaluated) {
  Start({"@if 1 == 2 THEN", "@Error", "@Timer 9", "@Let x = 1", "@Wait 100", "@EndIf", "end"});
  f.Resume();
  EXPECT_TRUE(f.errors.empty());
  EXPECT_EQ(f.Var("x"), "");
  EXPECT_EQ(f.texts, std::vector<std::string>{"end"});
}

TEST_F(InterpreterDispatchTest, QuoteInsideWordOfMessageTextFailsBeforeItIsShown) {
  Start({"She told me say\"hi\" twice", "after"});
  EXPECT_EQ(f.Resume(), 0);
  EXPECT_EQ(OnlyError().code, ErrSyntax);
  EXPECT_EQ(OnlyError().info, "引用符の記述間違い");
  EXPECT_TRUE(f.texts.empty());
  f.Resume();
  EXPECT_EQ(f.texts, std::vector<std::string>{"after"});
}

TEST_F(InterpreterDispatchTest, ElsIfChainRunsExactlyTheMatchingBranch) {
  Start({"@Let a = 2", "@if $a == 1 THEN", "one", "@ElsIf $a == 2 THEN", "two", "@Else", "other", "@EndIf", "@Exit"});
  RunAll();
  EXPECT_EQ(f.texts, std::vector<std::string>{"two"});
}

TEST_F(InterpreterDispatchTest, NestedBlockInFalseBlockRunsNothingAndOuterElseWorks) {
  Start({"@if 1 == 2 THEN", "@if 1 == 1 THEN", "inner", "@Else", "inner else", "@EndIf", "@Else", "outer else",
         "@EndIf", "@Exit"});
  RunAll();
  EXPECT_EQ(f.texts, std::vector<std::string>{"outer else"});
}

TEST_F(InterpreterDispatchTest, OneLineGotoFormEndsItsBlockBeforeJumping) {
  Start({"@if 1 == 1 GOTO #there", "skipped", "// there", "arrived"});
  EXPECT_EQ(f.Resume(), 1);
  EXPECT_EQ(Scenario().ifStack.Depth(), 0);
  EXPECT_EQ(Scenario().ifState, IfState::Active);
  f.Resume();
  EXPECT_EQ(f.texts, std::vector<std::string>{"arrived"});
}

TEST_F(InterpreterDispatchTest, OneLineGotoFormInFalseBlockRestoresTheEnclosingState) {
  Start({"@if 1 == 2 THEN", "@if 1 == 1 GOTO #there", "@Else", "else branch", "@EndIf", "// there", "@Exit"});
  RunAll();
  EXPECT_EQ(f.texts, std::vector<std::string>{"else branch"});
}

// --- Error handling ---

TEST_F(InterpreterErrorTest, RecoverableErrorAnsweredNoGoesOnWithNextLine) {
  Start({"@Error", "after"});
  EXPECT_EQ(f.Resume(), 0);
  ASSERT_EQ(f.window.messageBoxes.size(), 1u);
  EXPECT_EQ(f.window.messageBoxes[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(f.window.posted, std::deque<PostedMessage>{PostedMessage::Resume});
  EXPECT_NE(f.engine.run.state, RunState::Terminating);
  f.Resume();
  EXPECT_EQ(f.texts, std::vector<std::string>{"after"});
}

TEST_F(InterpreterErrorTest, RecoverableErrorAnsweredYesEndsTheProgram) {
  f.window.answers.push_back(MessageAnswer::Yes);
  Start({"@Error", "after"});
  EXPECT_EQ(f.Resume(), 0);
  EXPECT_EQ(f.engine.run.state, RunState::Terminating);
  EXPECT_EQ(f.window.posted, std::deque<PostedMessage>{PostedMessage::Shutdown});
  EXPECT_FALSE(Scenario().IsOpen());
}

TEST_F(InterpreterErrorTest, FatalErrorShowsOkBoxAndShutsDown) {
  Start({"@GoTo", "after"});
  EXPECT_EQ(f.Resume(), 0);
  EXPECT_TRUE(OnlyError().fatal);
  ASSERT_EQ(f.window.messageBoxes.size(), 1u);
  EXPECT_EQ(f.window.messageBoxes[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(f.engine.run.state, RunState::Terminating);
  EXPECT_EQ(f.window.posted, std::deque<PostedMessage>{PostedMessage::Shutdown});
  EXPECT_FALSE(Scenario().IsOpen());
}

TEST_F(InterpreterErrorTest, EndOfFileIsFatalUnexpectedEof) {
  Start({"@Let a = 1"});
  EXPECT_EQ(f.Resume(), 0);
  EXPECT_EQ(OnlyError().code, ErrUnexpectedEOF);
  EXPECT_TRUE(OnlyError().fatal);
  EXPECT_EQ(OnlyError().info, "無し");
  EXPECT_EQ(OnlyError().line, 2);
  EXPECT_EQ(f.engine.run.state, RunState::Terminating);
}

TEST_F(InterpreterErrorTest, MissingScenarioFileIsFileNotFoundWithItsName) {
  f.Open("missing.scn");
  EXPECT_EQ(f.Resume(), 0);
  EXPECT_EQ(OnlyError().code, ErrFileNotFound);
  EXPECT_FALSE(OnlyError().fatal);
  EXPECT_EQ(OnlyError().info, "missing.scn");
}

TEST_F(InterpreterErrorTest, ReportNamesFileLineAndParagraph) {
  Start({"@Rem", "// opening", "@Let a = 1", "@Bogus"});
  f.Resume();
  EXPECT_EQ(OnlyError().fileName, "main.scn");
  EXPECT_EQ(OnlyError().line, 4);
  EXPECT_EQ(OnlyError().paragraph, "opening");
  ASSERT_EQ(f.window.messageBoxes.size(), 1u);
  EXPECT_NE(f.window.messageBoxes[0].text.find("発生箇所： [4] opening"), std::string::npos);
  EXPECT_NE(Log().find("ファイル： main.scn\r\n発生箇所： 4行目 (opening)"), std::string::npos);
}

// --- @Wait ---

TEST_F(WaitCommandTest, PositionalTimeSetsDeadlineAndStops) {
  f.clock.nowMs = 1000;
  Start({"@Wait 500", "after"});
  EXPECT_EQ(f.Resume(), 1);
  EXPECT_EQ(f.engine.run.waitDeadline, 1500u);
  EXPECT_EQ(f.engine.run.state, RunState::TimedWait);
  EXPECT_TRUE(f.texts.empty());
}

TEST_F(WaitCommandTest, NamedTimeWithReference) {
  f.clock.nowMs = 40;
  Start({"@Let delay = 250", "@Wait TIME=$delay"});
  f.Resume();
  EXPECT_EQ(f.engine.run.waitDeadline, 290u);
  EXPECT_EQ(f.engine.run.state, RunState::TimedWait);
}

TEST_F(WaitCommandTest, WithoutTimeLeavesDeadlineUnchanged) {
  f.clock.nowMs = 1000;
  f.engine.run.waitDeadline = 777;
  Start({"@Wait", "after"});
  EXPECT_EQ(f.Resume(), 1);
  EXPECT_EQ(f.engine.run.waitDeadline, 777u);
  EXPECT_EQ(f.engine.run.state, RunState::TimedWait);
  EXPECT_TRUE(f.texts.empty());
}

// --- @Timer ---

TEST_F(TimerCommandTest, ChannelOutsideRangeIsRangeError) {
  Start({"@Timer 4"});
  EXPECT_EQ(f.Resume(), 0);
  EXPECT_EQ(OnlyError().code, ErrRange);
  EXPECT_FALSE(OnlyError().fatal);
  EXPECT_EQ(OnlyError().info, "4");
}

TEST_F(TimerCommandTest, NamedChannelOutsideRangeNamesItsText) {
  Start({"@Timer CHANNEL=-1 RESET"});
  f.Resume();
  EXPECT_EQ(OnlyError().code, ErrRange);
  EXPECT_EQ(OnlyError().info, "-1");
}

TEST_F(TimerCommandTest, TimeWaitsRelativeToTheReset) {
  f.clock.nowMs = 1000;
  Start({"@Timer 2 RESET", "@Wait 100", "@Timer CHANNEL=2 TIME=3000", "after"});
  f.Resume();
  EXPECT_EQ(f.engine.script.timers[2], 1000u);
  f.clock.nowMs = 1800;
  EXPECT_EQ(f.Resume(), 1);
  EXPECT_EQ(f.engine.run.waitDeadline, 4000u);
  EXPECT_EQ(f.engine.run.state, RunState::TimedWait);
  EXPECT_TRUE(f.texts.empty());
}

TEST_F(TimerCommandTest, TimeAlreadyPassedGivesDeadlineInThePast) {
  f.clock.nowMs = 1000;
  Start({"@Timer 1 RESET", "@Wait 10", "@Timer 1 3000"});
  f.Resume();
  f.clock.nowMs = 10000;
  f.Resume();
  EXPECT_EQ(f.engine.run.waitDeadline, 4000u);
  EXPECT_LT(f.engine.run.waitDeadline, f.clock.nowMs);
  EXPECT_EQ(f.engine.run.state, RunState::TimedWait);
}

TEST_F(TimerCommandTest, ResetAndTimeOnOneLineAreTakenInOrder) {
  f.clock.nowMs = 2000;
  Start({"@Timer RESET TIME=500"});
  f.Resume();
  EXPECT_EQ(f.engine.script.timers[0], 2000u);
  EXPECT_EQ(f.engine.run.waitDeadline, 2500u);
}

TEST_F(TimerCommandTest, TimeBeforeResetReturnsBeforeTheReset) {
  f.clock.nowMs = 2000;
  Start({"@Timer 3 TIME=500 RESET"});
  f.Resume();
  EXPECT_EQ(f.engine.run.waitDeadline, 500u);
  EXPECT_EQ(f.engine.script.timers[3], 0u);
}

TEST_F(TimerCommandTest, WithoutTimeExecutionContinues) {
  f.clock.nowMs = 70;
  Start({"@Timer 3 RESET", "next"});
  f.Resume();
  EXPECT_EQ(f.engine.script.timers[3], 70u);
  EXPECT_EQ(f.texts, std::vector<std::string>{"next"});
}

// --- @Error ---

TEST_F(ErrorCommandTest, MessageBecomesTheInformation) {
  Start({"@Error MSG=oops"});
  f.Resume();
  EXPECT_EQ(OnlyError().code, ErrUndefined);
  EXPECT_FALSE(OnlyError().fatal);
  EXPECT_EQ(OnlyError().info, "oops");
}

TEST_F(ErrorCommandTest, PositionalMessage) {
  Start({"@Error \"bad thing\""});
  f.Resume();
  EXPECT_EQ(OnlyError().info, "bad thing");
}

TEST_F(ErrorCommandTest, CodeReplacesTheInformationButNotTheErrorCode) {
  Start({"@Error CODE=E42"});
  f.Resume();
  EXPECT_EQ(OnlyError().code, ErrUndefined);
  EXPECT_EQ(OnlyError().info, "E42");
}

TEST_F(ErrorCommandTest, WithoutMessageUsesTheDefaultText) {
  Start({"@Error"});
  f.Resume();
  EXPECT_EQ(OnlyError().info, "ユーザ定義のエラー");
}

// --- @Macro and macro calls ---

TEST_F(MacroCommandTest, AbsoluteLocationIsKept) {
  Start({"@Macro greet other.scn#hello", "x"});
  f.Resume();
  EXPECT_EQ(std::string(f.engine.script.macros.GetVar("greet")), "other.scn#hello");
}

TEST_F(MacroCommandTest, LabelLocationIsPrefixedWithCurrentFile) {
  Start({"@Macro MACRO=greet NAME=#hello", "x"});
  f.Resume();
  EXPECT_EQ(std::string(f.engine.script.macros.GetVar("greet")), "main.scn#hello");
}

TEST_F(MacroCommandTest, AbsentLocationIsTheMacroNameInCurrentFile) {
  Start({"@Macro greet", "x"});
  f.Resume();
  EXPECT_EQ(std::string(f.engine.script.macros.GetVar("greet")), "main.scn#greet");
}

TEST_F(MacroCommandTest, WithoutNameIsMissingParam) {
  Start({"@Macro"});
  f.Resume();
  EXPECT_EQ(OnlyError().code, ErrMissingParam);
  EXPECT_FALSE(OnlyError().fatal);
  EXPECT_EQ(OnlyError().info, "無し");
}

TEST_F(MacroCommandTest, CallRunsTheMacroAsSubroutine) {
  Start({"@Macro hello", "@@hello", "back", "@Exit", "// hello", "in macro", "@Exit"});
  RunAll();
  EXPECT_EQ(f.texts, (std::vector<std::string>{"in macro", "back"}));
  EXPECT_TRUE(f.gameExited);
}

TEST_F(MacroCommandTest, CallPassesParamToArgv) {
  Start({"@Macro show", "@@show PARAM=\"3,4\"", "@@show \"5,6\"", "@Exit", "// show", "got ${argv[1]} ${argv[2]}",
         "@Exit"});
  RunAll();
  EXPECT_EQ(f.texts, (std::vector<std::string>{"got 3 4", "got 5 6"}));
}

TEST_F(MacroCommandTest, UndefinedMacroIsReported) {
  Start({"@@undefined"});
  EXPECT_EQ(f.Resume(), 0);
  EXPECT_EQ(OnlyError().code, ErrUndefinedMacro);
  EXPECT_FALSE(OnlyError().fatal);
  EXPECT_EQ(OnlyError().info, "undefined");
}

TEST_F(MacroCommandTest, UndefinedMacroIsReportedInsideFalseBlock) {
  Start({"@if 1 == 2 THEN", "@@undefined", "@EndIf"});
  f.Resume();
  EXPECT_EQ(OnlyError().code, ErrUndefinedMacro);
  EXPECT_EQ(OnlyError().line, 2);
}

TEST_F(MacroCommandTest, DefinedMacroInFalseBlockDoesNotCall) {
  Start({"@Macro m", "@if 1 == 2 THEN", "@@m", "@EndIf", "after", "@Exit", "// m", "in m", "@Exit"});
  RunAll();
  EXPECT_EQ(f.texts, std::vector<std::string>{"after"});
}

// --- @EnableSkip ---

struct SkipModeCase {
  const char* line;
  SkipMode expected;
};

class EnableSkipModeCommandTest : public InterpreterTest, public ::testing::WithParamInterface<SkipModeCase> {};

TEST_P(EnableSkipModeCommandTest, ModeSetsSkipMode) {
  f.engine.run.skipMode = static_cast<SkipMode>((static_cast<int>(GetParam().expected) + 1) % 3);
  Start({GetParam().line, "x"});
  f.Resume();
  EXPECT_TRUE(f.errors.empty());
  EXPECT_EQ(f.engine.run.skipMode, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Modes, EnableSkipModeCommandTest,
                         ::testing::Values(SkipModeCase{"@EnableSkip", SkipMode::All},
                                           SkipModeCase{"@EnableSkip MODE=\"\"", SkipMode::All},
                                           SkipModeCase{"@EnableSkip TRUE", SkipMode::All},
                                           SkipModeCase{"@EnableSkip all", SkipMode::All},
                                           SkipModeCase{"@EnableSkip TEXT", SkipMode::Text},
                                           SkipModeCase{"@EnableSkip text", SkipMode::Text},
                                           SkipModeCase{"@EnableSkip MODE=FALSE", SkipMode::Off},
                                           SkipModeCase{"@EnableSkip Disable", SkipMode::Off}));

TEST_F(EnableSkipCommandTest, BadModeIsSyntaxError) {
  f.engine.run.skipMode = SkipMode::Text;
  Start({"@EnableSkip MAYBE"});
  f.Resume();
  EXPECT_EQ(OnlyError().code, ErrSyntax);
  EXPECT_EQ(OnlyError().info, "MAYBE");
  EXPECT_EQ(f.engine.run.skipMode, SkipMode::Text);
}

TEST_F(EnableSkipCommandTest, TrapStopsSkipInProgress) {
  f.engine.run.clickSkip = true;
  f.engine.run.skipToOption = true;
  Start({"@EnableSkip TEXT TRAP", "x"});
  f.Resume();
  EXPECT_FALSE(f.engine.run.clickSkip);
  EXPECT_FALSE(f.engine.run.skipToOption);
  EXPECT_EQ(f.engine.run.skipMode, SkipMode::Text);
}

TEST_F(EnableSkipCommandTest, PauseAloneStopsSkipAndEnablesAll) {
  f.engine.run.clickSkip = true;
  f.engine.run.skipToOption = true;
  Start({"@EnableSkip PAUSE", "x"});
  f.Resume();
  EXPECT_FALSE(f.engine.run.clickSkip);
  EXPECT_FALSE(f.engine.run.skipToOption);
  EXPECT_EQ(f.engine.run.skipMode, SkipMode::All);
}

// --- @GoTo ---

TEST_F(GoToJumpTest, LabelInCurrentFile) {
  Start({"@GoTo #end", "skipped", "// end", "reached"});
  EXPECT_EQ(f.Resume(), 1);
  EXPECT_TRUE(f.texts.empty());
  EXPECT_EQ(f.window.posted, std::deque<PostedMessage>{PostedMessage::Resume});
  f.Resume();
  EXPECT_EQ(f.texts, std::vector<std::string>{"reached"});
}

TEST_F(GoToJumpTest, BackwardJumpToKnownLabelLoops) {
  Start({"@Let n = 0", "// top", "pass ${n}", "@Let n += 1", "@if $n == 3 THEN", "@Exit", "@EndIf", "@GoTo #top"});
  RunAll();
  EXPECT_EQ(f.texts, (std::vector<std::string>{"pass 0", "pass 1", "pass 2"}));
  EXPECT_TRUE(f.gameExited);
}

TEST_F(GoToJumpTest, LocationWithoutHashIsAFile) {
  f.AddScenario("intro", {"intro text"});
  Start({"@GoTo intro"});
  f.Resume();
  EXPECT_EQ(Scenario().fileName, "intro");
  f.Resume();
  EXPECT_EQ(f.texts, std::vector<std::string>{"intro text"});
}

TEST_F(GoToJumpTest, OtherFileDiscardsPendingReturns) {
  f.AddScenario("other.scn", {"skipped", "// start", "@Exit"});
  Start({"@GoSub #sub", "// sub", "@GoTo other.scn#start"});
  f.Resume();
  f.Resume();
  EXPECT_EQ(f.engine.script.scenarioStack.Depth(), 0);
  EXPECT_EQ(Scenario().fileName, "other.scn");
  f.RunUntilIdle();
  EXPECT_TRUE(f.gameExited);
  EXPECT_TRUE(f.texts.empty());
}

TEST_F(GoToJumpTest, MissingFileIsReportedAtTheNextStep) {
  Start({"@GoTo nothere.scn#x"});
  EXPECT_EQ(f.Resume(), 1);
  EXPECT_EQ(f.Resume(), 0);
  EXPECT_EQ(OnlyError().code, ErrFileNotFound);
  EXPECT_EQ(OnlyError().info, "nothere.scn");
}

TEST_F(GoToJumpTest, WithoutTargetIsFatalMissingParam) {
  Start({"@GoTo \"\""});
  f.Resume();
  EXPECT_EQ(OnlyError().code, ErrMissingParam);
  EXPECT_TRUE(OnlyError().fatal);
  EXPECT_EQ(OnlyError().info, "無し");
}

TEST_F(GoToJumpTest, JumpFromInsideBlocksEmptiesTheBlockStack) {
  Start({"@if 1 == 1 THEN", "@if 2 == 2 THEN", "@GoTo #after", "@EndIf", "@EndIf", "// after", "text"});
  EXPECT_EQ(f.Resume(), 1);
  EXPECT_EQ(Scenario().ifStack.Depth(), 0);
  f.Resume();
  EXPECT_EQ(Scenario().ifState, IfState::Active);
  EXPECT_EQ(f.texts, std::vector<std::string>{"text"});
}

// --- @GoSub and @Exit ---

TEST_F(GoSubTest, ParamSetsArgvAndEmptiesTheRest) {
  f.engine.script.variables.SetVarText("argv[5]", "old");
  f.engine.script.variables.SetVarText("argv[64]", "keep");
  Start({"@GoSub #sub PARAM=\"1,2\"", "// sub", "x"});
  f.Resume();
  EXPECT_EQ(f.Var("argv[1]"), "1");
  EXPECT_EQ(f.Var("argv[2]"), "2");
  for (int i = 3; i <= 63; ++i) EXPECT_EQ(f.Var("argv[" + std::to_string(i) + "]"), "") << i;
  EXPECT_EQ(f.Var("argv[64]"), "keep");
}

TEST_F(GoSubTest, EmptyParamLeavesArgvAlone) {
  f.engine.script.variables.SetVarText("argv[1]", "keep");
  Start({"@GoSub #sub PARAM=\"\"", "// sub", "x"});
  f.Resume();
  EXPECT_EQ(f.Var("argv[1]"), "keep");
}

TEST_F(GoSubTest, SameFileCallReturnsAfterTheCall) {
  Start({"@if 1 == 1 THEN", "@GoSub #sub", "back", "@Exit", "// sub", "in sub", "@Exit"});
  EXPECT_EQ(f.Resume(), 1);
  EXPECT_EQ(f.engine.script.scenarioStack.Depth(), 1);
  EXPECT_EQ(Scenario().ifStack.Depth(), 1);
  f.RunUntilIdle();
  EXPECT_EQ(f.texts, (std::vector<std::string>{"in sub", "back"}));
  EXPECT_TRUE(f.gameExited);
}

TEST_F(GoSubTest, ErrorAfterSameFileReturnNamesTheCallersLine) {
  Start({"@GoSub #sub", "@Bogus", "// sub", "@Exit"});
  f.Resume();
  f.Resume();
  EXPECT_EQ(OnlyError().line, 2);
}

TEST_F(GoSubTest, CrossFileCallReturnsWithExitCode) {
  f.AddScenario("other.scn", {"@Rem", "// sub", "@Exit CODE=3"});
  Start({"@GoSub other.scn#sub", "back ${exit}", "@Bogus"});
  f.Resume();
  EXPECT_EQ(Scenario().fileName, "other.scn");
  f.Resume();
  EXPECT_EQ(Scenario().fileName, "main.scn");
  EXPECT_EQ(f.Var("exit"), "3");
  EXPECT_EQ(f.texts, std::vector<std::string>{"back 3"});
  f.Resume();
  EXPECT_EQ(OnlyError().fileName, "main.scn");
  EXPECT_EQ(OnlyError().line, 3);
}

// The failing call keeps what it did before the push: argv is already set.
TEST_F(GoSubTest, SeventeenthNestedCallOverflows) {
  Start({"@Let n = 0", "// loop", "@Let n += 1", "@GoSub #loop PARAM=${n}"});
  for (int i = 0; i < 16; ++i) ASSERT_EQ(f.Resume(), 1);
  EXPECT_TRUE(f.errors.empty());
  EXPECT_EQ(f.Resume(), 0);
  EXPECT_EQ(OnlyError().code, ErrStackOverflow);
  EXPECT_FALSE(OnlyError().fatal);
  EXPECT_EQ(f.engine.script.scenarioStack.Depth(), 16);
  EXPECT_EQ(f.Var("argv[1]"), "17");
}

TEST_F(GoSubTest, WithoutTargetIsFatalMissingParam) {
  Start({"@GoSub PARAM=\"1\""});
  f.Resume();
  EXPECT_EQ(OnlyError().code, ErrMissingParam);
  EXPECT_TRUE(OnlyError().fatal);
}

TEST_F(ExitCommandTest, PositionalCodeInSubroutine) {
  Start({"@GoSub #sub", "@Exit", "// sub", "@Exit 7"});
  RunAll();
  EXPECT_EQ(f.Var("exit"), "7");
}

TEST_F(ExitCommandTest, NameJumpsInTheCaller) {
  f.AddScenario("other.scn", {"// sub", "@Exit NAME=#there"});
  Start({"@GoSub other.scn#sub", "not shown", "// there", "arrived", "@Exit"});
  RunAll();
  EXPECT_EQ(f.texts, std::vector<std::string>{"arrived"});
  EXPECT_TRUE(f.gameExited);
}

TEST_F(ExitCommandTest, AloneLeavesExitVariableAlone) {
  f.engine.script.variables.SetVarText("exit", "5");
  Start({"@GoSub #sub", "back", "// sub", "@Exit"});
  RunAll();
  EXPECT_EQ(f.texts, std::vector<std::string>{"back"});
  EXPECT_EQ(f.Var("exit"), "5");
}

TEST_F(ExitCommandTest, OutermostEndsTheGameThroughTheFatalReport) {
  f.engine.script.variables.SetVarText("exit", "5");
  Start({"@Exit", "after"});
  f.Resume();
  EXPECT_TRUE(f.gameExited);
  EXPECT_TRUE(f.errors.empty());
  ASSERT_EQ(f.window.messageBoxes.size(), 1u);
  const HeadlessWindow::MessageBoxCall& box = f.window.messageBoxes[0];
  EXPECT_EQ(box.buttons, MessageButtons::Ok);
  EXPECT_EQ(box.caption, "シナリオ実行時の致命的エラー - VELMO");
  EXPECT_NE(box.text.find("エラー内容： 正常終了\n"), std::string::npos);
  EXPECT_NE(box.text.find("発生箇所： [0] 不明\n追加情報： @Exitによる正常終了\n"), std::string::npos);
  EXPECT_EQ(f.engine.run.state, RunState::Terminating);
  EXPECT_EQ(f.window.posted, std::deque<PostedMessage>{PostedMessage::Shutdown});
  EXPECT_EQ(Scenario().fileName, "不明");
  EXPECT_EQ(Scenario().paragraph, "不明");
  EXPECT_EQ(f.Var("exit"), "5");
  EXPECT_TRUE(f.texts.empty());
}

TEST_F(ExitCommandTest, OutermostWritesNormalEndToTheLog) {
  Start({"@Exit CODE=3"});
  f.Resume();
  EXPECT_EQ(f.Var("exit"), "3");
  const std::string log = Log();
  EXPECT_NE(log.find("エラー内容： 正常終了\r\n"), std::string::npos);
  EXPECT_NE(log.find("ファイル： 不明\r\n"), std::string::npos);
  EXPECT_NE(log.find("(不明)\r\n"), std::string::npos);
  EXPECT_NE(log.find("追加情報： @Exitによる正常終了\r\n"), std::string::npos);
}

// --- @On ---

TEST_F(OnCommandTest, GotoChoosesTheNthTarget) {
  Start({"@On 2 GOTO #a #b #c", "// a", "at a", "// b", "at b", "// c", "at c"});
  EXPECT_EQ(f.Resume(), 1);
  f.Resume();
  EXPECT_EQ(f.texts, std::vector<std::string>{"at b"});
}

TEST_F(OnCommandTest, NumberPastTheTargetsDoesNothing) {
  Start({"@On 4 GOTO #a #b #c", "@On 0 GOTO #a", "next"});
  f.Resume();
  EXPECT_TRUE(f.errors.empty());
  EXPECT_EQ(f.texts, std::vector<std::string>{"next"});
}

TEST_F(OnCommandTest, ReturnSetsExitAndContinues) {
  Start({"@On 1 RETURN x y", "next"});
  f.Resume();
  EXPECT_EQ(f.Var("exit"), "x");
  EXPECT_EQ(f.texts, std::vector<std::string>{"next"});
}

TEST_F(OnCommandTest, LineIsExpandedAndActionIgnoresCase) {
  Start({"@Let n = 2", "@On $n return x y", "next"});
  f.Resume();
  EXPECT_EQ(f.Var("exit"), "y");
}

TEST_F(OnCommandTest, GosubCallsTheTarget) {
  Start({"@On 1 GOSUB #sub", "back", "@Exit", "// sub", "in sub", "@Exit"});
  RunAll();
  EXPECT_EQ(f.texts, (std::vector<std::string>{"in sub", "back"}));
}

TEST_F(OnCommandTest, UnknownActionIsSyntaxError) {
  Start({"@On 1 JUMP #a"});
  f.Resume();
  EXPECT_EQ(OnlyError().code, ErrSyntax);
  EXPECT_EQ(OnlyError().info, "JUMP");
}

// --- @OnEvent and FireEvent ---

TEST_F(OnEventTest, ClickHandlerFiresOnce) {
  Start({"@OnEvent USER_CLICK GOSUB #clicked", "@Wait", "after wait", "@Exit", "// clicked", "clicked!", "@Exit"});
  f.Resume();
  EXPECT_EQ(f.engine.script.events[UserClick].action, EventAction::GoSub);
  FireEvent(f.engine, 0);
  EXPECT_EQ(f.engine.script.events[UserClick].action, EventAction::None);
  EXPECT_EQ(f.engine.script.scenarioStack.Depth(), 1);
  const int resumes = f.window.resumePosted;
  FireEvent(f.engine, 0);
  EXPECT_EQ(f.window.resumePosted, resumes);
  EXPECT_EQ(f.engine.script.scenarioStack.Depth(), 1);
  f.RunUntilIdle();
  EXPECT_EQ(f.texts, (std::vector<std::string>{"clicked!", "after wait"}));
}

TEST_F(OnEventTest, GotoActionIgnoresCaseAndKeepsTheLabel) {
  Start({"@OnEvent movie_notify goto #done", "@Wait", "// done", "done", "@Exit"});
  f.Resume();
  EXPECT_EQ(f.engine.script.events[MovieNotify].action, EventAction::GoTo);
  EXPECT_EQ(f.engine.script.events[MovieNotify].label, "#done");
  FireEvent(f.engine, MovieNotify);
  f.RunUntilIdle();
  EXPECT_EQ(f.texts, std::vector<std::string>{"done"});
  EXPECT_EQ(f.engine.script.scenarioStack.Depth(), 0);
}

TEST_F(OnEventTest, StopClearsTheSlot) {
  Start({"@OnEvent WAVE_NOTIFY GOSUB #x", "@OnEvent WAVE_NOTIFY STOP", "@Wait"});
  f.Resume();
  EXPECT_EQ(f.engine.script.events[WaveNotify].action, EventAction::None);
  const int resumes = f.window.resumePosted;
  FireEvent(f.engine, WaveNotify);
  EXPECT_EQ(f.window.resumePosted, resumes);
}

TEST_F(OnEventTest, UnknownSlotOrActionIsIgnored) {
  Start({"@OnEvent KEY_PRESS GOSUB #x", "@OnEvent CDDA_NOTIFY JUMP #x", "next"});
  f.Resume();
  EXPECT_TRUE(f.errors.empty());
  for (const EventSlot& slot : f.engine.script.events) EXPECT_EQ(slot.action, EventAction::None);
  EXPECT_EQ(f.texts, std::vector<std::string>{"next"});
}

// --- JumpToEntry ---

TEST_F(JumpToEntryTest, RestartClearsCallsEventsAndDeadline) {
  f.AddScenario("other.scn", {"skipped", "// start", "restarted"});
  Start({"@OnEvent USER_CLICK GOTO #x", "@OnEvent MIDI_NOTIFY GOSUB #x", "@GoSub #sub", "// sub", "@Wait 500"});
  f.Resume();
  f.Resume();
  ASSERT_EQ(f.engine.script.scenarioStack.Depth(), 1);
  ASSERT_NE(f.engine.run.waitDeadline, 0u);
  f.window.ClearPosted();
  JumpToEntry(f.engine, "other.scn#start");
  EXPECT_EQ(f.engine.script.scenarioStack.Depth(), 0);
  for (const EventSlot& slot : f.engine.script.events) EXPECT_EQ(slot.action, EventAction::None);
  EXPECT_EQ(f.engine.run.waitDeadline, 0u);
  EXPECT_EQ(f.window.posted, std::deque<PostedMessage>{PostedMessage::Resume});
  f.Resume();
  EXPECT_EQ(f.texts, std::vector<std::string>{"restarted"});
}

} // namespace
} // namespace velmo

namespace velmo {
namespace {

// --- Lines read again: every pass means what the variables say at that pass ---

struct RepeatCase {
  const char* name;
  std::vector<std::string> lines;
  std::vector<std::string> texts;
  std::vector<std::int32_t> errors; // codes of the reported errors, in order
};

void PrintTo(const RepeatCase& repeatCase, std::ostream* out) { *out << repeatCase.name; }

class RepeatedLineTest : public InterpreterTest, public ::testing::WithParamInterface<RepeatCase> {};

TEST_P(RepeatedLineTest, EachPassTakesTheVariablesOfThatPass) {
  f.AddScenario("other.scn", {"// back", "@GoTo main.scn#again"});
  Start(GetParam().lines);
  RunAll();
  EXPECT_EQ(f.texts, GetParam().texts);
  std::vector<std::int32_t> codes;
  for (const auto& error : f.errors) codes.push_back(error.code);
  EXPECT_EQ(codes, GetParam().errors);
}

const RepeatCase RepeatCases[] = {
    {"MessageAndAssignmentWithReferences",
     {"@Let n = 0", "// loop", "@Let n += 1", "pass ${n}", "@Let v = $n", "v=$v", "@if $n < 3 GOTO #loop", "@Wait"},
     {"pass 1", "v=1", "pass 2", "v=2", "pass 3", "v=3"},
     {}},
    {"CommandReadingItsTokens",
     {"@Let n = 0", "@Let t = 100", "// loop", "@Let n += 1", "@Let t += 100", "@Timer RESET", "@Timer TIME=$t", "${n}",
      "@if $n < 2 GOTO #loop", "@Wait"},
     {"1", "2"},
     {}},
    {"JumpTargetFromAVariable",
     {"@Let n = 0", "@Let to = #odd", "// loop", "@Let n += 1", "@if $n > 4 GOTO #end", "@if 1 == 1 GOTO ${to}",
      "// odd", "odd $n", "@Let to = #even", "@GoTo #loop", "// even", "even $n", "@Let to = #odd", "@GoTo #loop",
      "// end", "@Wait"},
     {"odd 1", "even 2", "odd 3", "even 4"},
     {}},
    {"MacroWithChangingParameters",
     {"@Macro show NAME=#show", "@Let n = 0", "// loop", "@Let n += 1", "@@show PARAM=\"$n,x\"",
      "@if $n < 3 GOTO #loop", "@Wait", "// show", "arg ${argv[1]}", "@Exit"},
     {"arg 1", "arg 2", "arg 3"},
     {}},
    {"ErrorRaisedAtEveryPass",
     {"@Let n = 0", "// loop", "@Let n += 1", "@Rem \"unclosed", "@Text WAIT=\"x", "@if $n < 2 GOTO #loop", "@Wait"},
     {},
     {ErrSyntax, ErrSyntax, ErrSyntax, ErrSyntax}},
    {"AnotherFileAndBack",
     {"@Let n = 0", "// again", "@Let n += 1", "n=$n", "@if $n < 3 GOTO other.scn#back", "@Wait"},
     {"n=1", "n=2", "n=3"},
     {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, RepeatedLineTest, ::testing::ValuesIn(RepeatCases),
                         [](const ::testing::TestParamInfo<RepeatCase>& tested) { return tested.param.name; });

TEST_F(InterpreterTest, AScenarioFileChangedBetweenOpeningsIsReadAnew) {
  Start({"first", "@GoTo main.scn"});
  f.Resume();
  EXPECT_EQ(f.texts, std::vector<std::string>{"first"});
  f.AddScenario("main.scn", {"second", "@Wait"});
  f.RunUntilIdle();
  EXPECT_EQ(f.texts, (std::vector<std::string>{"first", "second"}));
}

} // namespace
} // namespace velmo
