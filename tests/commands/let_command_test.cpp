#include "tests/support/script_fixture.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace velmo {
namespace {

// Runs `lines` from the first line of a scenario file until the @Wait that follows them.
void RunScript(ScriptFixture& fixture, std::vector<std::string> lines) {
  lines.push_back("@Wait");
  fixture.AddScenario("let.scn", lines);
  fixture.Open("let.scn");
  fixture.engine.door.RequestResume();
  fixture.RunUntilIdle();
}

struct Case {
  std::vector<std::string> lines;
  const char* a; // the value of variable `a` afterwards
};

// Each case runs in a fresh engine and must leave `a` as expected without raising anything.
void ExpectValues(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    ScriptFixture fixture;
    RunScript(fixture, c.lines);
    EXPECT_EQ(fixture.Var("a"), c.a) << c.lines.back();
    EXPECT_TRUE(fixture.errors.empty()) << c.lines.back();
  }
}

std::string Repeat(const std::string& text, int times) {
  std::string result;
  for (int i = 0; i < times; ++i) result += text;
  return result;
}

TEST(LetCommand, AssignStoresTheOperandTextWithoutConversion) {
  ExpectValues({{{"@Let a = 0x10"}, "0x10"},
                {{"@Let a = 007"}, "007"},
                {{"@Let a = \"two words\""}, "two words"},
                {{"@Let a = あいう"}, "あいう"},
                {{"@Let a = 5", "@Let a ="}, ""},
                {{"@ a = 5"}, "5"},
                {{"@Let a = 0x10", "@Let a += 1"}, "17"}});
}

TEST(LetCommand, AddSubtractAndMultiplyWrapIn32Bits) {
  ExpectValues({{{"@Let a = 5", "@Let a += 0x10"}, "21"},
                {{"@Let a = 5", "@Let a -= 7"}, "-2"},
                {{"@Let a = 5", "@Let a *= -3"}, "-15"},
                {{"@Let a += 1"}, "1"}, // a missing variable reads as 0
                {{"@Let a = abc", "@Let a += 2"}, "2"},
                {{"@Let a = 12abc", "@Let a += 1"}, "13"},
                {{"@Let a = 2147483647", "@Let a += 1"}, "-2147483648"},
                {{"@Let a = -2147483648", "@Let a -= 1"}, "2147483647"},
                {{"@Let a = 65536", "@Let a *= 65536"}, "0"},
                {{"@Let a = 0x7FFFFFFF", "@Let a *= 2"}, "-2"}});
}

TEST(LetCommand, DivideAndRemainderTruncateTowardZero) {
  ExpectValues({{{"@Let a = 5", "@Let a /= 2"}, "2"},
                {{"@Let a = 5", "@Let a %= -3"}, "2"},
                {{"@Let a = 5", "@Let a -= 7", "@Let a /= 2"}, "-1"},
                {{"@Let a = -7", "@Let a /= 2"}, "-3"},
                {{"@Let a = -7", "@Let a %= 2"}, "-1"},
                {{"@Let a = 7", "@Let a /= -2"}, "-3"},
                {{"@Let a = -7", "@Let a %= -2"}, "-1"},
                {{"@Let a = -2147483648", "@Let a /= 2"}, "-1073741824"}});
}

TEST(LetCommand, MostNegativeNumberDividedByMinusOneWraps) {
  ExpectValues(
      {{{"@Let a = -2147483648", "@Let a /= -1"}, "-2147483648"}, {{"@Let a = -2147483648", "@Let a %= -1"}, "0"}});
}

TEST(LetCommand, DivisionByZeroIsReportedAndLeavesTheVariable) {
  for (const char* line : {"@Let a /= 0", "@Let a %= 0", "@Let a =rand 0", "@Let a /= zero", "@Let a %= 0x"}) {
    ScriptFixture fixture;
    RunScript(fixture, {"@Let a = 5", line, "@Let b = 1"});
    ASSERT_EQ(fixture.errors.size(), 1u) << line;
    EXPECT_EQ(fixture.errors[0].code, ErrDivZero) << line;
    EXPECT_EQ(fixture.errors[0].info, "無し") << line;
    EXPECT_FALSE(fixture.errors[0].fatal) << line;
    EXPECT_EQ(fixture.errors[0].line, 2) << line;
    EXPECT_EQ(fixture.Var("a"), "5") << line;
    EXPECT_EQ(fixture.Var("b"), "1") << line; // the player went on with the next line
  }
}

TEST(LetCommand, IncrementAndDecrementTakeNoOperand) {
  ExpectValues({{{"@Let a = 41", "@Let a ++"}, "42"},
                {{"@Let a --"}, "-1"},
                {{"@Let a = 2147483647", "@Let a ++"}, "-2147483648"},
                {{"@Let a = -2147483648", "@Let a --"}, "2147483647"},
                {{"@Let a ++ @Let a ++ @Let a ++"}, "3"},
                {{"@Let a = 3 @Let a -- @Let a *= 7"}, "14"}});
}

