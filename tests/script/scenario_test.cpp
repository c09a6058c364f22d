#include "engine/script/scenario.h"

#include "engine/base/errors.h"
#include "engine/platform/headless/headless_platform.h"
#include "engine/script/list_hash.h"

#include "tests/support/script_errors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmo {
namespace {

std::string Lines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& l : lines) bytes += l + "\r\n";
  return bytes;
}

std::string Scrambled(std::string bytes) {
  for (char& c : bytes) c = SwapNibbles(c);
  return bytes;
}

// Lines of 'a' that fill exactly `size` bytes (CR LF included).
std::string Filler(std::size_t size) {
  std::string bytes;
  while (size > 0) {
    std::size_t n = size > 100 ? 100 : size;
    if (size - n == 1) n = 99;
    bytes += std::string(n - 2, 'a') + "\r\n";
    size -= n;
  }
  return bytes;
}

class ScenarioTest : public ::testing::Test {
protected:
  static constexpr std::size_t Guard = 16;

  // The next line, or nothing at the end; the buffer given is LineSize bytes followed by a guard.
  std::optional<std::string> Next(TScenario& s) {
    std::vector<char> buffer(TScenario::LineSize + Guard, '\x7E');
    const bool ok = s.ReadLine(buffer.data());
    for (std::size_t i = TScenario::LineSize; i < buffer.size(); ++i) {
      if (buffer[i] != '\x7E') {
        ADD_FAILURE() << "ReadLine wrote past its buffer";
        return std::nullopt;
      }
    }
    if (!ok) return std::nullopt;
    return std::string(buffer.data());
  }
  std::optional<std::string> Next() { return Next(scenario); }
  // Reads a line as the interpreter does, counting it.
  std::optional<std::string> Step() {
    auto l = Next();
    if (l) ++scenario.line;
    return l;
  }

  // Opens a file holding `bytes` and reads all its lines.
  std::vector<std::string> ReadAll(const std::string& bytes) {
    files.files["t.scn"] = bytes;
    scenario.Open("t.scn");
    std::vector<std::string> lines;
    while (auto l = Next()) lines.push_back(*l);
    return lines;
  }

  void Find() { scenario.FindParagraph(vars); }

  MemoryFileSystem files;
  TListHash vars;
  TScenario scenario{files};
};

using Texts = std::vector<std::string>;

// --- Nibble swapping ---------------------------------------------------------------------------

TEST(SwapNibblesTest, ExchangesTheTwoHalvesOfAByte) {
  EXPECT_EQ(SwapNibbles('\x12'), '\x21');
  EXPECT_EQ(SwapNibbles('\xF0'), '\x0F');
  EXPECT_EQ(SwapNibbles('\x5C'), '\xC5');
  EXPECT_EQ(SwapNibbles('\x0A'), '\xA0');
  for (int b = 0; b < 256; ++b) EXPECT_EQ(SwapNibbles(SwapNibbles(static_cast<char>(b))), static_cast<char>(b));
}

TEST(SwapNibblesTest, StringVersionSwapsInPlaceUpToTheNul) {
  char text[] = "\x12\x5C\0\x34";
  SwapNibblesString(text);
  EXPECT_EQ(text[0], '\x21');
  EXPECT_EQ(text[1], '\xC5');
  EXPECT_EQ(text[2], '\0');
  EXPECT_EQ(text[3], '\x34');
}

TEST(SwapNibblesTest, ScrambledNamesHaveXThreePlacesAfterTheLastDot) {
  EXPECT_TRUE(IsScrambledName("system\\startup.scx"));
  EXPECT_TRUE(IsScrambledName("A.SCX"));
  EXPECT_TRUE(IsScrambledName("a.b.tax"));
  EXPECT_FALSE(IsScrambledName("a.scn"));
  EXPECT_FALSE(IsScrambledName("a.scx.txt"));
  EXPECT_FALSE(IsScrambledName("a.sx"));
  EXPECT_FALSE(IsScrambledName("scx"));
  EXPECT_FALSE(IsScrambledName(""));
}

// --- Reading lines -----------------------------------------------------------------------------

TEST_F(ScenarioTest, CrLfEndsALineAndIsNotPartOfIt) {
  EXPECT_EQ(ReadAll("@Wait 10\r\n\r\n  text  \r\n"), (Texts{"@Wait 10", "", "  text  "}));
}

