// Loading pictures by name: plain BMP files, files a Susie picture loader claims, and members of
// archives (also nested ones) that a Susie archive handler extracts into the temporary folder.
// The plug-ins are modules made of the functions below. They read two formats of their own:
//   picture: "VPIC", width and height (one byte each), then width x height pixels of B, G, R,
//            top row first;
//   archive: "VARC", then members, each a NUL-terminated name (which may hold a folder,
//            "cg\a.bmp"), a 32-bit little-endian size and that many bytes. A member's position is
//            the offset of its name.
#include "engine/graphics/picture_loader.h"

#include "engine/base/errors.h"
#include "engine/platform/headless/headless_platform.h"
#include "plugins/include/susie_plugin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmo {
namespace {

constexpr const char* TempFolder = "tmp\\";

// --- Test data -------------------------------------------------------------------------------

void PutU16(std::string& s, unsigned v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8 & 0xFF);
}
void PutU32(std::string& s, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>(v >> (8 * i) & 0xFF);
}

// A 24-bit bottom-up BMP file of width x 1 pixels, pixel i being B = G = R = first + i.
std::string MakeBmp(int width, int first) {
  const int stride = (width * 3 + 3) / 4 * 4;
  std::string s = "BM";
  PutU32(s, static_cast<std::uint32_t>(54 + stride));
  PutU32(s, 0);
  PutU32(s, 54);
  PutU32(s, 40);
  PutU32(s, static_cast<std::uint32_t>(width));
  PutU32(s, 1);
  PutU16(s, 1);
  PutU16(s, 24);
  for (int i = 0; i < 6; ++i) PutU32(s, 0);
  for (int i = 0; i < width; ++i) s.append(3, static_cast<char>(first + i));
  s.append(static_cast<std::size_t>(stride - width * 3), '\0');
  return s;
}

// A picture of the plug-ins' own format, w x h, pixel (x, y) = B x, G y, R value.
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

struct Member {
  std::string name;
  std::string bytes;
};
std::string MakeArchive(const std::vector<Member>& members) {
  std::string s = "VARC";
  for (const Member& m : members) {
    s += m.name;
    s += '\0';
    PutU32(s, static_cast<std::uint32_t>(m.bytes.size()));
    s += m.bytes;
  }
  return s;
}

// --- Fake plug-in exports ----------------------------------------------------------------------

struct GetPictureCall {
  std::string buf;
  std::int32_t len;
  std::uint32_t flag;
  void* progress;
  std::int32_t data;
};
struct GetFileInfoCall {
  std::string buf;
  std::int32_t len;
  std::string filename;
  std::uint32_t flag;
};
struct GetFileCall {
  std::string src;
  std::int32_t position;
  std::string dest;
  std::uint32_t flag;
  void* progress;
  std::int32_t data;
};

// What the exports see and were called with; the fixture points `fake` at its own for each test.
struct FakeState {
  MemoryFileSystem* files = nullptr;
  std::vector<std::string> isSupportedNames;
  std::vector<std::vector<std::uint8_t>> headers;
  std::vector<GetPictureCall> getPictureCalls;
  std::vector<GetFileInfoCall> getFileInfoCalls;
  std::vector<GetFileCall> getFileCalls;
  int getPictureResult = 0;
  int getFileInfoResult = 0;
  int getFileResult = 0;
};
FakeState* fake = nullptr;

std::string FileBytes(const char* path) {
  auto it = fake->files->files.find(std::string_view(path));
  return it == fake->files->files.end() ? std::string() : it->second;
}

int CopyTag(const char* text, int number, char* buffer, int length) {
  if (number != 0) return 0;
  int n = 0;
  for (; text[n] != '\0' && n < length - 1; ++n) buffer[n] = text[n];
  buffer[n] = '\0';
  return n;
}
int VELMO_STDCALL TagPicture(int number, char* buffer, int length) { return CopyTag("00IN", number, buffer, length); }
int VELMO_STDCALL TagArchive(int number, char* buffer, int length) { return CopyTag("00AM", number, buffer, length); }
int VELMO_STDCALL TagEffect(int number, char* buffer, int length) { return CopyTag("00ME", number, buffer, length); }

