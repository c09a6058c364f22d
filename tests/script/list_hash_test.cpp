#include "engine/script/list_hash.h"

#include "engine/base/errors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace velmo {
namespace {

std::string Numbered(const char* prefix, int n) {
  std::string name(prefix);
  name += std::to_string(n);
  return name;
}

// --- Reading and creating ---------------------------------------------------------------------

TEST(TListHashTest, ReadingAMissingVariableGivesEmptyTextAndCreatesNothing) {
  TListHash vars;
  EXPECT_EQ(vars.LastIndex(), -1);
  EXPECT_STREQ(vars.GetVar("x"), "");
  EXPECT_EQ(vars.Find("x"), -1);
  EXPECT_EQ(vars.LastIndex(), -1);

  vars.SetVarText("y", "1");
  EXPECT_STREQ(vars.GetVar("x"), "");
  EXPECT_EQ(vars.Find("x"), -1);
  EXPECT_EQ(vars.LastIndex(), 0);
}

TEST(TListHashTest, SetVarTextCreatesTheVariableWithTheText) {
  TListHash vars;
  vars.SetVarText("greeting", "hello");
  EXPECT_EQ(vars.LastIndex(), 0);
  EXPECT_EQ(vars.Find("greeting"), 0);
  EXPECT_EQ(vars.Name(0), "greeting");
  EXPECT_STREQ(vars.Value(0), "hello");
  EXPECT_STREQ(vars.GetVar("greeting"), "hello");
}

TEST(TListHashTest, SetVarTextOnAnExistingVariableReplacesItsValueInPlace) {
  TListHash vars;
  vars.SetVarText("a", "first value, quite long");
  vars.SetVarText("b", "other");
  vars.SetVarText("a", "xy");
  EXPECT_STREQ(vars.GetVar("a"), "xy"); // nothing of the longer old value is left behind
  EXPECT_EQ(vars.LastIndex(), 1);
  EXPECT_EQ(vars.Find("a"), 0);
  EXPECT_STREQ(vars.GetVar("b"), "other");

  vars.SetVarText("a", "");
  EXPECT_STREQ(vars.GetVar("a"), "");
  EXPECT_EQ(vars.Find("a"), 0); // an empty value is still a variable
}

TEST(TListHashTest, CreateNewAppendsAnEntryWhoseValueIsZero) {
  TListHash vars;
  EXPECT_EQ(vars.CreateNew("first"), 0);
  EXPECT_EQ(vars.CreateNew("second"), 1);
  EXPECT_STREQ(vars.GetVar("first"), "0");
  EXPECT_STREQ(vars.Value(1), "0");
  EXPECT_EQ(vars.LastIndex(), 1);

  vars.SetVarText("second", "set");
  EXPECT_STREQ(vars.GetVar("second"), "set");
  EXPECT_EQ(vars.LastIndex(), 1); // setting a created entry does not add another
}

TEST(TListHashTest, NamesCompareCaseSensitively) {
  TListHash vars;
  vars.SetVarText("Name", "1");
  vars.SetVarText("name", "2");
  vars.SetVarText("NAME", "3");
  EXPECT_EQ(vars.LastIndex(), 2);
  EXPECT_STREQ(vars.GetVar("Name"), "1");
  EXPECT_STREQ(vars.GetVar("name"), "2");
  EXPECT_STREQ(vars.GetVar("NAME"), "3");
  EXPECT_STREQ(vars.GetVar("nAME"), "");
}

TEST(TListHashTest, IndexedNamesAreDistinctTexts) {
  TListHash vars;
  vars.SetVarText("save[3]", "three");
  vars.SetVarText("save[03]", "oh-three");
  EXPECT_STREQ(vars.GetVar("save[3]"), "three");
  EXPECT_STREQ(vars.GetVar("save[03]"), "oh-three");
  EXPECT_STREQ(vars.GetVar("save[ 3]"), "");
  EXPECT_STREQ(vars.GetVar("save"), "");
  EXPECT_EQ(vars.Find("save[3]"), 0);
  EXPECT_EQ(vars.Find("save[03]"), 1);
}

TEST(TListHashTest, NamesHaveNoLengthLimitAndPrefixesAreOtherNames) {
  TListHash vars;
  const std::string longName(200, 'n');
  vars.SetVarText(longName, "long");
  vars.SetVarText(longName.substr(0, 63), "prefix");
  vars.SetVarText("a", "A");
  vars.SetVarText("ab", "AB");
  EXPECT_EQ(vars.Name(0), longName);
  EXPECT_STREQ(vars.GetVar(longName), "long");
  EXPECT_STREQ(vars.GetVar(longName.substr(0, 63)), "prefix");
  EXPECT_STREQ(vars.GetVar(longName + "n"), "");
  EXPECT_STREQ(vars.GetVar("a"), "A");
  EXPECT_STREQ(vars.GetVar("ab"), "AB");
}

TEST(TListHashTest, NamesAreTakenByLengthNotUpToATerminator) {
  TListHash vars;
  const char text[] = "abcdef";
  vars.SetVarText(std::string_view(text, 2), "two");
  EXPECT_EQ(vars.Name(0), "ab");
  EXPECT_STREQ(vars.GetVar("ab"), "two");
  EXPECT_STREQ(vars.GetVar(std::string_view(text, 2)), "two");
  EXPECT_STREQ(vars.GetVar(text), "");
}

TEST(TListHashTest, ShiftJisNamesAreOrdinaryNames) {
  TListHash vars;
  vars.SetVarText("表示", "1"); // the trail byte of 表 is a backslash
  vars.SetVarText("表", "2");
  EXPECT_STREQ(vars.GetVar("表示"), "1");
  EXPECT_STREQ(vars.GetVar("表"), "2");
  EXPECT_EQ(vars.LastIndex(), 1);
}

// --- The 63-byte limit of a value ---------------------------------------------------------------

TEST(TListHashTest, LongTextIsCutToItsFirst63Bytes) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += static_cast<char>('0' + i % 10);
  TListHash vars;
  vars.SetVarText("v", text);
  EXPECT_EQ(std::string(vars.GetVar("v")), text.substr(0, 63));
}