TEST(LetCommand, BitwiseOperators) {
  ExpectValues({{{"@Let a = 12", "@Let a |= 3"}, "15"},
                {{"@Let a = 12", "@Let a &= 10"}, "8"},
                {{"@Let a = 12", "@Let a ^= 10"}, "6"},
                {{"@Let a = -1", "@Let a &= 0xFF"}, "255"},
                {{"@Let a |= 0b101"}, "5"},
                {{"@Let a = 0x0F", "@Let a ^= -1"}, "-16"}});
}

TEST(LetCommand, ShiftsUseTheLowFiveBitsAndShiftRightKeepsTheSign) {
  ExpectValues({{{"@Let a = 1", "@Let a <<= 4"}, "16"},
                {{"@Let a = 1", "@Let a <<= 31"}, "-2147483648"},
                {{"@Let a = 1", "@Let a <<= 33"}, "2"},
                {{"@Let a = 3", "@Let a <<= -1"}, "-2147483648"},
                {{"@Let a = 0x40000001", "@Let a <<= 2"}, "4"},
                {{"@Let a = 256", "@Let a >>= 4"}, "16"},
                {{"@Let a = 256", "@Let a >>= 36"}, "16"},
                {{"@Let a = -8", "@Let a >>= 1"}, "-4"},
                {{"@Let a = -1", "@Let a >>= 31"}, "-1"},
                {{"@Let a = -2147483648", "@Let a >>= 31"}, "-1"},
                {{"@Let a = 5", "@Let a >>= 32"}, "5"}});
}

TEST(LetCommand, AbsAndSignDependOnlyOnTheOperand) {
  ExpectValues({{{"@Let a = 100", "@Let a =abs -7"}, "7"},
                {{"@Let a =abs 7"}, "7"},
                {{"@Let a =abs 0x10"}, "16"},
                {{"@Let a =abs -2147483648"}, "-2147483648"},
                {{"@Let a = 100", "@Let a =sign -9"}, "-1"},
                {{"@Let a = 100", "@Let a =sign 0"}, "0"},
                {{"@Let a = -100", "@Let a =sign 12"}, "1"},
                {{"@Let a = 100", "@Let a =sign abc"}, "0"}});
}

TEST(LetCommand, AppendAddsTheOperandTextToTheCurrentText) {
  ExpectValues({{{"@Let a = abc", "@Let a .= def"}, "abcdef"},
                {{"@Let a .= x"}, "x"},
                {{"@Let a = 12", "@Let a .= 34", "@Let a += 1"}, "1235"},
                {{"@Let a = 0x", "@Let a .= 1F", "@Let a += 0"}, "31"},
                {{"@Let a = あ", "@Let a .= \"い う\""}, "あい う"}});
}

TEST(LetCommand, StrlenCountsTheBytesOfTheOperandText) {
  ExpectValues({{{"@Let s = abc", "@Let s .= def", "@Let a =strlen ${s}"}, "6"},
                {{"@Let a =strlen あいう"}, "6"},
                {{"@Let a =strlen \"a b\""}, "3"},
                {{"@Let a =strlen \"\""}, "0"},
                {{"@Let a =strlen 0x10"}, "4"}});
}

TEST(LetCommand, OperatorWordsIgnoreCase) {
  ExpectValues({{{"@Let a =RAND 1"}, "0"},
                {{"@Let a =Abs -3"}, "3"},
                {{"@Let a =SIGN -3"}, "-1"},
                {{"@Let a =StrLen abc"}, "3"}});
}

TEST(LetCommand, RandDrawsFromZeroToBelowTheOperandsMagnitude) {
  for (const int limit : {6, -4, 1, -1}) {
    ScriptFixture fixture;
    std::vector<std::string> lines;
    for (int i = 0; i < 100; ++i) lines.push_back("@Let r" + std::to_string(i) + " =rand " + std::to_string(limit));
    RunScript(fixture, lines);
    EXPECT_TRUE(fixture.errors.empty());
    const int magnitude = limit < 0 ? -limit : limit;
    std::set<std::string> seen;
    for (int i = 0; i < 100; ++i) seen.insert(fixture.Var("r" + std::to_string(i)));
    std::set<std::string> possible;
    for (int r = 0; r < magnitude; ++r) possible.insert(std::to_string(r));
    // A hundred draws among at most six values reach every one of them.
    EXPECT_EQ(seen, possible) << "=rand " << limit;
  }
}

TEST(LetCommand, UnknownOperatorIsASyntaxErrorNamingIt) {
  struct Failure {
    const char* line;
    const char* info;
  };
  const Failure failures[] = {{"@Let a := 1", ":="},
                              {"@Let a == 1", "=="},
                              {"@Let a **= 2", "**="},
                              {"@Let a =max 1", "=max"},
                              {"@Let a =randx 5", "=randx"},
                              {"@Let a=1", ""}, // the operator must stand apart
                              {"@Let a", ""},
                              {"@Let a ++= 1", "++="}};
  for (const Failure& f : failures) {
    ScriptFixture fixture;
    RunScript(fixture, {f.line, "@Let b = 1"});
    ASSERT_EQ(fixture.errors.size(), 1u) << f.line;
    EXPECT_EQ(fixture.errors[0].code, ErrSyntax) << f.line;
    EXPECT_EQ(fixture.errors[0].info, f.info) << f.line;
    EXPECT_FALSE(fixture.errors[0].fatal) << f.line;
    EXPECT_EQ(fixture.Var("a"), "") << f.line;
    EXPECT_EQ(fixture.Var("b"), "1") << f.line;
  }
}