int Supports(const char* filename, void* header, const char* magic) {
  fake->isSupportedNames.push_back(filename);
  const auto* bytes = static_cast<const std::uint8_t*>(header);
  fake->headers.emplace_back(bytes, bytes + SUSIE_HEADER_SIZE);
  return std::memcmp(header, magic, 4) == 0 ? 1 : 0;
}
int VELMO_STDCALL IsVpic(const char* filename, void* header) { return Supports(filename, header, "VPIC"); }
int VELMO_STDCALL IsVarc(const char* filename, void* header) { return Supports(filename, header, "VARC"); }
int VELMO_STDCALL IsAnything(const char* filename, void* header) {
  Supports(filename, header, "????");
  return 1;
}

void* Block(const std::string& bytes) {
  void* p = std::malloc(bytes.size());
  std::memcpy(p, bytes.data(), bytes.size());
  return p;
}

std::string InfoHeader(int width, int height, int bitCount, std::uint32_t colorsUsed) {
  std::string s;
  PutU32(s, 40);
  PutU32(s, static_cast<std::uint32_t>(width));
  PutU32(s, static_cast<std::uint32_t>(height));
  PutU16(s, 1);
  PutU16(s, static_cast<unsigned>(bitCount));
  PutU32(s, 0); // uncompressed
  PutU32(s, 0);
  PutU32(s, 0);
  PutU32(s, 0);
  PutU32(s, colorsUsed);
  PutU32(s, 0);
  return s;
}

int RecordGetPicture(const char* buf, std::int32_t len, std::uint32_t flag, void* progress, std::int32_t data) {
  fake->getPictureCalls.push_back({buf, len, flag, progress, data});
  return fake->getPictureResult;
}

// Decodes VPIC into a 24-bit bottom-up BITMAPINFO and rows padded to 4 bytes; each block is
// allocated at exactly its size, so that reading past it is caught.
int VELMO_STDCALL GetVpic24(const char* buf, std::int32_t len, std::uint32_t flag, void** info, void** bits,
                            void* progress, std::int32_t data) {
  if (int r = RecordGetPicture(buf, len, flag, progress, data); r != 0) return r;
  const std::string file = FileBytes(buf);
  const int width = static_cast<unsigned char>(file[4]);
  const int height = static_cast<unsigned char>(file[5]);
  const int stride = (width * 3 + 3) / 4 * 4;
  std::string rows;
  for (int y = height - 1; y >= 0; --y) {
    rows.append(file, static_cast<std::size_t>(6 + y * width * 3), static_cast<std::size_t>(width * 3));
    rows.append(static_cast<std::size_t>(stride - width * 3), '\0');
  }
  *info = Block(InfoHeader(width, height, 24, 0));
  *bits = Block(rows);
  return 0;
}

// Ignores the file: a 3 x 2 top-down picture of 8 bits with a palette of two entries (blue and
// red), indices 0 1 0 / 1 1 0.
int VELMO_STDCALL GetPalettePicture(const char* buf, std::int32_t len, std::uint32_t flag, void** info, void** bits,
                                    void* progress, std::int32_t data) {
  if (int r = RecordGetPicture(buf, len, flag, progress, data); r != 0) return r;
  std::string header = InfoHeader(3, -2, 8, 2);
  header += std::string("\xFF\x00\x00\x00\x00\x00\xFF\x00", 8);
  *info = Block(header);
  *bits = Block(std::string("\x00\x01\x00\x00\x01\x01\x00\x00", 8));
  return 0;
}

// An info block of 4 bytes whose header size is none the decoder knows.
int VELMO_STDCALL GetUnknownHeader(const char* buf, std::int32_t len, std::uint32_t flag, void** info, void** bits,
                                   void* progress, std::int32_t data) {
  RecordGetPicture(buf, len, flag, progress, data);
  std::string size;
  PutU32(size, 20);
  *info = Block(size);
  *bits = Block(std::string(4, '\0'));
  return 0;
}

// Hands back both blocks and then reports failure.
int VELMO_STDCALL GetPictureFailing(const char* buf, std::int32_t len, std::uint32_t flag, void** info, void** bits,
                                    void* progress, std::int32_t data) {
  RecordGetPicture(buf, len, flag, progress, data);
  *info = Block(InfoHeader(1, 1, 24, 0));
  *bits = Block(std::string(4, '\0'));
  return fake->getPictureResult;
}