TEST_F(ScenarioTest, LineEndingInLfAloneLosesItsLastCharacter) {
  EXPECT_EQ(ReadAll("abc\nx\n\nnext\r\n"), (Texts{"ab", "", "", "next"}));
}

TEST_F(ScenarioTest, EveryEscapeBecomesItsByte) {
  EXPECT_EQ(ReadAll("\\n\\/\\c\\*\\w\\%\\(\\)\\[\\]\\+\\-\\x\\\\\\\"\\$\\,\r\n"),
            Texts{"\x01\x01\x02\x02\x03\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E"});
}

TEST_F(ScenarioTest, EscapeLettersAreLowerCaseOnlyAndOtherCharactersLoseTheBackslash) {
  EXPECT_EQ(ReadAll("\\N\\C\\W\\X|\\q\\a\\ \\;\r\n"), Texts{"NCWX|qa ;"});
}

TEST_F(ScenarioTest, BackslashBeforeTheLineEndEscapesNothing) {
  EXPECT_EQ(ReadAll("abc\\\r\nnext\r\nde\\\nlast\r\n"), (Texts{"abc", "next", "d", "last"}));
}

TEST_F(ScenarioTest, TrailBytesOfTwoByteCharactersAreNeverEscapesOrLineEnds) {
  const std::string bytes = "\x95\x5C"
                            "n"
                            "\x95\x5C"
                            "\\\\"
                            "\x95\x5C"
                            "c\r\n"
                            "\x81\x0A"
                            "x\r\n";
  const Texts expected{"\x95\x5C"
                       "n\x95\x5C\x0B\x95\x5C"
                       "c",
                       "\x81\x0A"
                       "x"};
  EXPECT_EQ(ReadAll(bytes), expected);
  EXPECT_EQ(ReadAll(Lines({"表示"})), Texts{"表示"});

  files.files["t.scx"] = Scrambled(bytes);
  scenario.Open("t.scx");
  EXPECT_EQ(Next(), expected[0]);
  EXPECT_EQ(Next(), expected[1]);
  EXPECT_EQ(Next(), std::nullopt);
}

TEST_F(ScenarioTest, NulByteEndsReading) {
  const std::string nul(1, '\0');
  EXPECT_EQ(ReadAll("one\r\ntw" + nul + "o\r\nthree\r\n"), Texts{"one"});
  EXPECT_EQ(ReadAll("one\r\n\x95" + nul + "two\r\n"), Texts{"one"}); // even as a trail byte
}

TEST_F(ScenarioTest, LastLineWithoutLineEndIsNotALine) {
  EXPECT_EQ(ReadAll("one\r\ntwo"), Texts{"one"});
  EXPECT_EQ(Next(), std::nullopt);
  EXPECT_EQ(ReadAll(""), Texts{});
}

TEST_F(ScenarioTest, NibbleSwappedScxFileReadsExactlyLikeThePlainFile) {
  const std::string plain = Lines({"@Title \"表\\n\"", "\t// start", "abc\\\\def"}) + "lf only\n" +
                            Lines({"\x95\x5C\\x\\X", "// end"}) + "tail";
  files.files["a.scn"] = plain;
  files.files["a.scx"] = Scrambled(plain);
  files.files["b.SCX"] = Scrambled(plain);
  for (const char* name : {"a.scx", "b.SCX"}) {
    SCOPED_TRACE(name);
    TScenario reference(files);
    reference.Open("a.scn");
    scenario.Open(name);
    EXPECT_TRUE(scenario.scrambled);
    EXPECT_FALSE(reference.scrambled);
    for (;;) {
      const auto expected = Next(reference);
      EXPECT_EQ(Next(), expected);
      EXPECT_EQ(scenario.Tell(), reference.Tell());
      if (!expected) break;
    }
    scenario.Open("#end");
    Find();
    EXPECT_EQ(scenario.line, 6);
  }
}

// --- Long lines --------------------------------------------------------------------------------