TEST(LetCommand, ValuesKeep63BytesAndNeverHalfACharacter) {
  const std::string ascii = Repeat("0123456789", 10);
  const std::string kana = Repeat("あ", 50);
  struct Cut {
    std::vector<std::string> lines;
    std::string a;
  };
  const Cut cuts[] = {{{"@Let a = " + ascii}, ascii.substr(0, 63)},
                      {{"@Let a = " + kana}, Repeat("あ", 31)},
                      {{"@Let a = " + Repeat("x", 60), "@Let a .= bcdef"}, Repeat("x", 60) + "bcd"},
                      {{"@Let a = " + Repeat("x", 62), "@Let a .= あ"}, Repeat("x", 62)},
                      {{"@Let a = " + Repeat("x", 60), "@Let a .= あい"}, Repeat("x", 60) + "あ"},
                      {{"@Let a = " + Repeat("x", 61), "@Let a .= あい"}, Repeat("x", 61) + "あ"}};
  for (const Cut& c : cuts) {
    ScriptFixture fixture;
    RunScript(fixture, c.lines);
    EXPECT_EQ(fixture.Var("a"), c.a) << c.lines.back();
    EXPECT_TRUE(fixture.errors.empty());
  }
}

TEST(LetCommand, EveryGroupBeginsWithAMarker) {
  ScriptFixture fixture;
  RunScript(fixture, {"@Let a = 1 @Let b = 2", "@ c = 3 @ d ++ @Let e = 5", "@Let f = 6 next g = 7"});
  EXPECT_EQ(fixture.Var("a"), "1");
  EXPECT_EQ(fixture.Var("b"), "2");
  EXPECT_EQ(fixture.Var("c"), "3");
  EXPECT_EQ(fixture.Var("d"), "1");
  EXPECT_EQ(fixture.Var("e"), "5");
  EXPECT_EQ(fixture.Var("f"), "6");
  EXPECT_EQ(fixture.Var("g"), "7"); // any word may serve as the marker
  EXPECT_TRUE(fixture.errors.empty());
}

TEST(LetCommand, LaterGroupsSeeWhatEarlierGroupsAssigned) {
  ScriptFixture fixture;
  RunScript(fixture,
            {"@Let a = 1", "@Let a = 2 @Let b = $a", "@Let n = 5 @Let n += $n", "@Let i = 3 @Let v[${i}] = x"});
  EXPECT_EQ(fixture.Var("b"), "2");
  EXPECT_EQ(fixture.Var("n"), "10");
  EXPECT_EQ(fixture.Var("v[3]"), "x"); // the name is expanded again too
  EXPECT_EQ(fixture.Var("v[]"), "");
  EXPECT_TRUE(fixture.errors.empty());
}

TEST(LetCommand, SemicolonItemOrEmptyMarkerEndsTheAssignments) {
  for (const char* line : {"@Let a = 1 ; @Let b = 2", "@Let a = 1 ;note @Let b = 2", "@Let a = 1 \"\" b = 2"}) {
    ScriptFixture fixture;
    RunScript(fixture, {line});
    EXPECT_EQ(fixture.Var("a"), "1") << line;
    EXPECT_EQ(fixture.Var("b"), "") << line;
    EXPECT_TRUE(fixture.errors.empty()) << line;
  }
}

TEST(LetCommand, VariableNameMayComeFromAReference) {
  ScriptFixture fixture;
  RunScript(fixture, {"@Let p = target", "@Let $p = 1", "@Let $p += 41"});
  EXPECT_EQ(fixture.Var("target"), "42");
  EXPECT_EQ(fixture.Var("p"), "target");
}

TEST(LetCommand, EarlierGroupsKeepTheirAssignmentsWhenALaterGroupFails) {
  ScriptFixture fixture;
  RunScript(fixture, {"@Let a = 1 @Let b /= 0 @Let c = 3", "@Let d = 4 @Let e ?= 5 @Let f = 6"});
  ASSERT_EQ(fixture.errors.size(), 2u);
  EXPECT_EQ(fixture.errors[0].code, ErrDivZero);
  EXPECT_EQ(fixture.errors[1].code, ErrSyntax);
  EXPECT_EQ(fixture.errors[1].info, "?=");
  EXPECT_EQ(fixture.Var("a"), "1");
  EXPECT_EQ(fixture.Var("c"), "");
  EXPECT_EQ(fixture.Var("d"), "4");
  EXPECT_EQ(fixture.Var("f"), "");
}

} // namespace
} // namespace velmo