// Finds `name` in the archive `file`; the member's offset or std::string::npos.
std::size_t FindMember(const std::string& file, const std::string& name, std::string* bytes) {
  std::size_t pos = 4;
  while (pos < file.size()) {
    const std::size_t nameEnd = file.find('\0', pos);
    if (nameEnd == std::string::npos || nameEnd + 5 > file.size()) break;
    std::uint32_t size = 0;
    for (int i = 0; i < 4; ++i)
      size |= static_cast<std::uint32_t>(static_cast<unsigned char>(file[nameEnd + 1 + i])) << (8 * i);
    if (file.compare(pos, nameEnd - pos, name) == 0) {
      if (bytes != nullptr) *bytes = file.substr(nameEnd + 5, size);
      return pos;
    }
    pos = nameEnd + 5 + size;
  }
  return std::string::npos;
}

int VELMO_STDCALL GetVarcInfo(const char* buf, std::int32_t len, const char* filename, std::uint32_t flag,
                              SusieFileInfo* info) {
  fake->getFileInfoCalls.push_back({buf, len, filename, flag});
  if (fake->getFileInfoResult != 0) return fake->getFileInfoResult;
  const std::size_t pos = FindMember(FileBytes(buf), filename, nullptr);
  if (pos == std::string::npos) return SUSIE_UNKNOWN_FORMAT;
  info->position = static_cast<std::uint32_t>(pos);
  std::string name = filename;
  const std::size_t slash = name.rfind('\\');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  std::memcpy(info->filename, name.c_str(), std::min(name.size() + 1, sizeof info->filename));
  return 0;
}

// Writes the member at `position` into the folder `dest`, under its name without folder.
int VELMO_STDCALL GetVarcFile(const char* src, std::int32_t position, const char* dest, std::uint32_t flag,
                              void* progress, std::int32_t data) {
  fake->getFileCalls.push_back({src, position, dest, flag, progress, data});
  if (fake->getFileResult != 0) return fake->getFileResult;
  const std::string file = FileBytes(src);
  const std::size_t pos = static_cast<std::size_t>(position);
  const std::size_t nameEnd = file.find('\0', pos);
  if (nameEnd == std::string::npos) return SUSIE_BROKEN_DATA;
  std::string name = file.substr(pos, nameEnd - pos);
  std::string bytes;
  FindMember(file, name, &bytes);
  const std::size_t slash = name.rfind('\\');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  fake->files->WriteNewFile(std::string(dest) + name, bytes);
  return 0;
}

// --- Fixture -----------------------------------------------------------------------------------

// Modules that count what is done with the plug-ins' memory handles.
class CountingModules : public HeadlessModules {
public:
  const void* LockMemory(void* handle) override {
    ++locks;
    return HeadlessModules::LockMemory(handle);
  }
  void UnlockMemory(void* handle) override {
    ++unlocks;
    HeadlessModules::UnlockMemory(handle);
  }
  void FreeMemory(void* handle) override {
    ++frees;
    HeadlessModules::FreeMemory(handle);
  }
  int locks = 0;
  int unlocks = 0;
  int frees = 0;
};

// A file system whose files in `locked` exist but cannot be opened.
class LockingFileSystem : public MemoryFileSystem {
public:
  std::unique_ptr<IReadFile> OpenRead(std::string_view path) override {
    opened.emplace_back(path);
    for (const std::string& p : locked) {
      if (p == path) return nullptr;
    }
    return MemoryFileSystem::OpenRead(path);
  }
  std::vector<std::string> locked;
  std::vector<std::string> opened;
};

class PictureLoaderTest : public ::testing::Test {
protected:
  void SetUp() override {
    state.files = &files;
    fake = &state;
  }
  void TearDown() override { fake = nullptr; }