TEST_F(ScenarioTest, LineLongerThan1023BytesIsCutAndTheNextLineFollows) {
  const std::string full(1023, 'a');
  EXPECT_EQ(ReadAll(Lines({full, "next"})), (Texts{full, "next"}));
  EXPECT_EQ(ReadAll(Lines({full.substr(2) + "表"})), Texts{full.substr(2) + "表"});

  std::string line;
  for (int i = 0; i < 300; ++i) line += "0123456789";
  EXPECT_EQ(ReadAll(Lines({line, "next"})), (Texts{line.substr(0, 1023), "next"}));
  EXPECT_EQ(scenario.Tell(), line.size() + 8);
  EXPECT_EQ(ReadAll(full + "bc\nnext\r\n"), (Texts{full, "next"})); // LF alone
  std::string escapes;
  for (int i = 0; i < 1100; ++i) escapes += "\\n";
  EXPECT_EQ(ReadAll(Lines({escapes, "next"})), (Texts{std::string(1023, '\x01'), "next"}));
}

TEST_F(ScenarioTest, TwoByteCharacterAtTheCutIsDroppedWhole) {
  const std::string start(1022, 'a');
  EXPECT_EQ(ReadAll(Lines({start + "表示", "次"})), (Texts{start, "次"}));
}

// --- Buffered reading --------------------------------------------------------------------------

TEST_F(ScenarioTest, LinesAcrossTheReadBufferEndReadAsEverywhereElse) {
  const std::string line = "ab\x95\x5C"
                           "\\n\\\\\x81\x0A"
                           "z\r\n";
  const std::string expected = "ab\x95\x5C\x01\x0B\x81\x0A"
                               "z";
  for (std::size_t start = 16384 - line.size(); start <= 16385; ++start) {
    const std::string bytes = Filler(start) + line + "next\r\n";
    for (const char* name : {"t.scn", "t.scx"}) {
      SCOPED_TRACE(testing::Message() << name << " at " << start);
      files.files[name] = name[4] == 'x' ? Scrambled(bytes) : bytes;
      scenario.Open(name);
      std::optional<std::string> l;
      while ((l = Next()) && l->find_first_not_of('a') == std::string::npos) {
      }
      EXPECT_EQ(l, expected);
      EXPECT_EQ(scenario.Tell(), start + line.size());
      EXPECT_EQ(Next(), "next");
      EXPECT_EQ(Next(), std::nullopt);
      EXPECT_EQ(scenario.Tell(), bytes.size());
    }
  }
}

struct LargeFile {
  std::string bytes;
  Texts lines;                     // as read
  std::vector<std::uint32_t> ends; // offset after each line
};

// About 70 KB: label "// L<k>" on line 200k+1, text lines of varying length between them.
LargeFile MakeLargeFile() {
  LargeFile f;
  for (int i = 0; i < 2000; ++i) {
    std::string text =
        i % 200 == 0 ? "// L" + std::to_string(i / 200) : "line " + std::to_string(i + 1) + std::string(i % 47, '.');
    f.lines.push_back(text + (i % 5 == 1 ? "\x01表" : ""));
    f.bytes += text + (i % 5 == 1 ? "\\n表" : "") + "\r\n";
    f.ends.push_back(static_cast<std::uint32_t>(f.bytes.size()));
  }
  return f;
}

TEST_F(ScenarioTest, LargeFileGivesTheOffsetsAndLinesOfItsBytes) {
  const LargeFile f = MakeLargeFile();
  files.files["big.scn"] = f.bytes;
  scenario.Open("big.scn");
  for (std::size_t i = 0; i < f.lines.size(); ++i) {
    ASSERT_EQ(Next(), f.lines[i]) << "line " << i + 1;
    ASSERT_EQ(scenario.Tell(), f.ends[i]) << "line " << i + 1;
  }
  EXPECT_EQ(Next(), std::nullopt);

  for (std::size_t k = 0; k < 60; ++k) {
    const std::size_t i = (k * 677) % (f.lines.size() - 1);
    scenario.Seek(f.ends[i]);
    ASSERT_EQ(Next(), f.lines[i + 1]) << "after line " << i + 1;
    ASSERT_EQ(scenario.Tell(), f.ends[i + 1]);
  }
  scenario.Seek(f.ends[0] + 2);
  EXPECT_EQ(Next(), f.lines[1].substr(2));
}

