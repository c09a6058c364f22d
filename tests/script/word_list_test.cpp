#include "engine/script/word_list.h"

#include "engine/base/errors.h"

#include "tests/support/script_errors.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace velmo {
namespace {

// Checks count and items 1..n of `list`, and that the item after the last is "".
void ExpectItems(const TWordList& list, const std::vector<std::string>& items) {
  ASSERT_EQ(list.Count(), static_cast<int>(items.size()));
  for (std::size_t i = 0; i < items.size(); ++i) EXPECT_EQ(list.Item(static_cast<int>(i) + 1), items[i]) << i + 1;
  EXPECT_STREQ(list.Item(static_cast<int>(items.size()) + 1), "");
}

struct Case {
  const char* text;
  std::vector<std::string> items;
};

TEST(WordListSplit, SeparatorsQuotesAndEmptyItems) {
  const Case cases[] = {
      {"a, b", {"a", "b"}},
      {"a,,b", {"a", "", "b"}},
      {"a ,b", {"a", "", "b"}},
      {"0,0,640,480", {"0", "0", "640", "480"}},
      {"a\tb  c", {"a", "b", "c"}},
      {"  a  ", {"a"}},
      {",a", {"", "a"}},
      {"a,", {"a"}},
      {"", {}},
      {" \t ", {}},
      {"\"\"", {""}},
      {"\"a b\",c", {"a b", "c"}},
      {"\"x,\ty\"", {"x, y"}}, // a TAB inside quotes becomes a blank
      {"\"a\" b", {"a", "b"}},
      {"$v,表,能力", {"$v", "表", "能力"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TWordList list;
    EXPECT_EQ(list.Split(c.text), static_cast<int>(c.items.size()));
    ExpectItems(list, c.items);
  }
}

TEST(WordListSplit, EscapeBytesAreOrdinaryCharacters) {
  TWordList list;
  list.Split("a\x0E"
             "b,\x0C"
             "c d");
  ExpectItems(list, {"a\x0E"
                     "b",
                     "\x0C"
                     "c",
                     "d"});
}

TEST(WordListSplit, QuoteInsideAnItemIsASyntaxError) {
  for (const char* text : {"\"x\"\"y\"", "a\"b\"", "1,2\""}) {
    SCOPED_TRACE(text);
    TWordList list;
    const TBaseException e = RaisedError([&] { list.Split(text); });
    EXPECT_EQ(e.code, ErrSyntax);
    EXPECT_FALSE(e.fatal);
    EXPECT_STREQ(e.info, "引用符の記述間違い(単語中に含まれる引用符)");
  }
}

TEST(WordListSplit, MissingClosingQuoteIsASyntaxError) {
  for (const char* text : {"\"abc", "a,\"b c"}) {
    SCOPED_TRACE(text);
    TWordList list;
    const TBaseException e = RaisedError([&] { list.Split(text); });
    EXPECT_EQ(e.code, ErrSyntax);
    EXPECT_FALSE(e.fatal);
    EXPECT_STREQ(e.info, "引用符の記述間違い(引用符の不足)");
  }
}

TEST(WordListSplit, ConstructorSplitsAndParseDoesNothing) {
  TWordList list("a,b");
  ExpectItems(list, {"a", "b"});
  EXPECT_EQ(list.Parse("x,y,z"), 0);
  ExpectItems(list, {"a", "b"});

  TWordList empty;
  EXPECT_EQ(empty.Count(), 0);
  EXPECT_STREQ(empty.Item(1), "");
}

TEST(WordListSplit, SplittingAgainForgetsThePreviousItems) {
  TWordList list("a,b,c,d");
  list.Split("x");
  ExpectItems(list, {"x"});
}

TEST(WordListSplit, AtMost127ItemsAreKept) {
  std::string text;
  for (int i = 1; i <= 200; ++i) text += "i" + std::to_string(i) + ",";
  TWordList list;
  EXPECT_EQ(list.Split(text.c_str()), 127);
  EXPECT_EQ(list.Count(), 127);
  EXPECT_STREQ(list.Item(1), "i1");
  EXPECT_STREQ(list.Item(127), "i127");
  EXPECT_STREQ(list.Item(128), "");
}

TEST(WordListSplit, TextsBeyondTheBufferAreCutNotOverrun) {
  const std::string item(30, 'x');
  std::string text;
  for (int i = 0; i < 100; ++i) text += item + ",";
  TWordList list;
  list.Split(text.c_str());
  EXPECT_LE(list.Count(), 127);
  EXPECT_EQ(list.Item(1), item);
  for (int i = 1; i <= list.Count(); ++i) EXPECT_EQ(item.substr(0, std::strlen(list.Item(i))), list.Item(i)) << i;

  std::string wide;
  for (int i = 0; i < 600; ++i) wide += "表";
  list.Split(wide.c_str());
  const std::string kept = list.Item(1);
  EXPECT_LT(kept.size(), 1024u);
  EXPECT_EQ(kept.size() % 2, 0u);
  EXPECT_EQ(wide.substr(0, kept.size()), kept);
}

TEST(SplitArchivePath, CutsAtABackslashAfterADotInThePiece) {
  const Case cases[] = {
      {"data.pak\\cg\\pic.bmp", {"data.pak", "cg\\pic.bmp"}},
      {"cg\\pic.bmp", {"cg\\pic.bmp"}},
      {"pic.bmp", {"pic.bmp"}},
      {"a.pak\\b.pak\\c.bmp", {"a.pak", "b.pak", "c.bmp"}},
      {"v1.0\\data.pak\\x", {"v1.0", "data.pak", "x"}},
      {"\\\\data.pak\\\\\\cg\\x.bmp", {"data.pak", "cg\\x.bmp"}},
      {"data.pak\\", {"data.pak"}},
      {"", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TWordList list;
    EXPECT_EQ(list.SplitArchivePath(c.text), static_cast<int>(c.items.size()));
    ExpectItems(list, c.items);
  }
}

TEST(SplitArchivePath, TrailByteEqualToBackslashIsNotASeparator) {
  // 表 and ソ end in 0x5C.
  const Case cases[] = {
      {"表.pak\\cg\\表.bmp", {"表.pak", "cg\\表.bmp"}},
      {"a.表x\\b", {"a.表x", "b"}},
      {"\\ソ.pak\\ソ", {"ソ.pak", "ソ"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TWordList list;
    list.SplitArchivePath(c.text);
    ExpectItems(list, c.items);
  }
}

TEST(SplitArchivePath, AtMost127PiecesAreKept) {
  std::string path;
  for (int i = 1; i <= 150; ++i) path += std::to_string(i) + ".\\";
  TWordList list;
  EXPECT_EQ(list.SplitArchivePath(path.c_str()), 127);
  EXPECT_STREQ(list.Item(127), "127.");
  EXPECT_STREQ(list.Item(128), "");
}

} // namespace
} // namespace velmo