  // Registers a module under `fileName` with GetPluginInfo and the given exports, and loads it.
  void AddPlugin(const std::string& fileName, void* getPluginInfo, std::vector<std::pair<const char*, void*>> exports) {
    HeadlessModules::Module& module = modules.modules[fileName];
    module.exports["GetPluginInfo"] = getPluginInfo;
    for (auto& [name, f] : exports) module.exports[name] = f;
    plugins.Add("system", fileName);
  }
  void AddPictureLoader(const std::string& fileName, void* getPicture) {
    AddPlugin(fileName, reinterpret_cast<void*>(&TagPicture),
              {{"IsSupported", reinterpret_cast<void*>(&IsVpic)}, {"GetPicture", getPicture}});
  }
  void AddArchiveHandler(const std::string& fileName = "varc.spi") {
    AddPlugin(fileName, reinterpret_cast<void*>(&TagArchive),
              {{"IsSupported", reinterpret_cast<void*>(&IsVarc)},
               {"GetFileInfo", reinterpret_cast<void*>(&GetVarcInfo)},
               {"GetFile", reinterpret_cast<void*>(&GetVarcFile)}});
  }
  void AddEffectPlugin(const std::string& fileName) { AddPlugin(fileName, reinterpret_cast<void*>(&TagEffect), {}); }

  std::optional<Picture> Load(std::string_view name) { return LoadPicture(files, modules, plugins, TempFolder, name); }

  // The error Load raises; fails the test when it raises none.
  TException LoadError(std::string_view name) {
    try {
      Load(name);
    } catch (const TException& e) {
      return e;
    }
    ADD_FAILURE() << "no error for " << name;
    return TException(0, "");
  }

  FakeState state;
  LockingFileSystem files;
  CountingModules modules;
  TListPlugin plugins{modules};
};

std::vector<std::uint8_t> Pixels(std::initializer_list<int> values) {
  std::vector<std::uint8_t> v;
  for (int x : values) v.push_back(static_cast<std::uint8_t>(x));
  return v;
}

// --- Plain files ---------------------------------------------------------------------------------

TEST_F(PictureLoaderTest, BmpFileNoPluginClaimsIsDecoded) {
  files.files["cg\\a.bmp"] = MakeBmp(2, 10);
  AddPictureLoader("vpic.spi", reinterpret_cast<void*>(&GetVpic24));
  std::optional<Picture> picture = Load("cg\\a.bmp");
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 2);
  EXPECT_EQ(picture->height, 1);
  EXPECT_EQ(picture->pixels, Pixels({10, 10, 10, 11, 11, 11}));
  EXPECT_TRUE(state.getPictureCalls.empty());
  EXPECT_EQ(state.isSupportedNames, std::vector<std::string>{"cg\\a.bmp"});
}

TEST_F(PictureLoaderTest, IsSupportedSeesTheFileStartInAZeroedBuffer) {
  files.files["a.bmp"] = "BM\x01";
  AddPictureLoader("vpic.spi", reinterpret_cast<void*>(&GetVpic24));
  EXPECT_FALSE(Load("a.bmp").has_value());
  ASSERT_EQ(state.headers.size(), 1u);
  std::vector<std::uint8_t> expected(SUSIE_HEADER_SIZE, 0);
  expected[0] = 'B';
  expected[1] = 'M';
  expected[2] = 1;
  EXPECT_EQ(state.headers[0], expected);
}

TEST_F(PictureLoaderTest, IsSupportedSeesOnlyTheFirst2048Bytes) {
  std::string big(5000, 'x');
  big[2047] = 'y';
  files.files["big.dat"] = big;
  AddPictureLoader("vpic.spi", reinterpret_cast<void*>(&GetVpic24));
  EXPECT_FALSE(Load("big.dat").has_value());
  ASSERT_EQ(state.headers.size(), 1u);
  EXPECT_EQ(state.headers[0].back(), 'y');
}

TEST_F(PictureLoaderTest, MissingFileRaisesFileNotFoundWithTheWholeName) {
  TException e = LoadError("cg\\bg.arc\\room01.bmp");
  EXPECT_EQ(e.code, ErrFileNotFound);
  EXPECT_STREQ(e.info, "cg\\bg.arc\\room01.bmp");
}

TEST_F(PictureLoaderTest, FileThatCannotBeOpenedRaisesFileIO) {
  files.files["cg\\a.bmp"] = MakeBmp(1, 0);
  files.locked.push_back("cg\\a.bmp");
  TException e = LoadError("cg\\a.bmp");
  EXPECT_EQ(e.code, ErrFileIO);
  EXPECT_STREQ(e.info, "cg\\a.bmp");
}