TEST_F(ScenarioTest, JumpsBackAndForthInALargeFileLandOnTheRightLines) {
  const LargeFile f = MakeLargeFile();
  files.files["big.scn"] = f.bytes;
  scenario.Open("big.scn#L7");
  Find();
  EXPECT_EQ(scenario.line, 1401);
  EXPECT_EQ(scenario.Tell(), f.ends[1400]);
  for (int k : {2, 6, 0, 7, 1, 5}) {
    scenario.JumpToParagraph("L" + std::to_string(k));
    EXPECT_FALSE(scenario.paragraphPending);
    EXPECT_EQ(scenario.line, 200 * k + 1);
    EXPECT_EQ(Step(), f.lines[200 * k + 1]);
  }
  scenario.JumpToParagraph("L9");
  EXPECT_TRUE(scenario.paragraphPending);
  Find();
  EXPECT_EQ(scenario.line, 1801);
  EXPECT_EQ(Next(), f.lines[1801]);
}

// --- Opening -----------------------------------------------------------------------------------

TEST_F(ScenarioTest, OpenStandsBeforeTheLabelWithAFreshState) {
  files.files["a.scn"] = Lines({"one"});
  scenario.ifState = IfState::Done;
  scenario.ifStack.Push(IfState::Searching);
  scenario.line = 9;
  scenario.Open("a.scn#start");
  EXPECT_TRUE(scenario.IsOpen());
  EXPECT_EQ(scenario.fileName, "a.scn");
  EXPECT_EQ(scenario.paragraph, "start");
  EXPECT_EQ(scenario.line, 0);
  EXPECT_TRUE(scenario.paragraphPending);
  EXPECT_EQ(scenario.ifState, IfState::Active);
  EXPECT_EQ(scenario.ifStack.Depth(), 0);
  EXPECT_EQ(scenario.Tell(), 0u);
}

TEST_F(ScenarioTest, OpenOfAMissingFileLeavesNoFileAndRaisesNothing) {
  EXPECT_EQ(Raised([&] { scenario.Open("missing.scn#x"); }), "");
  EXPECT_FALSE(scenario.IsOpen());
  EXPECT_EQ(scenario.fileName, "missing.scn");
  EXPECT_EQ(scenario.paragraph, "x");
  EXPECT_EQ(Next(), std::nullopt);
}

TEST_F(ScenarioTest, OpenWithoutAFilePartReopensTheCurrentFileFromItsStart) {
  files.files["a.scn"] = Lines({"// early", "text", "// late", "after"});
  scenario.Open("a.scn#late");
  Find();
  scenario.Open("#early");
  EXPECT_TRUE(scenario.IsOpen());
  EXPECT_EQ(scenario.fileName, "a.scn");
  EXPECT_EQ(scenario.paragraphs.Count(), 0);
  Find();
  EXPECT_EQ(scenario.line, 1);
  EXPECT_EQ(Next(), "text");
}

TEST_F(ScenarioTest, OpeningAnotherFileForgetsTheLabelsOfThePrevious) {
  files.files["a.scx"] = Scrambled(Lines({"// here", "a"}));
  files.files["b.scn"] = Lines({"b", "// here", "b2"});
  scenario.Open("a.scx#here");
  Find();
  scenario.Open("b.scn");
  EXPECT_FALSE(scenario.scrambled);
  scenario.JumpToParagraph("here");
  EXPECT_TRUE(scenario.paragraphPending);
  Find();
  EXPECT_EQ(scenario.line, 2);
  EXPECT_EQ(Next(), "b2");
}

TEST_F(ScenarioTest, ResetSearchesAgainFromTheStartAndCloseLeavesNoFile) {
  files.files["a.scn"] = Lines({"x", "// here", "y", "z"});
  scenario.Open("a.scn#here");
  Find();
  Step();
  scenario.Reset();
  EXPECT_EQ(scenario.line, 0);
  EXPECT_TRUE(scenario.paragraphPending);
  Find();
  EXPECT_EQ(scenario.line, 2);
  EXPECT_EQ(Next(), "y");

  scenario.Close();
  EXPECT_FALSE(scenario.IsOpen());
  EXPECT_EQ(scenario.line, 0);
  EXPECT_EQ(scenario.paragraphs.Count(), 0);
  EXPECT_EQ(Next(), std::nullopt);
}

// --- Finding paragraphs ------------------------------------------------------------------------

