#include "engine/script/command_line.h"

#include "engine/base/errors.h"
#include "engine/script/list_hash.h"

#include "tests/support/script_errors.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace velmo {
namespace {

class LineTest : public ::testing::Test {
protected:
  TListHash vars;
  TCommandLine line{vars};
};

class CommandLineParse : public LineTest {};
class CommandLineSubstitute : public LineTest {};
class FindParamRule : public LineTest {};
class ReferenceExpansion : public LineTest {
protected:
  // The expansion of the reference at `src`; `consumed` receives the source bytes it took.
  std::string Expand(const char* src, std::size_t& consumed) {
    char out[TListHash::ValueSize];
    std::memset(out, 'X', sizeof out);
    consumed = ExpandReference(src, vars, out);
    const std::size_t length = strnlen(out, sizeof out);
    EXPECT_LT(length, sizeof out) << "expansion of " << src << " is not terminated";
    return std::string(out, length);
  }
};

TEST_F(CommandLineParse, CommandWordIsCopiedLiterallyAfterLeadingBlanks) {
  vars.SetVarText("v", "X");
  EXPECT_EQ(line.Parse(" \t@Wait 500"), 2);
  EXPECT_EQ(line.Count(), 2);
  EXPECT_STREQ(line.Key(1), "@Wait");
  EXPECT_STREQ(line.Value(1), "");
  EXPECT_STREQ(line.Value(2), "500");

  // No quoting, '=' or reference handling in the command word.
  line.Parse("@A=\"$v b");
  EXPECT_STREQ(line.Key(1), "@A=\"$v");
  EXPECT_STREQ(line.Value(2), "b");
}

TEST_F(CommandLineParse, LineWithOnlyCommandWordHasAnEmptyBareToken2) {
  EXPECT_EQ(line.Parse("@Cmd"), 2);
  EXPECT_STREQ(line.Key(2), "");
  EXPECT_STREQ(line.Value(2), "");
  EXPECT_TRUE(line.IsBare(2));
  EXPECT_STREQ(line.Key(3), "");
  EXPECT_STREQ(line.Value(64), "");
  EXPECT_STREQ(line.Value(65), "");
}

TEST_F(CommandLineParse, NamedAndBareTokensKeepTheirPositions) {
  EXPECT_EQ(line.Parse("@Cmd A B=1 C"), 4);
  EXPECT_TRUE(line.IsBare(2));
  EXPECT_STREQ(line.Value(2), "A");
  EXPECT_FALSE(line.IsBare(3));
  EXPECT_STREQ(line.Key(3), "B");
  EXPECT_STREQ(line.Value(3), "1");
  EXPECT_TRUE(line.IsBare(4));
  EXPECT_STREQ(line.Value(4), "C");
}

TEST_F(CommandLineParse, BlanksAroundEqualsStillNameTheToken) {
  struct Case {
    const char* text;
    const char* key;
  };
  const Case cases[] = {{"@Wait TIME=500", "TIME"},
                        {"@Wait time = 500", "time"},
                        {"@Wait TIME =500", "TIME"},
                        {"@Wait TIME= 500", "TIME"},
                        {"@Wait\tTime\t=\t500", "Time"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(line.Parse(c.text), 2);
    EXPECT_FALSE(line.IsBare(2));
    EXPECT_STREQ(line.Key(2), c.key);
    EXPECT_STREQ(line.Value(2), "500");
  }

  // The bare token before a free-standing '=' is no longer a token of its own.
  EXPECT_EQ(line.Parse("@Cmd A B = 1 C"), 4);
  EXPECT_STREQ(line.Value(2), "A");
  EXPECT_STREQ(line.Key(3), "B");
  EXPECT_STREQ(line.Value(3), "1");
  EXPECT_STREQ(line.Value(4), "C");
}

TEST_F(CommandLineParse, OnlyTheFirstEqualsOutsideQuotesSeparatesKeyFromValue) {
  line.Parse("@Cmd KEY=A=B \"A=B\" K==x Q=\"x=y\"");
  EXPECT_EQ(line.Count(), 5);
  EXPECT_STREQ(line.Key(2), "KEY");
  EXPECT_STREQ(line.Value(2), "A=B");
  EXPECT_TRUE(line.IsBare(3));
  EXPECT_STREQ(line.Value(3), "A=B");
  EXPECT_STREQ(line.Key(4), "K");
  EXPECT_STREQ(line.Value(4), "=x");
  EXPECT_STREQ(line.Key(5), "Q");
  EXPECT_STREQ(line.Value(5), "x=y");
}

TEST_F(CommandLineParse, EqualsStartingTheFirstParameterIsAnOrdinaryCharacter) {
  EXPECT_EQ(line.Parse("@Cmd =x"), 2);
  EXPECT_TRUE(line.IsBare(2));
  EXPECT_STREQ(line.Value(2), "=x");

  EXPECT_EQ(line.Parse("@Cmd = x"), 3);
  EXPECT_STREQ(line.Value(2), "=");
  EXPECT_STREQ(line.Value(3), "x");
}

TEST_F(CommandLineParse, BarenessIsDecidedByPointerNotByText) {
  line.Parse("@Cmd A=A KEY=,X =");
  EXPECT_EQ(line.Count(), 4);
  EXPECT_FALSE(line.IsBare(2));
  EXPECT_STREQ(line.Key(2), "A");
  EXPECT_STREQ(line.Value(2), "A");
  EXPECT_FALSE(line.IsBare(3));
  EXPECT_STREQ(line.Key(3), "KEY");
  EXPECT_STREQ(line.Value(3), "");
  EXPECT_FALSE(line.IsBare(4));
  EXPECT_STREQ(line.Key(4), "X");
  EXPECT_STREQ(line.Value(4), "");
}

TEST_F(CommandLineParse, CommasSeparateTokensLikeBlanks) {
  line.Parse("@Cmd a,b, c");
  EXPECT_EQ(line.Count(), 4);
  EXPECT_STREQ(line.Value(2), "a");
  EXPECT_STREQ(line.Value(3), "b");
  EXPECT_STREQ(line.Value(4), "c");

  for (const char* text : {"@Cmd a ,b", "@Cmd a,,b"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(line.Parse(text), 4);
    EXPECT_STREQ(line.Value(2), "a");
    EXPECT_TRUE(line.IsBare(3));
    EXPECT_STREQ(line.Value(3), "");
    EXPECT_STREQ(line.Value(4), "b");
  }
}

TEST_F(CommandLineParse, QuotesEncloseBlanksAndCommas) {
  line.Parse("@Cmd \"a b\",c RECT=\"0,0,640,480\" \"x\ty\"");
  EXPECT_EQ(line.Count(), 5);
  EXPECT_TRUE(line.IsBare(2));
  EXPECT_STREQ(line.Value(2), "a b");
  EXPECT_STREQ(line.Value(3), "c");
  EXPECT_STREQ(line.Key(4), "RECT");
  EXPECT_STREQ(line.Value(4), "0,0,640,480");
  EXPECT_STREQ(line.Value(5), "x\ty");
}

TEST_F(CommandLineParse, EmptyQuotedStringIsABareEmptyToken) {
  EXPECT_EQ(line.Parse("@Cmd \"\" x"), 3);
  EXPECT_TRUE(line.IsBare(2));
  EXPECT_STREQ(line.Value(2), "");
  EXPECT_STREQ(line.Value(3), "x");
  const char* first = FindParam(line, "P", 1);
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first, "");
}

TEST_F(CommandLineParse, MisplacedOrUnclosedQuoteIsASyntaxError) {
  const char* const lines[] = {
      "@Cmd a\"b\"",                 // quote inside a word
      "@Cmd \"a\"\"b\"",             // a second quote right after the closing one
      "@Cmd KEY=\"x",                // line ends inside quotes
      "@Cmd \"a b",                  // the same for a bare token
      "ある日 彼は\"はい\"と言った", // message text with an unescaped quote inside a word
  };
  for (const char* text : lines) {
    SCOPED_TRACE(text);
    const TBaseException e = RaisedError([&] { line.Parse(text); });
    EXPECT_EQ(e.code, ErrSyntax);
    EXPECT_FALSE(e.fatal);
    EXPECT_STREQ(e.info, "引用符の記述間違い");
  }
}

TEST_F(CommandLineParse, TextAfterAClosingQuoteIsASyntaxError) {
  const TBaseException e = RaisedError([&] { line.Parse("@Cmd KEY=\"x\"y"); });
  EXPECT_EQ(e.code, ErrSyntax);
  EXPECT_FALSE(e.fatal);
  EXPECT_STREQ(e.info, "引用符の記述間違い");
}

TEST_F(CommandLineParse, ReferencesExpandInsideAndOutsideQuotes) {
  vars.SetVarText("v", "abc");
  vars.SetVarText("a", "1");
  vars.SetVarText("b", "2");
  vars.SetVarText("a.b", "dot");
  line.Parse("@Cmd $v \"<${v}>\" K=$v Q=\"${v}!\" $a$b $a.b ${a}.b $missing");
  EXPECT_EQ(line.Count(), 9);
  EXPECT_STREQ(line.Value(2), "abc");
  EXPECT_STREQ(line.Value(3), "<abc>");
  EXPECT_STREQ(line.Key(4), "K");
  EXPECT_STREQ(line.Value(4), "abc");
  EXPECT_STREQ(line.Value(5), "abc!");
  EXPECT_STREQ(line.Value(6), "12");
  EXPECT_STREQ(line.Value(7), "dot");
  EXPECT_STREQ(line.Value(8), "1.b");
  EXPECT_TRUE(line.IsBare(9));
  EXPECT_STREQ(line.Value(9), "");
}

TEST_F(CommandLineParse, ExpandedValueIsCopiedWithoutBeingScannedAgain) {
  vars.SetVarText("list", "a b,c");
  vars.SetVarText("quoted", "say \"hi\"");
  vars.SetVarText("pair", "K=V");
  vars.SetVarText("ref", "$list");
  line.Parse("@Cmd $list $quoted $pair $ref");
  EXPECT_EQ(line.Count(), 5);
  EXPECT_STREQ(line.Value(2), "a b,c");
  EXPECT_STREQ(line.Value(3), "say \"hi\"");
  EXPECT_TRUE(line.IsBare(4));
  EXPECT_STREQ(line.Value(4), "K=V");
  EXPECT_STREQ(line.Value(5), "$list");
}

TEST_F(CommandLineParse, ReferenceCanSupplyTheKey) {
  vars.SetVarText("k", "NAME");
  line.Parse("@Cmd ${k}=1");
  EXPECT_STREQ(line.Key(2), "NAME");
  EXPECT_STREQ(line.Value(2), "1");
}

TEST_F(CommandLineParse, EscapeBytesAreOrdinaryCharacters) {
  vars.SetVarText("v", "expanded");
  // Escaped quote, comma and dollar: they neither quote, separate nor refer.
  line.Parse("@Cmd a\x0C"
             "b x\x0E"
             "y \x0D"
             "v \x0C"
             "q\x0C");
  EXPECT_EQ(line.Count(), 5);
  EXPECT_STREQ(line.Value(2), "a\x0C"
                              "b");
  EXPECT_STREQ(line.Value(3), "x\x0E"
                              "y");
  EXPECT_STREQ(line.Value(4), "\x0Dv");
  EXPECT_STREQ(line.Value(5), "\x0Cq\x0C");
}

TEST_F(CommandLineParse, TwoByteCharactersAreKeptWhole) {
  line.Parse("@表示 名前=表 \"能力 ソ\"");
  EXPECT_STREQ(line.Key(1), "@表示");
  EXPECT_STREQ(line.Key(2), "名前");
  EXPECT_STREQ(line.Value(2), "表");
  EXPECT_STREQ(line.Value(3), "能力 ソ");
}

TEST_F(CommandLineParse, ParsingAgainForgetsThePreviousTokens) {
  line.Parse("@A x y=1 z");
  EXPECT_EQ(line.Parse("@B"), 2);
  EXPECT_STREQ(line.Key(1), "@B");
  EXPECT_STREQ(line.Value(2), "");
  EXPECT_STREQ(line.Key(3), "");
  EXPECT_STREQ(line.Value(4), "");
}

TEST_F(CommandLineParse, TokensBeyondSixtyFourAreDropped) {
  std::string text = "@Cmd";
  for (int i = 1; i <= 70; ++i) text += " t" + std::to_string(i);
  text += " K = V";
  EXPECT_EQ(line.Parse(text.c_str()), 64);
  EXPECT_EQ(line.Count(), 64);
  EXPECT_STREQ(line.Value(2), "t1");
  EXPECT_STREQ(line.Value(64), "t63");
  EXPECT_STREQ(line.Value(65), "");
}

TEST_F(CommandLineParse, TextsBeyondTheBufferAreCutNotOverrun) {
  const std::string full(63, 'v');
  vars.SetVarText("v", full);
  std::string text = "@Cmd";
  for (int i = 0; i < 30; ++i) text += " $v";
  EXPECT_EQ(line.Parse(text.c_str()), 31);
  EXPECT_EQ(line.Value(2), full);
  for (int i = 2; i <= 31; ++i) EXPECT_EQ(full.substr(0, std::strlen(line.Value(i))), line.Value(i)) << i;

  // One token of 600 two-byte characters: cut, and never inside a character.
  std::string wide = "@Cmd ";
  for (int i = 0; i < 600; ++i) wide += "表";
  line.Parse(wide.c_str());
  const std::string kept = line.Value(2);
  EXPECT_LT(kept.size(), 1024u);
  EXPECT_EQ(kept.size() % 2, 0u);
  EXPECT_EQ(wide.substr(5, kept.size()), kept);

  const std::string word(2000, 'w');
  line.Parse(word.c_str());
  EXPECT_LT(std::strlen(line.Key(1)), 1024u);
}

TEST_F(CommandLineSubstitute, ExpandsEveryReferenceAndDropsEveryTab) {
  vars.SetVarText("a", "5");
  vars.SetVarText("b", "6");
  vars.SetVarText("a.b", "dot");
  EXPECT_STREQ(line.Substitute("@Let\tx\t= $a + 1\t"), "@Letx= 5 + 1");
  EXPECT_STREQ(line.Substitute("$a$b ${a}.b $a.b,$none}"), "56 5.b dot,}");
  EXPECT_STREQ(line.Substitute("表示${a}能 \"${b}\""), "表示5能 \"6\"");
}

TEST_F(CommandLineSubstitute, EscapedDollarAndExpandedValuesAreNotReferences) {
  vars.SetVarText("a", "5");
  vars.SetVarText("ref", "$a");
  EXPECT_STREQ(line.Substitute("\x0D"
                               "a $ref"),
               "\x0D"
               "a $a");
}

TEST_F(CommandLineSubstitute, MalformedReferenceIsASyntaxError) {
  const TBaseException e = RaisedError([&] { line.Substitute("@Let x = ${a{b}}"); });
  EXPECT_EQ(e.code, ErrSyntax);
  EXPECT_STREQ(e.info, "変数名の記述間違い");
}

TEST_F(CommandLineSubstitute, LongResultIsCutInsideTheBuffer) {
  vars.SetVarText("v", std::string(63, 'v'));
  std::string text;
  for (int i = 0; i < 30; ++i) text += "$v";
  const std::string result = line.Substitute(text.c_str());
  EXPECT_LT(result.size(), 1024u);
  EXPECT_GT(result.size(), 900u);
  EXPECT_EQ(result, std::string(result.size(), 'v'));
}

TEST_F(CommandLineSubstitute, LoneReferenceReadsWhatSubstituteWrites) {
  vars.SetVarText("i", "12");
  vars.SetVarText("name", "i");
  vars.SetVarText("full", std::string(63, 'f'));
  // A plug-in may fill a value buffer to its last byte: the expansion still ends at 63 bytes.
  std::memset(vars.ValueBuffer("raw"), 'r', TListHash::ValueSize);
  struct Case {
    const char* item;
    bool lone;
  };
  const Case cases[] = {
      {"$i", true},      {"$none", true}, {"$full", true}, {"$raw", true},       {"${i}", false},
      {"$$name", false}, {"$i,x", false}, {"$i x", false}, {"$i$i", false},      {"x$i", false},
      {"$", false},      {"i", false},    {"$i}", false},  {"$\x82\xa0", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    const std::optional<std::string_view> lone = LoneReference(c.item, vars);
    ASSERT_EQ(lone.has_value(), c.lone);
    if (lone) {
      EXPECT_EQ(*lone, std::string(line.Substitute(c.item)));
    }
  }
}

TEST_F(FindParamRule, PositionalAndNamedFormsGiveTheSameValue) {
  for (const char* text : {"@Wait 500", "@Wait TIME=500", "@Wait time = 500", "@Wait Time =500"}) {
    SCOPED_TRACE(text);
    line.Parse(text);
    const char* value = FindParam(line, "TIME", 1);
    ASSERT_NE(value, nullptr);
    EXPECT_STREQ(value, "500");
  }
}

TEST_F(FindParamRule, BareTokenMatchesTheSlotOfItsPosition) {
  line.Parse("@Cmd A B=1 C");
  EXPECT_STREQ(FindParam(line, "X", 1), "A");
  EXPECT_STREQ(FindParam(line, "X", 3), "C");
  EXPECT_EQ(FindParam(line, "X", 2), nullptr); // token 3 is named
  EXPECT_EQ(FindParam(line, "X", 4), nullptr);
  EXPECT_STREQ(FindParam(line, "b", 2), "1");
}

TEST_F(FindParamRule, LastMatchWins) {
  line.Parse("@Cmd NAME=a NAME=b");
  EXPECT_STREQ(FindParam(line, "NAME", 0), "b");
  line.Parse("@Cmd N=2 7");
  EXPECT_STREQ(FindParam(line, "N", 2), "7");
  line.Parse("@Cmd 7 n=2");
  EXPECT_STREQ(FindParam(line, "N", 1), "2");
}

TEST_F(FindParamRule, SlotZeroMatchesOnlyByName) {
  line.Parse("@Cmd 5");
  EXPECT_EQ(FindParam(line, "N", 0), nullptr);
  line.Parse("@Cmd 5 N=6");
  EXPECT_STREQ(FindParam(line, "N", 0), "6");
  line.Parse("@Cmd FOO=1 500");
  EXPECT_EQ(FindParam(line, "TIME", 1), nullptr); // token 2 is named FOO
  EXPECT_STREQ(FindParam(line, "TIME", 2), "500");
}

TEST_F(FindParamRule, KeysCompareIgnoringCaseOfAsciiLettersOnly) {
  line.Parse("@Cmd time=5 TIMEOUT=9 ア=1");
  EXPECT_STREQ(FindParam(line, "TIME", 0), "5");
  EXPECT_STREQ(FindParam(line, "TimeOut", 0), "9");
  EXPECT_STREQ(FindParam(line, "ア", 0), "1");
  EXPECT_EQ(FindParam(line, "ヂ", 0), nullptr); // trail byte 0x61 against 0x41
  EXPECT_EQ(FindParam(line, "TIM", 0), nullptr);
}

TEST_F(FindParamRule, CommandWordIsNeverAParameter) {
  line.Parse("@Time");
  EXPECT_EQ(FindParam(line, "@Time", 0), nullptr);
}

TEST_F(FindParamRule, EmptyValueIsFoundWhileAbsentParameterIsNot) {
  line.Parse("@Cmd X=1 TIME=");
  const char* value = FindParam(line, "TIME", 0);
  ASSERT_NE(value, nullptr);
  EXPECT_STREQ(value, "");
  EXPECT_EQ(FindParam(line, "WAIT", 0), nullptr);
}

TEST_F(FindParamRule, FlagWordIsABareTokenEqualToTheWordIgnoringCase) {
  line.Parse("@EnableSkip 1 Pause \"trap\" RESET=1 X=reset resets");
  EXPECT_TRUE(IsFlagWord(line, 3, "PAUSE"));
  EXPECT_TRUE(IsFlagWord(line, 4, "TRAP"));
  EXPECT_FALSE(IsFlagWord(line, 2, "PAUSE"));
  EXPECT_FALSE(IsFlagWord(line, 5, "RESET")); // named
  EXPECT_FALSE(IsFlagWord(line, 6, "RESET")); // named, value only
  EXPECT_FALSE(IsFlagWord(line, 7, "RESET"));
  EXPECT_FALSE(IsFlagWord(line, 9, "RESET"));
  EXPECT_FALSE(IsFlagWord(line, 1, "@EnableSkip"));
}

TEST_F(ReferenceExpansion, NameEndsAtBlankTabCommaBraceDollarOrEnd) {
  vars.SetVarText("abc", "V");
  vars.SetVarText("ab", "AB");
  struct Case {
    const char* src;
    const char* text;
    std::size_t consumed;
  };
  const Case cases[] = {
      {"$abc", "V", 4},    {"$abc def", "V", 4},  {"$abc\tx", "V", 4},  {"$abc,x", "V", 4}, {"$abc}x", "V", 4},
      {"$abc$ab", "V", 4}, {"${abc}def", "V", 6}, {"${ab c}", "AB", 4}, {"$abcd", "", 5},   {"$ab=1 x", "", 5},
      {"$ abc", "", 1},    {"$", "", 1},          {"${}", "", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.src);
    std::size_t consumed = 0;
    EXPECT_EQ(Expand(c.src, consumed), c.text);
    EXPECT_EQ(consumed, c.consumed);
  }
}

TEST_F(ReferenceExpansion, DoubleDollarIsIndirection) {
  vars.SetVarText("p", "q");
  vars.SetVarText("q", "r");
  vars.SetVarText("r", "end");
  std::size_t consumed = 0;
  EXPECT_EQ(Expand("$$p rest", consumed), "r");
  EXPECT_EQ(consumed, 3u);
  EXPECT_EQ(Expand("$$$p", consumed), "end");
  EXPECT_EQ(consumed, 4u);
}

TEST_F(ReferenceExpansion, NestedReferenceInsideBracesBuildsTheName) {
  vars.SetVarText("i", "3");
  vars.SetVarText("save[3]", "three");
  std::size_t consumed = 0;
  EXPECT_EQ(Expand("${save[${i}]}x", consumed), "three");
  EXPECT_EQ(consumed, 13u);
}

TEST_F(ReferenceExpansion, DollarOutsideBracesStartsTheNextReference) {
  vars.SetVarText("save[", "S");
  vars.SetVarText("i]", "I");
  vars.SetVarText("i", "3");
  std::size_t consumed = 0;
  EXPECT_EQ(Expand("$save[$i]", consumed), "S");
  EXPECT_EQ(consumed, 6u);
  line.Parse("@Cmd $save[$i]");
  EXPECT_STREQ(line.Value(2), "SI");
}

TEST_F(ReferenceExpansion, SecondOpeningBraceIsASyntaxError) {
  std::size_t consumed = 0;
  for (const char* src : {"${a{b}}", "${{a}}"}) {
    SCOPED_TRACE(src);
    const TBaseException e = RaisedError([&] { Expand(src, consumed); });
    EXPECT_EQ(e.code, ErrSyntax);
    EXPECT_FALSE(e.fatal);
    EXPECT_STREQ(e.info, "変数名の記述間違い");
  }
  const TBaseException e = RaisedError([&] { line.Parse("@Cmd \"${a{b}}\""); });
  EXPECT_EQ(e.code, ErrSyntax);
  EXPECT_STREQ(e.info, "変数名の記述間違い");
}

TEST_F(ReferenceExpansion, TrailBytesThatEqualBracesBelongToTheirCharacter) {
  vars.SetVarText("ボ", "bo");  // trail byte 0x7B '{'
  vars.SetVarText("マx", "ma"); // trail byte 0x7D '}'
  std::size_t consumed = 0;
  EXPECT_EQ(Expand("${ボ}", consumed), "bo");
  EXPECT_EQ(consumed, 5u);
  EXPECT_EQ(Expand("$マx y", consumed), "ma");
  EXPECT_EQ(consumed, 4u);
}

TEST_F(ReferenceExpansion, NameIsCutTo255BytesWithoutSplittingACharacter) {
  vars.SetVarText(std::string(255, 'a'), "cut");
  std::size_t consumed = 0;
  EXPECT_EQ(Expand(("$" + std::string(300, 'a')).c_str(), consumed), "cut");
  EXPECT_EQ(consumed, 301u);

  std::string wide;
  for (int i = 0; i < 150; ++i) wide += "表";
  vars.SetVarText(wide.substr(0, 254), "whole");
  vars.SetVarText(wide.substr(0, 255), "split");
  EXPECT_EQ(Expand(("$" + wide).c_str(), consumed), "whole");
  EXPECT_EQ(consumed, 301u);
}

TEST_F(ReferenceExpansion, LongestValueIsCopiedWhole) {
  const std::string value = std::string(61, 'z') + "表";
  vars.SetVarText("v", value);
  std::size_t consumed = 0;
  EXPECT_EQ(Expand("$v", consumed), value);
}

} // namespace
} // namespace velmo
