// Files written in one step through the Windows file functions.
#include "engine/platform/win32/win32_platform.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace velmo {
namespace {

namespace fs = std::filesystem;

class Win32FilesTest : public ::testing::Test {
protected:
  std::string Path(const char* name) const { return (folder.path / "system" / name).string(); }

  TempFolder folder;
  Win32FileSystem files;
};

// A file replaced leaves no temporary; when the rename fails (a folder has the name), the temporary
// is removed again.
TEST_F(Win32FilesTest, AnAtomicWriteReplacesTheFileOrLeavesNothingBehind) {
  ASSERT_TRUE(files.WriteFileAtomically(Path("save01.dat"), "old content"));
  ASSERT_TRUE(files.WriteFileAtomically(Path("save01.dat"), "new"));
  EXPECT_EQ(ReadBytes(folder.path / "system" / "save01.dat"), "new");
  EXPECT_FALSE(fs::exists(folder.path / "system" / "save01.dat.tmp"));
  fs::create_directory(folder.path / "system" / "save02.dat");
  EXPECT_FALSE(files.WriteFileAtomically(Path("save02.dat"), "bytes"));
  EXPECT_FALSE(fs::exists(folder.path / "system" / "save02.dat.tmp"));
}

} // namespace
} // namespace velmo