TEST_F(PictureLoaderTest, TwoByteFileNoPluginClaimsGivesNoPictureAndNoError) {
  files.files["x.bmp"] = "BM";
  AddPictureLoader("vpic.spi", reinterpret_cast<void*>(&GetVpic24));
  EXPECT_FALSE(Load("x.bmp").has_value());
}

TEST_F(PictureLoaderTest, EmptyFileGivesNoPicture) {
  files.files["x.bmp"] = "";
  EXPECT_FALSE(Load("x.bmp").has_value());
}

// --- Picture loaders -----------------------------------------------------------------------------

TEST_F(PictureLoaderTest, PictureLoaderResultIsDecodedAndItsHandlesFreed) {
  files.files["cg\\a.vpi"] = MakeVpic(3, 2, 200);
  AddPictureLoader("vpic.spi", reinterpret_cast<void*>(&GetVpic24));
  std::optional<Picture> picture = Load("cg\\a.vpi");
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 3);
  EXPECT_EQ(picture->height, 2);
  EXPECT_EQ(picture->pixels, Pixels({0, 0, 200, 1, 0, 200, 2, 0, 200, 0, 1, 200, 1, 1, 200, 2, 1, 200}));
  ASSERT_EQ(state.getPictureCalls.size(), 1u);
  const GetPictureCall& call = state.getPictureCalls[0];
  EXPECT_EQ(call.buf, "cg\\a.vpi");
  EXPECT_EQ(call.len, 0);
  EXPECT_EQ(call.flag, 0u);
  EXPECT_EQ(call.progress, nullptr);
  EXPECT_EQ(call.data, 0);
  EXPECT_EQ(modules.locks, 2);
  EXPECT_EQ(modules.unlocks, 2);
  EXPECT_EQ(modules.frees, 2);
}

TEST_F(PictureLoaderTest, PalettePictureTopDownIsConvertedTo24Bits) {
  files.files["p.vpi"] = MakeVpic(1, 1, 0);
  AddPictureLoader("pal.spi", reinterpret_cast<void*>(&GetPalettePicture));
  std::optional<Picture> picture = Load("p.vpi");
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 3);
  EXPECT_EQ(picture->height, 2);
  EXPECT_EQ(picture->pixels, Pixels({255, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0, 255, 0, 0, 255, 255, 0, 0}));
  EXPECT_EQ(modules.frees, 2);
}

TEST_F(PictureLoaderTest, PictureLoaderResultOfUnknownHeaderGivesNoPicture) {
  files.files["p.vpi"] = MakeVpic(1, 1, 0);
  AddPictureLoader("odd.spi", reinterpret_cast<void*>(&GetUnknownHeader));
  EXPECT_FALSE(Load("p.vpi").has_value());
  EXPECT_EQ(modules.frees, 2);
}

TEST_F(PictureLoaderTest, GetPictureErrorIsPassedOnWithTheWholeName) {
  files.files["cg\\a.vpi"] = MakeVpic(1, 1, 0);
  state.getPictureResult = SUSIE_BROKEN_DATA;
  AddPictureLoader("vpic.spi", reinterpret_cast<void*>(&GetPictureFailing));
  TException e = LoadError("cg\\a.vpi");
  EXPECT_EQ(e.code, 3);
  EXPECT_STREQ(e.info, "cg\\a.vpi");
  EXPECT_EQ(modules.frees, 2);
}

TEST_F(PictureLoaderTest, MissingGetPictureRaisesMinusOneWithTheWholeName) {
  files.files["cg\\a.vpi"] = MakeVpic(1, 1, 0);
  AddPlugin("half.spi", reinterpret_cast<void*>(&TagPicture), {{"IsSupported", reinterpret_cast<void*>(&IsVpic)}});
  TException e = LoadError("cg\\a.vpi");
  EXPECT_EQ(e.code, -1);
  EXPECT_STREQ(e.info, "cg\\a.vpi");
}

