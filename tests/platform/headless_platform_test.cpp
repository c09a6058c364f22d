#include "engine/platform/headless/headless_platform.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>

namespace velmo {
namespace {

namespace fs = std::filesystem;

// --- Path mapping ----------------------------------------------------------------------------

TEST(DiskFileSystemPathTest, BackslashesBecomeSeparators) {
  const DiskFileSystem files("root");
  EXPECT_EQ(files.HostPath("system\\error.log"), "root/system/error.log");
  EXPECT_EQ(files.HostPath("a\\b\\c.txt"), "root/a/b/c.txt");
  EXPECT_EQ(files.HostPath("plain.txt"), "root/plain.txt");
}

TEST(DiskFileSystemPathTest, RootEndingInASeparatorGetsNoSecondOne) {
  const DiskFileSystem files("root/");
  EXPECT_EQ(files.HostPath("system\\error.log"), "root/system/error.log");
}

TEST(DiskFileSystemPathTest, TrailByteOfATwoByteCharacterIsNotASeparator) {
  const DiskFileSystem files("root");
  // 表 is 0x95 0x5C in Shift-JIS: its trail byte has the value of a backslash.
  ASSERT_EQ(std::string("表"), "\x95\x5C");
  EXPECT_EQ(files.HostPath("\x95\x5C.txt"), "root/\x95\x5C.txt");
  EXPECT_EQ(files.HostPath("cg\\\x95\x5C\\a.bmp"), "root/cg/\x95\x5C/a.bmp");
  EXPECT_EQ(files.HostPath("\x95\x5C\\"), "root/\x95\x5C/");
  EXPECT_EQ(files.HostPath("表示\\ソ.txt"), "root/表示/ソ.txt"); // ソ is 0x83 0x5C
}

TEST(DiskFileSystemPathTest, BackslashAfterASingleByteCharacterIsASeparator) {
  const DiskFileSystem files("root");
  // Half-width katakana (0xA1-0xDF) are single bytes, and an ASCII byte never starts a pair.
  EXPECT_EQ(files.HostPath("\xB1\\x"), "root/\xB1/x");
  EXPECT_EQ(files.HostPath("\xDF\\x"), "root/\xDF/x");
  EXPECT_EQ(files.HostPath("a\\\\b"), "root/a//b");
}

TEST(DiskFileSystemPathTest, LeadByteAtTheEndIsKept) {
  const DiskFileSystem files("root");
  EXPECT_EQ(files.HostPath("a\\\x95"), "root/a/\x95");
}

// --- Writing files ---------------------------------------------------------------------------

class DiskFileSystemTest : public ::testing::Test {
protected:
  TempFolder folder;
  DiskFileSystem files{folder.path.string()};
};

TEST_F(DiskFileSystemTest, WriteNewFileCreatesTheFileUnderTheRoot) {
  EXPECT_TRUE(files.WriteNewFile("system\\out.txt", "text"));
  const fs::path written = folder.path / "system" / "out.txt";
  ASSERT_TRUE(fs::is_regular_file(written));
  EXPECT_EQ(ReadBytes(written), "text");
  // Nothing else appeared beside the `system` folder (such as a file with a backslash in its name).
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 1);
}

TEST_F(DiskFileSystemTest, BytesAreWrittenExactly) {
  const char raw[] = "line\r\nbare\nlf\r\0nul\x1A\xFF\x95\x5C";
  const std::string bytes(raw, sizeof raw - 1);
  EXPECT_TRUE(files.WriteNewFile("system\\bytes.bin", bytes));
  EXPECT_EQ(ReadBytes(folder.path / "system" / "bytes.bin"), bytes);

  EXPECT_TRUE(files.AppendToFile("system\\bytes.bin", "\n\r\n"));
  EXPECT_EQ(ReadBytes(folder.path / "system" / "bytes.bin"), bytes + "\n\r\n");
}

TEST_F(DiskFileSystemTest, WriteNewFileReplacesTheOldContent) {
  {
    std::ofstream old(folder.path / "system" / "f.txt", std::ios::binary);
    old << "old content that is longer";
  }
  EXPECT_TRUE(files.WriteNewFile("system\\f.txt", "new"));
  EXPECT_EQ(ReadBytes(folder.path / "system" / "f.txt"), "new");

  EXPECT_TRUE(files.WriteNewFile("system\\f.txt", ""));
  ASSERT_TRUE(fs::exists(folder.path / "system" / "f.txt"));
  EXPECT_EQ(fs::file_size(folder.path / "system" / "f.txt"), 0u);
}

TEST_F(DiskFileSystemTest, AppendToFileCreatesAMissingFileAndAppendsAtTheEnd) {
  EXPECT_TRUE(files.AppendToFile("system\\log.txt", "one\r\n"));
  EXPECT_EQ(ReadBytes(folder.path / "system" / "log.txt"), "one\r\n");
  EXPECT_TRUE(files.AppendToFile("system\\log.txt", "two\r\n"));
  EXPECT_TRUE(files.AppendToFile("system\\log.txt", ""));
  EXPECT_TRUE(files.AppendToFile("system\\log.txt", "three\r\n"));
  EXPECT_EQ(ReadBytes(folder.path / "system" / "log.txt"), "one\r\ntwo\r\nthree\r\n");
}

TEST_F(DiskFileSystemTest, WritingFailsWhenTheFolderIsMissing) {
  EXPECT_FALSE(files.WriteNewFile("missing\\f.txt", "x"));
  EXPECT_FALSE(files.AppendToFile("missing\\f.txt", "x"));
  EXPECT_FALSE(fs::exists(folder.path / "missing"));
}

TEST_F(DiskFileSystemTest, WritingFailsWhenThePathIsAFolder) {
  fs::create_directory(folder.path / "system" / "error.log");
  EXPECT_FALSE(files.WriteNewFile("system\\error.log", "x"));
  EXPECT_FALSE(files.AppendToFile("system\\error.log", "x"));
  EXPECT_TRUE(fs::is_directory(folder.path / "system" / "error.log"));
}

TEST_F(DiskFileSystemTest, AnAtomicWriteReplacesTheFileAndLeavesNoTemporary) {
  EXPECT_TRUE(files.WriteFileAtomically("system\\save01.dat", "old"));
  EXPECT_TRUE(files.WriteFileAtomically("system\\save01.dat", "new content"));
  EXPECT_EQ(ReadBytes(folder.path / "system" / "save01.dat"), "new content");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path / "system"), fs::directory_iterator()), 1);
  EXPECT_FALSE(files.WriteFileAtomically("missing\\save01.dat", "x"));
}