TEST(TListHashTest, TextOfExactly63BytesIsKeptWholeAnd64IsCut) {
  TListHash vars;
  const std::string fits(63, 'a');
  vars.SetVarText("fits", fits);
  EXPECT_EQ(std::string(vars.GetVar("fits")), fits);

  vars.SetVarText("over", std::string(63, 'b') + "c");
  EXPECT_EQ(std::string(vars.GetVar("over")), std::string(63, 'b'));
}

TEST(TListHashTest, CutBacksOffWhenThe63rdByteWouldBeALeadByte) {
  TListHash vars;
  const std::string text = std::string(62, 'a') + "あい"; // あ begins at the 63rd byte
  vars.SetVarText("v", text);
  EXPECT_EQ(std::string(vars.GetVar("v")), std::string(62, 'a'));

  std::string wide;
  for (int i = 0; i < 40; ++i) wide += "漢";
  vars.SetVarText("w", wide);
  EXPECT_EQ(std::string(vars.GetVar("w")), wide.substr(0, 62));
}

TEST(TListHashTest, TwoByteCharacterEndingAtThe63rdByteIsKept) {
  TListHash vars;
  const std::string text = std::string(61, 'a') + "あい";
  vars.SetVarText("v", text);
  EXPECT_EQ(std::string(vars.GetVar("v")), std::string(61, 'a') + "あ");
}

TEST(TListHashTest, TrailByteInTheLeadRangeIsNotTakenForALeadByte) {
  // "a" then 31 characters 0x81 0x81: byte 63 is the trail byte of the last one, though its value
  // is also a lead byte, so all 63 bytes are whole characters.
  std::string text = "a";
  for (int i = 0; i < 32; ++i) text += "\x81\x81";
  TListHash vars;
  vars.SetVarText("v", text);
  EXPECT_EQ(std::string(vars.GetVar("v")), text.substr(0, 63));
}