TEST_F(PictureLoaderTest, FirstLoadedOfTwoClaimingPluginsWins) {
  files.files["a.vpi"] = MakeVpic(1, 1, 0);
  AddPictureLoader("z.spi", reinterpret_cast<void*>(&GetPalettePicture));
  AddPictureLoader("a.spi", reinterpret_cast<void*>(&GetVpic24));
  std::optional<Picture> picture = Load("a.vpi");
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 3); // the palette picture of z.spi
  EXPECT_EQ(state.isSupportedNames.size(), 1u);
}

TEST_F(PictureLoaderTest, PluginThatDeclinesIsPassedOver) {
  files.files["a.vpi"] = MakeVpic(2, 1, 7);
  AddArchiveHandler();
  AddPictureLoader("vpic.spi", reinterpret_cast<void*>(&GetVpic24));
  std::optional<Picture> picture = Load("a.vpi");
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 2);
  EXPECT_EQ(state.isSupportedNames.size(), 2u);
}

TEST_F(PictureLoaderTest, EffectPluginsArePassedOver) {
  files.files["a.vpi"] = MakeVpic(2, 1, 7);
  AddEffectPlugin("fx.vpx");
  AddPictureLoader("vpic.spi", reinterpret_cast<void*>(&GetVpic24));
  AddEffectPlugin("more.vpx");
  std::optional<Picture> picture = Load("a.vpi");
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 2);
}

TEST_F(PictureLoaderTest, ClaimingPluginWithAnotherTagRaisesMinusOneWithItsFileName) {
  files.files["a.bmp"] = MakeBmp(1, 0);
  AddPlugin("odd.spi", reinterpret_cast<void*>(&TagEffect), {{"IsSupported", reinterpret_cast<void*>(&IsAnything)}});
  TException e = LoadError("a.bmp");
  EXPECT_EQ(e.code, -1);
  EXPECT_STREQ(e.info, "odd.spi");
}

// --- Archives ------------------------------------------------------------------------------------

TEST_F(PictureLoaderTest, ArchiveMemberIsExtractedToTheTempFolderAndDecoded) {
  files.files["data\\cg.arc"] = MakeArchive({{"other.bmp", MakeBmp(1, 1)}, {"room.vpi", MakeVpic(2, 2, 9)}});
  AddArchiveHandler();
  AddPictureLoader("vpic.spi", reinterpret_cast<void*>(&GetVpic24));
  std::optional<Picture> picture = Load("data\\cg.arc\\room.vpi");
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 2);
  EXPECT_EQ(picture->pixels[2], 9);

  ASSERT_EQ(state.getFileInfoCalls.size(), 1u);
  EXPECT_EQ(state.getFileInfoCalls[0].buf, "data\\cg.arc");
  EXPECT_EQ(state.getFileInfoCalls[0].len, 0);
  EXPECT_EQ(state.getFileInfoCalls[0].filename, "room.vpi");
  EXPECT_EQ(state.getFileInfoCalls[0].flag, 0u);
  ASSERT_EQ(state.getFileCalls.size(), 1u);
  const GetFileCall& call = state.getFileCalls[0];
  EXPECT_EQ(call.src, "data\\cg.arc");
  EXPECT_EQ(call.position, static_cast<std::int32_t>(FindMember(files.files["data\\cg.arc"], "room.vpi", nullptr)));
  EXPECT_NE(call.position, 4);
  EXPECT_EQ(call.dest, "tmp\\");
  EXPECT_EQ(call.flag, 0u);
  EXPECT_EQ(call.progress, nullptr);
  EXPECT_EQ(call.data, 0);
  EXPECT_EQ(state.getPictureCalls.at(0).buf, "tmp\\room.vpi");
  EXPECT_TRUE(files.Exists("tmp\\room.vpi")); // extracted members stay
}

TEST_F(PictureLoaderTest, BmpMemberIsDecodedWithoutPlugin) {
  files.files["cg.arc"] = MakeArchive({{"a.bmp", MakeBmp(3, 50)}});
  AddArchiveHandler();
  std::optional<Picture> picture = Load("cg.arc\\a.bmp");
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->pixels, Pixels({50, 50, 50, 51, 51, 51, 52, 52, 52}));
}