TEST_F(ScenarioTest, FindParagraphStopsAfterTheLabelLineAndCountsEveryLine) {
  files.files["a.scn"] = "first\r\n;comment\r\n\r\nlf\n" + Lines({"// target", "after"});
  scenario.Open("a.scn#target");
  Find();
  EXPECT_FALSE(scenario.paragraphPending);
  EXPECT_EQ(scenario.line, 5);
  const TListParagraph::Entry* entry = scenario.paragraphs.Find("target");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->line, 5);
  EXPECT_EQ(entry->offset, scenario.Tell());
  EXPECT_EQ(Next(), "after");
}

TEST_F(ScenarioTest, FindParagraphWithoutAPendingLabelReadsNothing) {
  files.files["a.scn"] = Lines({"// a", "one", "// b", "two"});
  scenario.Open("a.scn");
  Find();
  EXPECT_FALSE(scenario.paragraphPending);
  EXPECT_EQ(scenario.Tell(), 0u);
  scenario.Open("a.scn#a");
  Find();
  Find();
  EXPECT_EQ(scenario.line, 1);
  EXPECT_EQ(Next(), "one");
}

TEST_F(ScenarioTest, LabelsPassedByTheSearchAreKnownToJumps) {
  files.files["a.scn"] = Lines({"x", "// one", "in one", "// two", "in two", "// three"});
  scenario.Open("a.scn#three");
  Find();
  EXPECT_EQ(scenario.paragraphs.Count(), 3);
  scenario.JumpToParagraph("one");
  EXPECT_FALSE(scenario.paragraphPending);
  EXPECT_EQ(scenario.paragraph, "one");
  EXPECT_EQ(scenario.line, 2);
  EXPECT_EQ(Next(), "in one");
  scenario.JumpToParagraph("two");
  EXPECT_EQ(scenario.line, 4);
  EXPECT_EQ(Next(), "in two");
}

TEST_F(ScenarioTest, LaterSearchesKeepCountingFromTheCurrentLine) {
  files.files["a.scn"] = Lines({"// a", "x", "y", "// b", "z"});
  scenario.Open("a.scn#a");
  Find();
  scenario.JumpToParagraph("b");
  EXPECT_TRUE(scenario.paragraphPending);
  Find();
  EXPECT_EQ(scenario.line, 4);
  EXPECT_EQ(Next(), "z");
}

TEST_F(ScenarioTest, LabelLinesAreRecognisedInEveryWrittenForm) {
  vars.SetVarText("chapter", "ch2");
  files.files["a.scn"] = Lines({"  // Target", "\t// NAME=named", "// $chapter", "// target", "end"});
  scenario.Open("a.scn#target");
  Find();
  EXPECT_EQ(scenario.line, 4);
  EXPECT_NE(scenario.paragraphs.Find("Target"), nullptr);
  EXPECT_NE(scenario.paragraphs.Find("named"), nullptr);
  ASSERT_NE(scenario.paragraphs.Find("ch2"), nullptr);
  EXPECT_EQ(scenario.paragraphs.Find("ch2")->line, 3);
  EXPECT_EQ(scenario.paragraphs.Find("$chapter"), nullptr);
}

TEST_F(ScenarioTest, LabelFoundTwiceGoesToTheFirstReachedUntilTheLaterIsRead) {
  files.files["a.scn"] = Lines({"// dup", "first", "// dup", "second", "// end"});
  scenario.Open("a.scn#dup");
  Find();
  EXPECT_EQ(scenario.line, 1);
  scenario.JumpToParagraph("dup");
  EXPECT_EQ(Step(), "first");
  scenario.JumpToParagraph("end");
  Find();
  scenario.JumpToParagraph("dup");
  EXPECT_EQ(scenario.line, 3);
  EXPECT_EQ(Next(), "second");
}

TEST_F(ScenarioTest, MissingLabelIsFatalUnexpectedEndOfFile) {
  files.files["a.scn"] = Lines({"// Nowhere", "text"}) + "// nowhere";
  scenario.Open("a.scn#nowhere");
  EXPECT_EQ(Raised([&] { Find(); }), Fatal(ErrUnexpectedEOF, "nowhere"));
  EXPECT_FALSE(scenario.paragraphPending);
}

