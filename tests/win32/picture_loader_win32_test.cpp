// Loading pictures through real Susie plug-ins: the fixture picture loader and archive handler
// are copied into a game's system folder, loaded with the system's loader, and called by
// LoadPicture; the archive handler extracts into a temporary folder on disk.
#include "engine/graphics/picture_loader.h"
#include "engine/platform/win32/win32_platform.h"
#include "engine/plugin/plugin_list.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace velmo {
namespace {

constexpr const char* BuiltPlugins[] = {VELMO_TEST_PLUGIN_PICTURE, VELMO_TEST_PLUGIN_ARCHIVE};

void PutU32(std::string& s, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>(v >> (8 * i) & 0xFF);
}

// The fixture picture format: pixel (x, y) = B x, G y, R value.
std::string MakeVpic(int width, int height, int value) {
  std::string s = "VPIC";
  s += static_cast<char>(width);
  s += static_cast<char>(height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      s += static_cast<char>(x);
      s += static_cast<char>(y);
      s += static_cast<char>(value);
    }
  }
  return s;
}

// The fixture archive format.
std::string MakeArchive(const std::vector<std::pair<std::string, std::string>>& members) {
  std::string s = "VARC";
  for (const auto& [name, bytes] : members) {
    s += name;
    s += '\0';
    PutU32(s, static_cast<std::uint32_t>(bytes.size()));
    s += bytes;
  }
  return s;
}

// A 24-bit BMP file of 1 x 1 pixel of grey `value`.
std::string MakeBmp(int value) {
  std::string s = "BM";
  PutU32(s, 58);
  PutU32(s, 0);
  PutU32(s, 54);
  PutU32(s, 40);
  PutU32(s, 1);
  PutU32(s, 1);
  s += std::string("\x01\x00\x18\x00", 4);
  for (int i = 0; i < 6; ++i) PutU32(s, 0);
  s.append(3, static_cast<char>(value));
  s += '\0';
  return s;
}

// The game folder is the current folder while a test runs, so that names are relative as a
// script writes them (a period in a folder of an absolute path would split it).
class PictureLoaderWin32Test : public ::testing::Test {
protected:
  void SetUp() override {
    std::filesystem::create_directories(system);
    std::filesystem::create_directories(folder.path / "tmp");
    for (const char* built : BuiltPlugins) {
      const std::string name = std::filesystem::path(built).filename().string();
      ASSERT_TRUE(CopyFileA(built, (system / name).string().c_str(), FALSE)) << built;
    }
    failures = list.LoadAll(files, system.string());
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    previousFolder = previous;
    ASSERT_TRUE(SetCurrentDirectoryA(folder.path.string().c_str()));
  }
  void TearDown() override {
    SetCurrentDirectoryA(previousFolder.c_str());
    list.FreeAll();
  }

  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(folder.path / name, std::ios::binary) << bytes;
  }

  std::optional<Picture> Load(const std::string& name) { return LoadPicture(files, modules, list, "tmp\\", name); }

  TempFolder folder;
  std::filesystem::path system = folder.path / "system";
  std::string previousFolder;
  Win32FileSystem files;
  Win32Modules modules;
  TListPlugin list{modules};
  std::vector<TException> failures;
};

TEST_F(PictureLoaderWin32Test, SusiePluginsAreLoadedWithTheirTags) {
  EXPECT_TRUE(failures.empty());
  ASSERT_EQ(list.LastIndex(), 1);
  std::vector<std::string> tags{list.Node(0).tag, list.Node(1).tag};
  std::sort(tags.begin(), tags.end());
  EXPECT_EQ(tags, (std::vector<std::string>{"00AM", "00IN"}));
}

TEST_F(PictureLoaderWin32Test, PictureLoaderDecodesItsFormat) {
  Write("a.vpi", MakeVpic(3, 2, 99));
  std::optional<Picture> picture = Load("a.vpi");
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 3);
  EXPECT_EQ(picture->height, 2);
  const std::vector<std::uint8_t> expected{0, 0, 99, 1, 0, 99, 2, 0, 99, 0, 1, 99, 1, 1, 99, 2, 1, 99};
  EXPECT_EQ(picture->pixels, expected);
}

TEST_F(PictureLoaderWin32Test, BrokenPictureRaisesThePluginsCode) {
  Write("bad.vpi", "VPIC\x05\x05");
  try {
    Load("bad.vpi");
    ADD_FAILURE() << "no error";
  } catch (const TException& e) {
    EXPECT_EQ(e.code, 3);
    EXPECT_STREQ(e.info, "bad.vpi");
  }
}

TEST_F(PictureLoaderWin32Test, MemberOfNestedArchiveIsExtractedAndDecoded) {
  const std::string inner = MakeArchive({{"cg\\room.vpi", MakeVpic(2, 1, 7)}, {"b.bmp", MakeBmp(40)}});
  Write("pack.arc", MakeArchive({{"inner.arc", inner}}));
  std::optional<Picture> picture = Load("pack.arc\\inner.arc\\cg\\room.vpi");
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->pixels, (std::vector<std::uint8_t>{0, 0, 7, 1, 0, 7}));
  EXPECT_EQ(ReadBytes(folder.path / "tmp" / "inner.arc"), inner);
  EXPECT_TRUE(std::filesystem::exists(folder.path / "tmp" / "room.vpi"));

  std::optional<Picture> bmp = Load("pack.arc\\inner.arc\\b.bmp");
  ASSERT_TRUE(bmp.has_value());
  EXPECT_EQ(bmp->pixels, (std::vector<std::uint8_t>{40, 40, 40}));
}

TEST_F(PictureLoaderWin32Test, MissingMemberRaisesThePluginsCodeWithTheMemberName) {
  Write("pack.arc", MakeArchive({{"a.bmp", MakeBmp(1)}}));
  try {
    Load("pack.arc\\b.bmp");
    ADD_FAILURE() << "no error";
  } catch (const TException& e) {
    EXPECT_EQ(e.code, 2);
    EXPECT_STREQ(e.info, "b.bmp");
  }
}

} // namespace
} // namespace velmo

namespace velmo {
namespace {

TEST_F(PictureLoaderWin32Test, PlainFilesOnDiskTheSystemsAnswers) {
  // A BMP file no plug-in claims is decoded by the engine itself.
  Write("plain.bmp", MakeBmp(9));
  std::optional<Picture> plain = Load("plain.bmp");
  ASSERT_TRUE(plain.has_value());
  EXPECT_EQ(plain->pixels, (std::vector<std::uint8_t>{9, 9, 9}));
  // A 2-byte file nobody claims is no picture, and no error.
  Write("tiny.bmp", "BM");
  EXPECT_FALSE(Load("tiny.bmp").has_value());
  // A missing file and one that exists but cannot be opened (a folder) are told apart.
  const auto codeOf = [&](const std::string& name) {
    try {
      Load(name);
    } catch (const TException& e) {
      EXPECT_STREQ(e.info, name.c_str());
      return e.code;
    }
    return 0;
  };
  EXPECT_EQ(codeOf("cg\\missing.bmp"), ErrFileNotFound);
  std::filesystem::create_directories(folder.path / "folder.bmp");
  EXPECT_EQ(codeOf("folder.bmp"), ErrFileIO);
}

} // namespace
} // namespace velmo