TEST_F(PictureLoaderTest, MemberOfNestedArchiveIsExtractedTwice) {
  const std::string inner = MakeArchive({{"a.bmp", MakeBmp(1, 77)}});
  files.files["cg\\pack.arc"] = MakeArchive({{"inner.arc", inner}});
  AddArchiveHandler();
  std::optional<Picture> picture = Load("cg\\pack.arc\\inner.arc\\a.bmp");
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->pixels, Pixels({77, 77, 77}));
  ASSERT_EQ(state.getFileInfoCalls.size(), 2u);
  EXPECT_EQ(state.getFileInfoCalls[0].buf, "cg\\pack.arc");
  EXPECT_EQ(state.getFileInfoCalls[0].filename, "inner.arc");
  EXPECT_EQ(state.getFileInfoCalls[1].buf, "tmp\\inner.arc");
  EXPECT_EQ(state.getFileInfoCalls[1].filename, "a.bmp");
  ASSERT_EQ(state.getFileCalls.size(), 2u);
  EXPECT_EQ(state.getFileCalls[1].dest, "tmp\\");
  EXPECT_EQ(files.files["tmp\\inner.arc"], inner);
  EXPECT_TRUE(files.Exists("tmp\\a.bmp"));
}

TEST_F(PictureLoaderTest, GetFileInfoErrorIsPassedOnWithTheMemberName) {
  files.files["cg.arc"] = MakeArchive({{"a.bmp", MakeBmp(1, 0)}});
  AddArchiveHandler();
  state.getFileInfoResult = SUSIE_FILE_READ_ERROR;
  TException e = LoadError("cg.arc\\a.bmp");
  EXPECT_EQ(e.code, 6);
  EXPECT_STREQ(e.info, "a.bmp");
  EXPECT_TRUE(state.getFileCalls.empty());
}

TEST_F(PictureLoaderTest, MissingMemberRaisesThePluginCodeWithTheMemberName) {
  files.files["cg.arc"] = MakeArchive({{"a.bmp", MakeBmp(1, 0)}});
  AddArchiveHandler();
  TException e = LoadError("cg.arc\\b.bmp");
  EXPECT_EQ(e.code, SUSIE_UNKNOWN_FORMAT);
  EXPECT_STREQ(e.info, "b.bmp");
}

TEST_F(PictureLoaderTest, GetFileErrorIsPassedOnWithTheMemberName) {
  const std::string inner = MakeArchive({{"a.bmp", MakeBmp(1, 77)}});
  files.files["pack.arc"] = MakeArchive({{"inner.arc", inner}});
  AddArchiveHandler();
  state.getFileResult = SUSIE_NO_MEMORY;
  TException e = LoadError("pack.arc\\inner.arc\\a.bmp");
  EXPECT_EQ(e.code, 4);
  EXPECT_STREQ(e.info, "inner.arc");
}

TEST_F(PictureLoaderTest, ArchiveHandlerWithoutGetFileRaisesMinusOneWithTheMemberName) {
  files.files["cg.arc"] = MakeArchive({{"a.bmp", MakeBmp(1, 0)}});
  AddPlugin(
      "half.spi", reinterpret_cast<void*>(&TagArchive),
      {{"IsSupported", reinterpret_cast<void*>(&IsVarc)}, {"GetFileInfo", reinterpret_cast<void*>(&GetVarcInfo)}});
  TException e = LoadError("cg.arc\\a.bmp");
  EXPECT_EQ(e.code, -1);
  EXPECT_STREQ(e.info, "a.bmp");
}

TEST_F(PictureLoaderTest, ArchiveNamedWithoutMemberAsksForAnEmptyName) {
  files.files["cg.arc"] = MakeArchive({{"a.bmp", MakeBmp(1, 0)}});
  AddArchiveHandler();
  TException e = LoadError("cg.arc");
  EXPECT_EQ(e.code, SUSIE_UNKNOWN_FORMAT);
  EXPECT_STREQ(e.info, "");
  ASSERT_EQ(state.getFileInfoCalls.size(), 1u);
  EXPECT_EQ(state.getFileInfoCalls[0].filename, "");
}