// A write that breaks off leaves the old file and no temporary; a crash before the rename leaves
// the old file and the temporary.
TEST_F(DiskFileSystemTest, AnInterruptedAtomicWriteLeavesTheOldFile) {
  ASSERT_TRUE(files.WriteFileAtomically("system\\f.dat", "old"));
  files.faults.failAfterBytes = 2;
  EXPECT_FALSE(files.WriteFileAtomically("system\\f.dat", "new"));
  EXPECT_EQ(ReadBytes(folder.path / "system" / "f.dat"), "old");
  EXPECT_FALSE(fs::exists(folder.path / "system" / "f.dat.tmp"));
  files.faults = {};
  files.faults.dieBeforeRename = true;
  EXPECT_FALSE(files.WriteFileAtomically("system\\f.dat", "new"));
  EXPECT_EQ(ReadBytes(folder.path / "system" / "f.dat"), "old");
  EXPECT_EQ(ReadBytes(folder.path / "system" / "f.dat.tmp"), "new");
}

// --- The window ------------------------------------------------------------------------------

TEST(HeadlessWindowTest, YesNoBoxesTakeTheQueuedAnswersInOrder) {
  HeadlessWindow window;
  window.answers = {MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Yes};
  EXPECT_EQ(window.ShowMessageBox("1", "c", MessageButtons::YesNo, MessageIcon::Question), MessageAnswer::Yes);
  EXPECT_EQ(window.ShowMessageBox("2", "c", MessageButtons::YesNo, MessageIcon::Question), MessageAnswer::No);
  EXPECT_EQ(window.ShowMessageBox("3", "c", MessageButtons::YesNo, MessageIcon::Question), MessageAnswer::Yes);
  EXPECT_TRUE(window.answers.empty());
}

TEST(HeadlessWindowTest, EmptyQueueGivesTheDefaultAnswer) {
  HeadlessWindow window;
  EXPECT_EQ(window.ShowMessageBox("t", "c", MessageButtons::YesNo, MessageIcon::Exclamation), MessageAnswer::No);
  window.defaultYesNoAnswer = MessageAnswer::Yes;
  EXPECT_EQ(window.ShowMessageBox("t", "c", MessageButtons::YesNo, MessageIcon::Exclamation), MessageAnswer::Yes);
  window.answers.push_back(MessageAnswer::No);
  EXPECT_EQ(window.ShowMessageBox("t", "c", MessageButtons::YesNo, MessageIcon::Exclamation), MessageAnswer::No);
  EXPECT_EQ(window.ShowMessageBox("t", "c", MessageButtons::YesNo, MessageIcon::Exclamation), MessageAnswer::Yes);
}

TEST(HeadlessWindowTest, OkBoxAnswersOkAndLeavesTheQueueForTheNextQuestion) {
  HeadlessWindow window;
  window.answers = {MessageAnswer::Yes};
  EXPECT_EQ(window.ShowMessageBox("fatal", "c", MessageButtons::Ok, MessageIcon::Exclamation), MessageAnswer::Ok);
  ASSERT_EQ(window.answers.size(), 1u);
  EXPECT_EQ(window.ShowMessageBox("question", "c", MessageButtons::YesNo, MessageIcon::Question), MessageAnswer::Yes);
}

TEST(HeadlessWindowTest, RecordsEveryBoxAsAsked) {
  HeadlessWindow window;
  window.ShowMessageBox("第一\n行", "題 - VELMO", MessageButtons::Ok, MessageIcon::Information);
  window.ShowMessageBox(std::string_view("abc\0def", 7), "q", MessageButtons::YesNo, MessageIcon::Question);

  ASSERT_EQ(window.messageBoxes.size(), 2u);
  EXPECT_EQ(window.messageBoxes[0].text, "第一\n行");
  EXPECT_EQ(window.messageBoxes[0].caption, "題 - VELMO");
  EXPECT_EQ(window.messageBoxes[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(window.messageBoxes[0].icon, MessageIcon::Information);
  EXPECT_EQ(window.messageBoxes[1].text, std::string("abc\0def", 7));
  EXPECT_EQ(window.messageBoxes[1].caption, "q");
  EXPECT_EQ(window.messageBoxes[1].buttons, MessageButtons::YesNo);
  EXPECT_EQ(window.messageBoxes[1].icon, MessageIcon::Question);
}

// --- The clock -------------------------------------------------------------------------------

TEST(HeadlessClockTest, AdvancesAndWrapsLikeTheSystemClock) {
  HeadlessClock clock;
  clock.Advance(16);
  EXPECT_EQ(clock.NowMs(), 16u);
  clock.nowMs = 0xFFFFFFF0u;
  clock.Advance(0x20);
  EXPECT_EQ(clock.NowMs(), 0x10u);
}

} // namespace
} // namespace velmo