TEST_F(ScenarioTest, SearchNeverGoesBackToLabelsItHasNotRead) {
  files.files["a.scn"] = Lines({"// early", "a", "b"});
  scenario.Open("a.scn");
  Step();
  Step();
  scenario.JumpToParagraph("early");
  EXPECT_TRUE(scenario.paragraphPending);
  EXPECT_EQ(Raised([&] { Find(); }), Fatal(ErrUnexpectedEOF, "early"));
}

TEST_F(ScenarioTest, LabelLineWithoutALabelIsMissingParameter) {
  for (const char* bad : {"//label", "  //"}) {
    SCOPED_TRACE(bad);
    files.files["a.scn"] = Lines({"text", "", bad, "// label"});
    scenario.Open("a.scn#label");
    EXPECT_EQ(Raised([&] { Find(); }), Error(ErrMissingParam, "無し"));
    EXPECT_EQ(scenario.line, 3);
    EXPECT_FALSE(scenario.paragraphPending);
  }
}

// --- Paragraph list ----------------------------------------------------------------------------

TEST(TListParagraphTest, AddOfAKnownLabelUpdatesItsLineAndOffset) {
  TListParagraph list;
  EXPECT_EQ(list.Find("a"), nullptr);
  list.Add("a", 3, 40);
  list.Add("b", 5, 60);
  list.Add("a", 9, 120);
  EXPECT_EQ(list.Count(), 2);
  ASSERT_NE(list.Find("a"), nullptr);
  EXPECT_EQ(list.Find("a")->line, 9);
  EXPECT_EQ(list.Find("a")->offset, 120u);
  EXPECT_EQ(list.Find("b")->line, 5);
  EXPECT_EQ(list.Find("A"), nullptr);
}

TEST(TListParagraphTest, The1025thLabelIsUnsupported) {
  TListParagraph list;
  for (int i = 0; i < 1024; ++i) list.Add("L" + std::to_string(i), i, static_cast<std::uint32_t>(i));
  EXPECT_EQ(Raised([&] { list.Add("one more", 1, 1); }), Error(ErrUnsupported, "TListParagraph::Add"));
  EXPECT_EQ(list.Count(), 1024);
  EXPECT_EQ(list.Find("one more"), nullptr);
  EXPECT_EQ(Raised([&] { list.Add("L7", 70, 700); }), "");
  EXPECT_EQ(list.Find("L7")->line, 70);
}

} // namespace
} // namespace velmo

namespace velmo {
namespace {

// --- Kept lines ---------------------------------------------------------------------------------

TEST_F(ScenarioTest, KeptLinesReadAsTheFileAndFollowJumpsReopensAndCloses) {
  files.files["k.scn"] = Lines({"// top", "a\\n", "b", "// mid", "c"});
  scenario.Open("k.scn");
  char buffer[TScenario::LineSize];
  std::vector<TScenarioLine*> first;
  while (TScenarioLine* line = scenario.ReadKeptLine(buffer)) first.push_back(line);
  ASSERT_EQ(first.size(), 5u);
  EXPECT_EQ(first[1]->text, "a\x01");
  EXPECT_EQ(first[1]->next, 13u); // "// top" CR LF, then "a\\n" CR LF
  // Read again from a jump into the middle: the same kept lines, the same text in the buffer.
  scenario.Seek(first[1]->next);
  EXPECT_EQ(scenario.ReadKeptLine(buffer), first[2]);
  EXPECT_STREQ(buffer, "b");
  EXPECT_EQ(scenario.Tell(), first[2]->next);
  EXPECT_EQ(scenario.ReadKeptLine(buffer), first[3]);
  // A plain read in between moves on without them; the next kept read is found by its offset.
  scenario.Seek(0);
  EXPECT_TRUE(scenario.ReadLine(buffer));
  EXPECT_EQ(scenario.ReadKeptLine(buffer), first[1]);
  // Reopened, the file is read anew: a changed file shows its new lines.
  files.files["k.scn"] = Lines({"// top", "changed"});
  scenario.Open("k.scn");
  EXPECT_NE(scenario.ReadKeptLine(buffer), nullptr);
  TScenarioLine* changed = scenario.ReadKeptLine(buffer);
  ASSERT_NE(changed, nullptr);
  EXPECT_EQ(changed->text, "changed");
  EXPECT_EQ(scenario.ReadKeptLine(buffer), nullptr);
}

} // namespace
} // namespace velmo