TEST(TListHashTest, HalfWidthKatakanaAreSingleBytesForTheCut) {
  const std::string text(100, '\xB1'); // ｱ
  TListHash vars;
  vars.SetVarText("v", text);
  EXPECT_EQ(std::string(vars.GetVar("v")), text.substr(0, 63));
}

// --- Numbers ---------------------------------------------------------------------------------

TEST(TListHashTest, SetVarNumberStoresTheDecimalText) {
  TListHash vars;
  vars.SetVarNumber("zero", 0);
  vars.SetVarNumber("pos", 42);
  vars.SetVarNumber("neg", -7);
  vars.SetVarNumber("max", INT32_MAX);
  vars.SetVarNumber("min", INT32_MIN);
  EXPECT_STREQ(vars.GetVar("zero"), "0");
  EXPECT_STREQ(vars.GetVar("pos"), "42");
  EXPECT_STREQ(vars.GetVar("neg"), "-7");
  EXPECT_STREQ(vars.GetVar("max"), "2147483647");
  EXPECT_STREQ(vars.GetVar("min"), "-2147483648");
}

TEST(TListHashTest, SetVarNumberReplacesALongerText) {
  TListHash vars;
  vars.SetVarText("n", "a rather long text value");
  vars.SetVarNumber("n", 5);
  EXPECT_STREQ(vars.GetVar("n"), "5");
  EXPECT_EQ(vars.LastIndex(), 0);
}

// --- Order, lookup and clearing --------------------------------------------------------------

TEST(TListHashTest, EntriesKeepCreationOrderAndFindGivesTheCreationIndex) {
  TListHash vars;
  vars.SetVarText("zeta", "z");
  vars.SetVarNumber("alpha", 1);
  vars.CreateNew("mid");
  vars.SetVarText("zeta", "changed"); // changing a value does not move its entry

  ASSERT_EQ(vars.LastIndex(), 2);
  EXPECT_EQ(vars.Name(0), "zeta");
  EXPECT_EQ(vars.Name(1), "alpha");
  EXPECT_EQ(vars.Name(2), "mid");
  EXPECT_STREQ(vars.Value(0), "changed");
  EXPECT_STREQ(vars.Value(1), "1");
  EXPECT_STREQ(vars.Value(2), "0");
  EXPECT_EQ(vars.Find("zeta"), 0);
  EXPECT_EQ(vars.Find("alpha"), 1);
  EXPECT_EQ(vars.Find("mid"), 2);
}

TEST(TListHashTest, ManyVariablesKeepOrderAndLookupAsTheIndexGrows) {
  constexpr int Count = 5000;
  TListHash vars;
  for (int i = 0; i < Count; ++i) vars.SetVarNumber(Numbered("save[", i) + "]", i * 3);

  ASSERT_EQ(vars.LastIndex(), Count - 1);
  for (int i = 0; i < Count; ++i) {
    const std::string name = Numbered("save[", i) + "]";
    ASSERT_EQ(vars.Name(i), name);
    ASSERT_EQ(vars.Find(name), i);
    ASSERT_STREQ(vars.GetVar(name), std::to_string(i * 3).c_str());
  }
  EXPECT_EQ(vars.Find("save[5000]"), -1);
  EXPECT_STREQ(vars.GetVar("save[-1]"), "");
}

TEST(TListHashTest, ValuePointerStaysValidWhileOtherVariablesAreCreated) {
  TListHash vars;
  vars.SetVarText("kept", "value");
  const char* value = vars.GetVar("kept");
  for (int i = 0; i < 1000; ++i) vars.SetVarNumber(Numbered("n", i), i);
  // The value has not changed and the list has not been cleared: the pointer must still be the
  // entry's value.
  EXPECT_EQ(value, vars.GetVar("kept"));
}