TEST_F(PictureLoaderTest, ExtractedMemberThatIsMissingRaisesFileNotFoundWithTheWholeName) {
  files.files["cg.arc"] = MakeArchive({{"a.bmp", MakeBmp(1, 0)}});
  files.readOnly.push_back("tmp\\a.bmp"); // the extraction cannot be written
  AddArchiveHandler();
  TException e = LoadError("cg.arc\\a.bmp");
  EXPECT_EQ(e.code, ErrFileNotFound);
  EXPECT_STREQ(e.info, "cg.arc\\a.bmp");
}

// --- Name syntax ---------------------------------------------------------------------------------

TEST_F(PictureLoaderTest, FolderWithoutPeriodIsPartOfAPlainPath) {
  files.files["cg\\a.bmp"] = MakeBmp(1, 5);
  AddArchiveHandler();
  ASSERT_TRUE(Load("cg\\a.bmp").has_value());
  EXPECT_EQ(files.opened.at(0), "cg\\a.bmp");
  EXPECT_TRUE(state.getFileInfoCalls.empty());
}

TEST_F(PictureLoaderTest, FolderWithPeriodIsSplitOffAsAnArchive) {
  files.files["v1.0"] = MakeArchive({{"cg\\a.bmp", MakeBmp(1, 33)}});
  AddArchiveHandler();
  std::optional<Picture> picture = Load("v1.0\\cg\\a.bmp");
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->pixels, Pixels({33, 33, 33}));
  EXPECT_EQ(files.opened.at(0), "v1.0");
  ASSERT_EQ(state.getFileInfoCalls.size(), 1u);
  EXPECT_EQ(state.getFileInfoCalls[0].filename, "cg\\a.bmp");
  EXPECT_TRUE(files.Exists("tmp\\a.bmp"));
}

TEST_F(PictureLoaderTest, FolderWithPeriodThatIsNoArchiveIsNotFound) {
  files.files["v1.0\\cg\\a.bmp"] = MakeBmp(1, 5);
  TException e = LoadError("v1.0\\cg\\a.bmp");
  EXPECT_EQ(e.code, ErrFileNotFound);
  EXPECT_STREQ(e.info, "v1.0\\cg\\a.bmp");
}

// --- Temporary folder ----------------------------------------------------------------------------

TEST(JoinFolderTest, OneBackslashBetweenFolderAndName) {
  EXPECT_EQ(JoinFolder("tmp\\", "a.bmp"), "tmp\\a.bmp");
  EXPECT_EQ(JoinFolder("tmp", "a.bmp"), "tmp\\a.bmp");
  EXPECT_EQ(JoinFolder("C:\\TEMP\\VELMO\\", "a.bmp"), "C:\\TEMP\\VELMO\\a.bmp");
}

TEST(JoinFolderTest, TrailByteOfTwoByteCharacterIsNoBackslash) {
  // 表 is 0x95 0x5C in Shift-JIS.
  EXPECT_EQ(JoinFolder("\x95\x5C", "a.bmp"), "\x95\x5C\\a.bmp");
  EXPECT_EQ(JoinFolder("\x95\x5C\\", "a.bmp"), "\x95\x5C\\a.bmp");
}

TEST(PictureSourceTest, UsesItsFilesPluginsAndTempFolder) {
  MemoryFileSystem files;
  HeadlessModules modules;
  TListPlugin plugins(modules);
  FakeState state;
  state.files = &files;
  fake = &state;
  files.files["cg.arc"] = MakeArchive({{"a.bmp", MakeBmp(2, 20)}});
  HeadlessModules::Module& module = modules.modules["varc.spi"];
  module.exports["GetPluginInfo"] = reinterpret_cast<void*>(&TagArchive);
  module.exports["IsSupported"] = reinterpret_cast<void*>(&IsVarc);
  module.exports["GetFileInfo"] = reinterpret_cast<void*>(&GetVarcInfo);
  module.exports["GetFile"] = reinterpret_cast<void*>(&GetVarcFile);
  plugins.Add("system", "varc.spi");
  const PictureSource source{files, modules, plugins, "work\\"};
  std::optional<Picture> picture = source.Load("cg.arc\\a.bmp");
  fake = nullptr;
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 2);
  EXPECT_TRUE(files.Exists("work\\a.bmp"));
}

} // namespace
} // namespace velmo
