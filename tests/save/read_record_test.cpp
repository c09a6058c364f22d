// The record of read text: lines recorded by file and offset, kept from run to run in one step, a
// file changed since, and files that are damaged or not a record.
#include "engine/save/read_record.h"

#include "engine/platform/headless/headless_platform.h"

#include <gtest/gtest.h>

#include <string>

namespace velmo {
namespace {

class ReadRecordTest : public ::testing::Test {
protected:
  // The record as the next run finds it.
  ReadRecord& NextRun() {
    next.Load();
    return next;
  }
  std::string& Stored() { return files.files[ReadRecordFileName]; }

  MemoryFileSystem files;
  ReadRecord record{files};
  ReadRecord next{files};
};

TEST_F(ReadRecordTest, ALineIsReadOnceShownInThisRunAndTheNext) {
  EXPECT_FALSE(record.TakeLine("system\\a.scx", 100, 10));
  EXPECT_TRUE(record.TakeLine("system\\a.scx", 100, 10));
  EXPECT_TRUE(record.TakeLine("SYSTEM\\A.scx", 100, 10)); // names as Windows compares them
  EXPECT_FALSE(record.TakeLine("system\\a.scx", 100, 11));
  EXPECT_FALSE(record.TakeLine("system\\b.scx", 100, 10));
  EXPECT_FALSE(record.TakeLine("system\\a.scx", 100, 100)); // not a line of the file
  ASSERT_TRUE(record.Save());
  EXPECT_EQ(Stored(), std::string("VRD1\x0C\x00system\\a.scx\x02\x00\x00\x00\x00\x0C"
                                  "\x0C\x00system\\b.scx\x02\x00\x00\x00\x00\x04",
                                  44));
  ReadRecord& later = NextRun();
  EXPECT_TRUE(later.TakeLine("system\\a.scx", 100, 11));
  EXPECT_FALSE(later.TakeLine("system\\a.scx", 100, 12));
  // Nothing new: nothing written.
  files.files.erase(ReadRecordFileName);
  ReadRecord unchanged{files};
  EXPECT_TRUE(unchanged.Save());
  EXPECT_FALSE(files.Exists(ReadRecordFileName));
}

TEST_F(ReadRecordTest, OffsetsPastTheEndOfAFileChangedSinceAreIgnored) {
  for (const std::uint32_t offset : {49u, 53u, 90u}) record.TakeLine("a.scx", 100, offset);
  ASSERT_TRUE(record.Save());
  // The file is 52 bytes now: 49 is still a line of it, 53 and 90 are not.
  ReadRecord& shorter = NextRun();
  EXPECT_TRUE(shorter.TakeLine("a.scx", 52, 49));
  ASSERT_TRUE(shorter.Save());
  ReadRecord grown{files};
  grown.Load();
  EXPECT_FALSE(grown.TakeLine("a.scx", 100, 53));
  EXPECT_FALSE(grown.TakeLine("a.scx", 100, 90));
  EXPECT_TRUE(grown.TakeLine("a.scx", 100, 49));
}

TEST_F(ReadRecordTest, DamagedFilesGiveWhatPrecedesTheDamageAndForeignFilesAreLeftAlone) {
  const std::string good("VRD1\x01\x00x\x01\x00\x00\x00\x01", 12);
  const struct {
    const char* name;
    std::string bytes;
    bool lineRead; // the line at offset 0 of "x" counts as read
    bool replaced; // a change is written over the file
  } cases[] = {
      {"good", good, true, true},
      {"cut in a record", good + std::string("\x01\x00y\x09\x00\x00\x00\xFF", 8), true, true},
      {"cut in a name", good + std::string("\x05\x00y", 3), true, true},
      {"an empty name", good + std::string("\x00\x00\x00\x00\x00\x00", 6), true, true},
      {"not a record", "VRD2" + good.substr(4), false, false},
      {"empty", "", false, true},
  };
  for (const auto& c : cases) {
    Stored() = c.bytes;
    ReadRecord& loaded = NextRun();
    EXPECT_EQ(loaded.TakeLine("x", 8, 0), c.lineRead) << c.name;
    loaded.TakeLine("z", 8, 0);
    EXPECT_TRUE(loaded.Save()) << c.name;
    EXPECT_EQ(Stored() != c.bytes, c.replaced) << c.name;
  }
  // A write cut short, or one that dies before its rename, leaves the record there was.
  for (const WriteFaults& fault : {WriteFaults{.failAfterBytes = 5, .dieBeforeRename = false},
                                   WriteFaults{.failAfterBytes = {}, .dieBeforeRename = true}}) {
    Stored() = good;
    files.faults = fault;
    ReadRecord& loaded = NextRun();
    loaded.TakeLine("z", 8, 0);
    EXPECT_FALSE(loaded.Save());
    EXPECT_EQ(Stored(), good);
  }
}

} // namespace
} // namespace velmo
