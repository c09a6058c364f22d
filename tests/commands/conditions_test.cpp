#include "tests/support/script_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace velmo {
namespace {

using Texts = std::vector<std::string>;

// Runs `lines` from the first line of a scenario file until a @Wait; one follows the lines.
void RunScript(ScriptFixture& fixture, std::vector<std::string> lines) {
  lines.push_back("@Wait");
  fixture.AddScenario("if.scn", lines);
  fixture.Open("if.scn");
  fixture.engine.door.RequestResume();
  fixture.RunUntilIdle();
}

std::vector<std::string> Joined(std::vector<std::string> first, const std::vector<std::string>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

struct Condition {
  const char* text;
  bool holds;
};

// Runs `@if <condition> THEN` with a branch and an @Else after the `setup` lines, in a fresh engine
// for each condition, and checks which branch ran.
void ExpectConditions(const std::vector<std::string>& setup, const std::vector<Condition>& conditions) {
  for (const Condition& c : conditions) {
    ScriptFixture fixture;
    RunScript(fixture, Joined(setup, {std::string("@if ") + c.text + " THEN", "yes", "@Else", "no", "@EndIf"}));
    EXPECT_EQ(fixture.texts, Texts{c.holds ? "yes" : "no"}) << c.text;
    EXPECT_TRUE(fixture.errors.empty()) << c.text;
  }
}

// The single error raised by `lines`, which must be a recoverable one.
void ExpectOneError(const std::vector<std::string>& lines, std::int32_t code, const std::string& info) {
  ScriptFixture fixture;
  RunScript(fixture, lines);
  ASSERT_EQ(fixture.errors.size(), 1u) << lines.back();
  EXPECT_EQ(fixture.errors[0].code, code) << lines.back();
  EXPECT_EQ(fixture.errors[0].info, info) << lines.back();
  EXPECT_FALSE(fixture.errors[0].fatal) << lines.back();
}

TEST(IfCondition, NumericOperatorsCompareSignedNumbers) {
  ExpectConditions({}, {{"1 == 1", true},   {"1 == 2", false}, {"0x10 == 16", true}, {"010 == 10", true},
                        {"abc == 0", true}, {"1 != 2", true},  {"1 != 1", false},    {"1 <> 2", true},
                        {"2 <> 2", false},  {"-1 < 1", true},  {"1 < 1", false},     {"0xFFFFFFFF < 0", true},
                        {"10 > 9", true},   {"9 > 10", false}, {"1 <= 1", true},     {"2 <= 1", false},
                        {"1 =< 1", true},   {"2 =< 1", false}, {"1 >= 1", true},     {"0 >= 1", false},
                        {"1 => 1", true},   {"0 => 1", false}, {"TRUE == 1", true},  {"-5 >= -4", false}});
}

TEST(IfCondition, EqAndNeCompareTextsCaseSensitively) {
  ExpectConditions({}, {{"abc eq abc", true},
                        {"Alice eq alice", false},
                        {"10 eq 010", false},
                        {"abc ne abd", true},
                        {"abc ne abc", false},
                        {"Abc ne abc", true},
                        {"abc EQ abc", true},
                        {"abc Ne abc", false},
                        {"あい eq あい", true},
                        {"あい eq あう", false},
                        {"\"a b\" eq \"a b\"", true},
                        {"\"\" eq \"\"", true}});
}

TEST(IfCondition, OperandsAreExpandedWhenCompared) {
  ExpectConditions({"@Let a = 1 @Let b = 0 @Let c = 0", "@Let name = alice", "@Let n = 5"},
                   {{"$a == 1 OR $b == 1 AND $c == 1", false},
                    {"$name eq Alice", false},
                    {"$name eq alice", true},
                    {"${n}0 == 50", true},
                    {"$n > $a", true},
                    {"$missing == 0", true},
                    {"$missing eq \"\"", true}});
}

TEST(IfCondition, NumberFormExpandsTheOperandTwiceAndTextFormOnce) {
  ScriptFixture fixture;
  fixture.engine.script.variables.SetVarText("v", "$other");
  fixture.engine.script.variables.SetVarText("w", "$other");
  fixture.engine.script.variables.SetVarText("other", "5");
  RunScript(fixture, {"@if $v == 5 THEN", "number", "@EndIf", "@if $v eq 5 THEN", "text", "@EndIf", "@if $v eq $w THEN",
                      "same", "@EndIf"});
  EXPECT_EQ(fixture.texts, (Texts{"number", "same"}));
  EXPECT_TRUE(fixture.errors.empty());
}

TEST(IfCondition, ConnectorsApplyStrictlyLeftToRight) {
  ExpectConditions({}, {
                           {"1 == 1 AND 1 == 0", false},
                           {"1 == 1 AND 1 == 1", true},
                           {"1 == 0 OR 1 == 1", true},
                           {"1 == 0 OR 1 == 0", false},
                           {"1 == 1 OR 1 == 1", true},
                           {"1 == 1 && 1 == 1", true},
                           {"1 == 1 && 1 == 0", false},
                           {"1 == 0 || 1 == 1", true},
                           {"1 == 1 and 1 == 0", false},
                           {"1 == 0 or 1 == 1", true},
                           {"1 == 1 And 1 == 1", true},
                           {"1 == 1 OR 1 == 1 AND 1 == 0", false}, // (a OR b) AND c
                           {"1 == 0 AND 1 == 0 OR 1 == 1", true},  // (a AND b) OR c
                           {"1 == 1 OR 1 == 1 OR 1 == 1 AND 1 == 1", true},
                           {"1 == 1 AND 1 == 0 @if 1 == 1", true}, // a command word starts over
                       });
}

TEST(IfCondition, UnknownOperatorOrConnectorIsASyntaxErrorNamingTheWord) {
  struct Failure {
    const char* condition;
    const char* info;
  };
  const Failure failures[] = {{"1 ?? 1 THEN", "??"},
                              {"1 = 1 THEN", "="},
                              {"1 === 1 THEN", "==="},
                              {"1 equals 1 THEN", "equals"},
                              {"1 == 1 XOR 1 == 1 THEN", "XOR"},
                              {"1 == 1 & 1 == 1 THEN", "&"},
                              {"1 == 1 | 1 == 1 THEN", "|"},
                              {"1 == 1 ANDALSO 1 == 1 THEN", "ANDALSO"},
                              {"1 == 0 AND 1 ?? 1 THEN", "??"}, // no short cut: every comparison is evaluated
                              {"1 == 1 OR 1 ?? 1 THEN", "??"}};
  for (const Failure& f : failures) ExpectOneError({std::string("@if ") + f.condition}, ErrSyntax, f.info);
}

TEST(IfCondition, LineWithoutThenGotoOrReturnIsASyntaxError) {
  for (const char* line : {"@if 1 == 1", "@if 1 == 1 OR 1 == 0", "@if"}) ExpectOneError({line}, ErrSyntax, "");
}

TEST(IfBlock, ElseRunsOnlyWhenTheConditionFails) {
  for (const bool holds : {true, false}) {
    ScriptFixture fixture;
    RunScript(fixture, {holds ? "@if 1 == 1 THEN" : "@if 1 == 0 THEN", "@Let a = then", "then", "@Else",
                        "@Let a = else", "else", "@EndIf", "after"});
    EXPECT_EQ(fixture.texts, (Texts{holds ? "then" : "else", "after"}));
    EXPECT_EQ(fixture.Var("a"), holds ? "then" : "else");
  }
}

TEST(IfBlock, ElsIfChainRunsExactlyOneBranch) {
  const struct {
    const char* a;
    const char* branch;
  } cases[] = {{"1", "one"}, {"2", "two"}, {"3", "three"}, {"0", "other"}};
  for (const auto& c : cases) {
    ScriptFixture fixture;
    RunScript(fixture, {std::string("@Let a = ") + c.a, "@if $a == 1 THEN", "one", "@ElsIf $a == 2 THEN", "two",
                        "@ElsIf $a >= 2 THEN", "three", "@Else", "other", "@EndIf", "after"});
    EXPECT_EQ(fixture.texts, (Texts{c.branch, "after"})) << "a = " << c.a;
    EXPECT_TRUE(fixture.errors.empty());
  }
}

TEST(IfBlock, BlockNestedInAFalseBlockRunsNothingAndTheOuterElseStillWorks) {
  ScriptFixture fixture;
  RunScript(fixture, {"@if 1 == 0 THEN", "@if 1 == 1 THEN", "inner then", "@Let a /= 0", "@Else", "inner else",
                      "@EndIf", "outer then", "@Else", "outer else", "@EndIf", "after"});
  EXPECT_EQ(fixture.texts, (Texts{"outer else", "after"}));
  EXPECT_TRUE(fixture.errors.empty());
}

TEST(IfBlock, SixteenNestedBlocksRestoreTheirStates) {
  std::vector<std::string> lines;
  for (int level = 1; level <= 16; ++level) lines.push_back("@if 1 == 1 THEN");
  lines.push_back("deepest");
  for (int level = 16; level >= 1; --level) {
    lines.insert(lines.end(), {"@Else", "else " + std::to_string(level), "@EndIf", "after " + std::to_string(level)});
  }
  ScriptFixture fixture;
  RunScript(fixture, lines);
  Texts expected{"deepest"};
  for (int level = 16; level >= 1; --level) expected.push_back("after " + std::to_string(level));
  EXPECT_EQ(fixture.texts, expected);
  EXPECT_EQ(fixture.engine.script.scenario->ifStack.Depth(), 0);
}

TEST(IfBlock, FalseOuterBlockSurvivesFifteenNestedBlocks) {
  std::vector<std::string> lines{"@if 1 == 0 THEN"};
  for (int level = 2; level <= 16; ++level) lines.push_back("@if 1 == 1 THEN");
  lines.push_back("deepest");
  for (int level = 16; level >= 2; --level) lines.insert(lines.end(), {"@EndIf", "hidden " + std::to_string(level)});
  lines.insert(lines.end(), {"outer then", "@Else", "outer else", "@EndIf", "after"});
  ScriptFixture fixture;
  RunScript(fixture, lines);
  EXPECT_EQ(fixture.texts, (Texts{"outer else", "after"}));
}

TEST(IfBlock, ConditionsOfASettledBlockAreNotEvaluated) {
  const std::vector<std::string> scripts[] = {
      {"@if 1 == 0 THEN", "@if 1 ?? 1 THEN", "@EndIf", "@EndIf"},
      {"@if 1 == 0 THEN", "@if 1 == 1 XOR 1 == 1 THEN", "@ElsIf 1 ?? 1 THEN", "@EndIf", "@EndIf"},
      {"@if 1 == 1 THEN", "@ElsIf 1 ?? 1 THEN", "@ElsIf 1 == 1 XOR 1 == 1 THEN", "@EndIf"},
      {"@if 1 == 1 THEN", "@Else", "@if 1 ?? 1 THEN", "@EndIf", "@EndIf"}};
  for (const auto& lines : scripts) {
    ScriptFixture fixture;
    RunScript(fixture, Joined(lines, {"after"}));
    EXPECT_TRUE(fixture.errors.empty()) << lines[1];
    EXPECT_EQ(fixture.texts, Texts{"after"}) << lines[1];
  }
}

TEST(IfBlock, ElsIfIsEvaluatedWhileNoBranchHasRun) {
  ExpectOneError({"@if 1 == 0 THEN", "@ElsIf 1 ?? 1 THEN", "@EndIf"}, ErrSyntax, "??");
}

// Lines for the one-line forms: `x` is 2, and labels `yes` and `no` follow the tested line.
std::vector<std::string> JumpScript(const std::string& line) {
  return {"@Let x = 2", line, "next", "@Wait", "// yes", "yes", "@Wait", "// no", "no"};
}

TEST(IfGoto, JumpsToTheLabelOrTheElseLabelWithoutAnEndIf) {
  const struct {
    const char* line;
    const char* shown;
  } cases[] = {{"@if $x == 2 GOTO #yes ELSE #no", "yes"}, {"@if $x == 1 GOTO #yes ELSE #no", "no"},
               {"@if $x == 1 GOTO #yes", "next"},         {"@if $x == 1 GOTO \"\"", "next"},
               {"@if $x == 1 GOTO \"\" ELSE #no", "no"},  {"@if $x == 2 GOTO #yes ELSE \"\"", "yes"}};
  for (const auto& c : cases) {
    ScriptFixture fixture;
    RunScript(fixture, JumpScript(c.line));
    EXPECT_EQ(fixture.texts, Texts{c.shown}) << c.line;
    EXPECT_TRUE(fixture.errors.empty()) << c.line;
    EXPECT_EQ(fixture.engine.script.scenario->ifStack.Depth(), 0) << c.line;
  }
}

TEST(IfGoto, JumpsToAnotherFile) {
  ScriptFixture fixture;
  fixture.AddScenario("other.scn", {"other", "@Wait"});
  RunScript(fixture, {"@if 1 == 1 GOTO other.scn", "next"});
  EXPECT_EQ(fixture.texts, Texts{"other"});
  EXPECT_EQ(fixture.engine.script.scenario->fileName, "other.scn");
}

TEST(IfGoto, MissingLabelIsAMissingParameter) {
  for (const char* line : {"@if $x == 2 GOTO", "@if $x == 2 GOTO \"\" ELSE #no", "@if $x == 1 GOTO #yes ELSE",
                           "@if $x == 1 GOTO #yes ELSE \"\""}) {
    ExpectOneError(JumpScript(line), ErrMissingParam, "無し");
  }
}

TEST(IfReturn, SetsExitToTheValueOrTheElseValue) {
  const struct {
    const char* line;
    const char* exit;
  } cases[] = {{"@if 1 == 1 RETURN yes ELSE no", "yes"},
               {"@if 1 == 0 RETURN yes ELSE no", "no"},
               {"@if 1 == 1 RETURN yes", "yes"},
               {"@if 1 == 0 RETURN yes", "old"},
               {"@if 1 == 1 RETURN", ""}};
  for (const auto& c : cases) {
    ScriptFixture fixture;
    RunScript(fixture, {"@Let exit = old", c.line, "next"});
    EXPECT_EQ(fixture.Var("exit"), c.exit) << c.line;
    EXPECT_EQ(fixture.texts, Texts{"next"}) << c.line;
    EXPECT_TRUE(fixture.errors.empty()) << c.line;
    EXPECT_EQ(fixture.engine.script.scenario->ifStack.Depth(), 0) << c.line;
  }
}

TEST(IfOneLineForms, InASkippedBlockTheyOnlyRestoreTheSavedState) {
  ScriptFixture fixture;
  RunScript(fixture, {"@if 1 == 0 THEN", "@if 1 == 1 GOTO #never", "@if 1 == 1 RETURN x", "hidden", "@Else", "shown",
                      "@EndIf", "after", "@Wait", "// never", "never"});
  EXPECT_EQ(fixture.texts, (Texts{"shown", "after"}));
  EXPECT_EQ(fixture.Var("exit"), "");
  EXPECT_TRUE(fixture.errors.empty());
}

TEST(IfOneLineForms, OnAnElsIfLineTheyEndTheEnclosingBlock) {
  ScriptFixture fixture;
  RunScript(fixture,
            {"@if 1 == 0 THEN", "first", "@ElsIf 1 == 1 RETURN r", "second", "@Else", "third", "@EndIf", "after"});
  EXPECT_EQ(fixture.Var("exit"), "r");
  // The @ElsIf restored the state saved by @if, so the lines after it run as outside the block,
  // and @Else then skips its branch.
  EXPECT_EQ(fixture.texts, (Texts{"second", "after"}));
}

} // namespace
} // namespace velmo