TEST(TListHashTest, ClearEmptiesTheListAndItCanBeFilledAgain) {
  TListHash vars;
  for (int i = 0; i < 300; ++i) vars.SetVarNumber(Numbered("old", i), i);
  vars.Clear();

  EXPECT_EQ(vars.LastIndex(), -1);
  EXPECT_EQ(vars.Find("old0"), -1);
  EXPECT_EQ(vars.Find("old299"), -1);
  EXPECT_STREQ(vars.GetVar("old5"), "");

  vars.SetVarText("new", "n");
  vars.SetVarText("old5", "again");
  EXPECT_EQ(vars.LastIndex(), 1);
  EXPECT_EQ(vars.Find("new"), 0);
  EXPECT_EQ(vars.Find("old5"), 1);
  EXPECT_STREQ(vars.GetVar("old5"), "again");
  EXPECT_EQ(vars.Find("old6"), -1);
}

// --- Capacity --------------------------------------------------------------------------------

TEST(TListHashTest, The65537thVariableIsAFatalUnsupportedError) {
  TListHash vars;
  for (int i = 0; i < TListHash::MaxEntries; ++i) vars.CreateNew(Numbered("v", i));
  ASSERT_EQ(vars.LastIndex(), 65535);
  EXPECT_EQ(vars.Find("v65535"), 65535);

  try {
    vars.CreateNew("one too many");
    ADD_FAILURE() << "CreateNew raised no error";
  } catch (const TFatalException& e) {
    EXPECT_TRUE(e.fatal);
    EXPECT_EQ(e.code, ErrUnsupported);
    EXPECT_STREQ(e.info, "TListHash::CreateNew");
  }

  try {
    vars.SetVarText("also too many", "x");
    ADD_FAILURE() << "SetVarText of a new name raised no error";
  } catch (const TFatalException& e) {
    EXPECT_EQ(e.code, ErrUnsupported);
    EXPECT_STREQ(e.info, "TListHash::CreateNew");
  }

  // The full list is unchanged and its variables can still be written.
  EXPECT_EQ(vars.LastIndex(), 65535);
  EXPECT_EQ(vars.Find("one too many"), -1);
  EXPECT_EQ(vars.Find("also too many"), -1);
  vars.SetVarText("v12345", "still writable");
  EXPECT_STREQ(vars.GetVar("v12345"), "still writable");
}

// --- Values taken from the list itself ------------------------------------------------------

TEST(TListHashTest, NewVariableSetFromAnotherValueWhileTheListGrows) {
  TListHash vars;
  vars.SetVarText("v0", "carried through every entry");
  for (int i = 1; i < 2000; ++i) vars.SetVarText(Numbered("v", i), vars.GetVar(Numbered("v", i - 1)));
  EXPECT_EQ(vars.LastIndex(), 1999);
  EXPECT_STREQ(vars.GetVar("v1999"), "carried through every entry");
  EXPECT_STREQ(vars.GetVar("v1000"), "carried through every entry");
}

TEST(TListHashTest, NewVariableSetFromALongValueWhileTheListGrows) {
  TListHash vars;
  const std::string full(63, 'q');
  vars.SetVarText("src", full);
  for (int i = 0; i < 500; ++i) vars.SetVarText(Numbered("copy", i), vars.GetVar("src"));
  for (int i = 0; i < 500; ++i) ASSERT_EQ(std::string(vars.GetVar(Numbered("copy", i))), full) << i;
}

TEST(TListHashTest, VariableSetFromItsOwnValue) {
  TListHash vars;
  vars.SetVarText("a", "abcdef");
  vars.SetVarText("a", vars.GetVar("a"));
  EXPECT_STREQ(vars.GetVar("a"), "abcdef");

  // Overlapping source: the value without its first character.
  vars.SetVarText("a", std::string_view(vars.GetVar("a") + 1));
  EXPECT_STREQ(vars.GetVar("a"), "bcdef");

  // Overlapping source the other way: a prefix of the value.
  vars.SetVarText("a", std::string_view(vars.GetVar("a"), 3));
  EXPECT_STREQ(vars.GetVar("a"), "bcd");
  EXPECT_EQ(vars.LastIndex(), 0);
}

} // namespace
} // namespace velmo
