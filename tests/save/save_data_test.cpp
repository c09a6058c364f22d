// Save data files: the stored bytes, reading short and damaged files, bookmarks written in one
// step (an interrupted write at any byte leaves the old bookmark readable), marks and the memo.
#include "engine/save/save_data.h"

#include "engine/base/nibbles.h"
#include "engine/platform/headless/headless_platform.h"
#include "engine/script/list_hash.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace velmo {
namespace {

// Values as a file stores them: each text with its 0 byte, every byte's halves exchanged.
std::string Stored(std::initializer_list<std::string> values) {
  std::string bytes;
  for (const std::string& value : values) {
    for (const char c : value) bytes += SwapNibbles(c);
    bytes += '\0';
  }
  return bytes;
}

class SaveDataTest : public ::testing::Test {
protected:
  SaveDataTest() { clock.localTime = LocalTime{2024, 12, 7, 13, 5, 42}; }

  std::string Var(std::string_view name) const { return vars.GetVar(name); }
  // Fills __save[1..256] with "v1" .. "v256".
  void FillSnapshot() {
    for (int k = 1; k <= SaveValueCount; ++k) vars.SetVarText(ValueName("__save", k), "v" + std::to_string(k));
  }

  MemoryFileSystem files;
  HeadlessClock clock;
  TListHash vars;
  SaveData save{files, clock, vars};
};

TEST(SaveFormatTest, NamesStampsAndStoredBytes) {
  EXPECT_EQ(SaveFileName(0), "system\\save00.dat");
  EXPECT_EQ(SaveFileName(7), "system\\save07.dat");
  EXPECT_EQ(SaveFileName(100), "system\\save100.dat");
  EXPECT_EQ(BookmarkStamp(BookmarkMark::Blue, LocalTime{2024, 12, 7, 13, 5, 0}), "\x02"
                                                                                 "12/ 7  13:05");
  EXPECT_EQ(BookmarkStamp(BookmarkMark::ReadOnly, LocalTime{2024, 3, 15, 9, 0, 0}), "\x01"
                                                                                    " 3/15   9:00");
  TListHash vars;
  vars.SetVarText("x[1]", "AB");
  vars.SetVarText("x[3]", "表");
  EXPECT_EQ(EncodeValues(vars, "x", 1, 3), std::string("\x14\x24\x00\x00\x59\xC5\x00", 7));
}

TEST_F(SaveDataTest, AShortFileIsReadAsFarAsItGoes) {
  // Two values, then a third cut off by the end of the file.
  files.files["f"] = Stored({"one", "two"}) + Stored({"thr"}).substr(0, 2);
  for (const char* name : {"v[1]", "v[2]", "v[3]", "v[4]"}) vars.SetVarText(name, "kept");
  EXPECT_EQ(ReadValues(files, vars, "f", {"v"}, 1, 4), ReadOutcome::Short);
  EXPECT_EQ(Var("v[1]"), "one");
  EXPECT_EQ(Var("v[2]"), "two");
  EXPECT_EQ(Var("v[3]"), "kept");
  EXPECT_EQ(Var("v[4]"), "kept");
}

TEST_F(SaveDataTest, LongValuesOfADamagedFileAreCutAt63BytesAndReadToTheirEnd) {
  const std::string exact(63, 'e');
  files.files["f"] = Stored({exact, std::string(200, 'x'), "after"});
  EXPECT_EQ(ReadValues(files, vars, "f", {"v"}, 1, 3), ReadOutcome::Complete);
  EXPECT_EQ(Var("v[1]"), exact);
  EXPECT_EQ(Var("v[2]"), std::string(63, 'x'));
  EXPECT_EQ(Var("v[3]"), "after");
  vars.SetVarText("w[1]", exact);
  EXPECT_EQ(EncodeValues(vars, "w", 1, 1), Stored({exact}));
}

TEST_F(SaveDataTest, ABookmarkHoldsTheMarkAndDateThenTheSnapshot) {
  FillSnapshot();
  ASSERT_TRUE(save.SaveBookmark(5, BookmarkMark::Blue));
  const std::string& bytes = files.files["system\\save05.dat"];
  EXPECT_EQ(bytes.substr(0, 14), Stored({"\x02"
                                         "12/ 7  13:05"}));
  EXPECT_EQ(bytes.substr(14, 6), Stored({"v2", "v3"}));
  EXPECT_EQ(bytes.substr(bytes.size() - 5), Stored({"v256"}));
  EXPECT_EQ(Var("__save[1]"), "\x02"
                              "12/ 7  13:05");
  EXPECT_EQ(Var("sysCurBookmark"), "5");

  ASSERT_TRUE(save.SaveBookmark(5, BookmarkMark::ReadOnly));
  EXPECT_EQ(static_cast<unsigned char>(files.files["system\\save05.dat"][0]), 0x10);
}

TEST_F(SaveDataTest, LoadingFillsBothArraysFromOneFile) {
  // A slot the bookmark dialog made empty: two empty values.
  files.files["system\\save02.dat"] = std::string(2, '\0');
  for (const char* name : {"save[1]", "save[3]", "__save[2]", "__save[3]"}) vars.SetVarText(name, "kept");
  EXPECT_TRUE(save.LoadBookmark(2));
  EXPECT_EQ(Var("save[1]"), "");
  EXPECT_EQ(Var("__save[2]"), "");
  EXPECT_EQ(Var("save[3]"), "kept");
  EXPECT_EQ(Var("__save[3]"), "kept");
  EXPECT_EQ(Var("sysCurBookmark"), "2");
}

// Whatever byte a write breaks off at, the bookmark it was to replace still loads as it was, and
// no temporary is left behind; a crash between the flush and the rename leaves the temporary, and
// the next save goes through.
TEST_F(SaveDataTest, AnInterruptedSaveLeavesTheOldBookmarkReadable) {
  FillSnapshot();
  ASSERT_TRUE(save.SaveBookmark(1, BookmarkMark::Blue));
  const std::string old = files.files["system\\save01.dat"];
  vars.SetVarText("__save[4]", "new");
  for (std::size_t k = 0; k < old.size(); ++k) {
    files.faults.failAfterBytes = k;
    ASSERT_FALSE(save.SaveBookmark(1, BookmarkMark::Blue)) << k;
    ASSERT_EQ(files.files["system\\save01.dat"], old) << k;
    ASSERT_FALSE(files.Exists("system\\save01.dat.tmp")) << k;
  }
  files.faults = {};
  files.faults.dieBeforeRename = true;
  EXPECT_FALSE(save.SaveBookmark(1, BookmarkMark::Blue));
  EXPECT_TRUE(save.LoadBookmark(1));
  EXPECT_EQ(Var("save[4]"), "v4");
  EXPECT_TRUE(files.Exists("system\\save01.dat.tmp"));

  files.faults = {};
  vars.SetVarText("__save[4]", "new");
  EXPECT_TRUE(save.SaveBookmark(1, BookmarkMark::Blue));
  EXPECT_TRUE(save.LoadBookmark(1));
  EXPECT_EQ(Var("save[4]"), "new");
  EXPECT_FALSE(files.Exists("system\\save01.dat.tmp"));
}

TEST_F(SaveDataTest, MarksChangeOnlyTheFirstByteOfAnExistingBookmark) {
  EXPECT_EQ(save.SetBookmarkMark(6, BookmarkMark::Red), SaveData::MarkResult::Missing);
  files.files["system\\save06.dat"] = Stored({"\x02"
                                              "stamp",
                                              "comment"});
  EXPECT_EQ(save.SetBookmarkMark(6, BookmarkMark::Red), SaveData::MarkResult::Done);
  EXPECT_EQ(files.files["system\\save06.dat"], Stored({"\x04"
                                                       "stamp",
                                                       "comment"}));
}

TEST_F(SaveDataTest, TheMemoIsSavedOnlyWhenItWasRead) {
  vars.SetVarText("memo[1]", "before start-up");
  EXPECT_TRUE(save.SaveMemo());
  EXPECT_FALSE(files.Exists(MemoFileName));

  files.files[MemoFileName] = Stored({"3", "three"});
  save.LoadMemo();
  EXPECT_EQ(Var("memo[1]"), "3");
  EXPECT_EQ(Var("memo[2]"), "three");
  vars.SetVarText("memo[256]", "last");
  EXPECT_TRUE(save.SaveMemo());
  EXPECT_EQ(files.files[MemoFileName], Stored({"3", "three"}) + std::string(253, '\0') + Stored({"last"}));
}

// A memo file that exists but cannot be read (here a folder of that name) keeps its content: the
// empty values of this run are not written over it.
TEST(SaveDataDiskTest, AnUnreadableMemoFileIsNotOverwritten) {
  TempFolder game;
  std::filesystem::create_directory(game.path / "system" / "save00.dat");
  DiskFileSystem files(game.path.string());
  HeadlessClock clock;
  TListHash vars;
  SaveData save(files, clock, vars);
  save.LoadMemo();
  vars.SetVarText("memo[1]", "this run");
  EXPECT_TRUE(save.SaveMemo());
  EXPECT_TRUE(std::filesystem::is_directory(game.path / "system" / "save00.dat"));
  EXPECT_FALSE(std::filesystem::exists(game.path / "system" / "save00.dat.tmp"));
}

} // namespace
} // namespace velmo
