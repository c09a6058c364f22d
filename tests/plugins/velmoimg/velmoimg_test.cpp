// The picture loader plug-in velmoimg: the files it claims, what every format decodes to (read
// back with the engine's own DIB decoder), the hostile files it refuses and with which code, its
// texts and GetPicture's inputs; and the build compiled in as velmo-run has it, called by
// LoadPicture through the engine's plug-in list. The pictures are written here: PNG, JPEG and
// TGA with stb_image_write (Debian's libstb-dev, the encoder beside the decoder), GIF by hand.
#include "plugins/velmoimg/picture_decoder.h"
#include "plugins/velmoimg/velmoimg_exports.h"

#include "engine/base/errors.h"
#include "engine/graphics/bmp_decoder.h"
#include "engine/graphics/picture_loader.h"
#include "engine/platform/headless/headless_platform.h"
#include "engine/plugin/plugin_list.h"
#include "plugins/native/native_plugins.h"

#include <gtest/gtest.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace velmo {
namespace {

namespace img = velmoimg;

// width x height pixels of `channels` bytes (1 grey, 2 grey and alpha, 3 RGB, 4 RGBA), top row first.
struct Pixels {
  int width, height, channels;
  std::vector<std::uint8_t> bytes;
};

void Append(void* file, void* data, int size) {
  static_cast<std::string*>(file)->append(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

std::string PngFile(const Pixels& p) {
  std::string file;
  stbi_write_png_to_func(Append, &file, p.width, p.height, p.channels, p.bytes.data(), p.width * p.channels);
  return file;
}

std::string JpegFile(const Pixels& p, int quality) {
  std::string file;
  stbi_write_jpg_to_func(Append, &file, p.width, p.height, p.channels, p.bytes.data(), quality);
  return file;
}

std::string TgaFile(const Pixels& p, bool rle) {
  std::string file;
  stbi_write_tga_with_rle = rle ? 1 : 0;
  stbi_write_tga_to_func(Append, &file, p.width, p.height, p.channels, p.bytes.data());
  return file;
}

// A GIF file of `indices` into a global table of 4 colours (R, G, B, missing ones black), with
// a transparent index unless it is -1. The LZW codes (code size 2) are all of 3 bits: a clear
// code (4) before every index, then the end code (5), packed from the low bits up.
std::string GifFile(int width, int height, std::vector<std::uint8_t> palette, const std::vector<std::uint8_t>& indices,
                    int transparent) {
  const std::string size{static_cast<char>(width), 0, static_cast<char>(height), 0};
  palette.resize(12);
  std::string file = "GIF89a" + size + std::string("\xF1\0\0", 3) + std::string(palette.begin(), palette.end());
  if (transparent >= 0) file += std::string("\x21\xF9\x04\x01\0\0", 6) + static_cast<char>(transparent) + '\0';
  std::string data;
  std::uint32_t bits = 0;
  int count = 0;
  for (std::size_t i = 0; i <= 2 * indices.size(); ++i) {
    bits |= (i == 2 * indices.size() ? 5u : i % 2 == 0 ? 4u : indices[i / 2]) << count;
    for (count += 3; count >= 8; count -= 8, bits >>= 8) data += static_cast<char>(bits & 0xFF);
  }
  if (count > 0) data += static_cast<char>(bits);
  return file + std::string("\x2C\0\0\0\0", 5) + size + std::string("\0\x02", 2) + static_cast<char>(data.size()) +
         data + std::string("\0\x3B", 2);
}

std::span<const std::uint8_t> Bytes(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// 3 x 2 pixels of R, G, B, A, and the same as the engine keeps them (B, G, R): alpha does not count.
const Pixels Rgba{
    3, 2, 4, {255, 0, 0, 255, 0, 255, 0, 0, 0, 0, 255, 128, 10, 20, 30, 255, 200, 150, 100, 1, 7, 8, 9, 0}};
const std::vector<std::uint8_t> Bgr{0, 0, 255, 0, 255, 0, 255, 0, 0, 30, 20, 10, 100, 150, 200, 9, 8, 7};

// Rgba with `channels` channels (1: grey = R, 2: grey and alpha, 3: RGB).
Pixels Channels(int channels) {
  Pixels p{3, 2, channels, {}};
  for (std::size_t i = 0; i < Rgba.bytes.size(); i += 4) {
    p.bytes.push_back(Rgba.bytes[i]);
    if (channels == 2) p.bytes.push_back(Rgba.bytes[i + 3]);
    if (channels == 3) p.bytes.insert(p.bytes.end(), {Rgba.bytes[i + 1], Rgba.bytes[i + 2]});
  }
  return p;
}

std::vector<std::uint8_t> GreyBgr() {
  std::vector<std::uint8_t> bgr;
  for (std::size_t i = 0; i < Rgba.bytes.size(); i += 4) bgr.insert(bgr.end(), 3, Rgba.bytes[i]);
  return bgr;
}

// A PNG file with an RGB header of this size and no pixel data.
std::string PngHeaderOnly(std::uint32_t width, std::uint32_t height) {
  std::string size;
  for (std::uint32_t v : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8) size += static_cast<char>(v >> shift & 0xFF);
  return std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16) + size + std::string("\x08\x02\0\0\0\0\0\0\0", 9) +
         std::string("\0\0\0\0IEND\0\0\0\0", 12);
}

// A TGA header of an image type, pixel bits, width and height; bytes 1 on give a colour map.
std::string Tga(int type, int bits, int width, const std::string& map = std::string(6, '\0')) {
  std::string h(18, '\0');
  h.replace(1, map.size(), map);
  h[2] = static_cast<char>(type);
  h[12] = static_cast<char>(width & 0xFF);
  h[13] = static_cast<char>(width >> 8);
  h[14] = h[12];
  h[15] = h[13];
  h[16] = static_cast<char>(bits);
  return h;
}

TEST(VelmoimgTest, FilesAreClaimedByTheirSignaturesAndTgaFilesByTheirNameToo) {
  const struct {
    const char* name;
    std::string start;
    img::Format claimed;
  } cases[] = {
      {"a.dat", "\x89PNG\r\n\x1A\n", img::Format::Png},
      {"a.png", "\x89PNG\r\n\x1A", img::Format::None},
      {"a.jpg", "\xFF\xD8\xFF", img::Format::Jpeg},
      {"a.jpg", "\xFF\xD8", img::Format::None},
      {"a.gif", "GIF87a", img::Format::Gif},
      {"a.gif", "GIF89a", img::Format::Gif},
      {"a.gif", "GIF88a", img::Format::None},
      {"a.bmp", "BM", img::Format::None},
      {"cg\\A.TGA", Tga(2, 24, 3), img::Format::Tga},
      {"a.bin", Tga(2, 24, 3), img::Format::None},
      {"a.tga", Tga(10, 32, 0), img::Format::None},
      {"a.tga", Tga(5, 24, 3), img::Format::None},
      {"a.tga", Tga(2, 12, 3), img::Format::None},
      {"a.tga", Tga(1, 8, 3), img::Format::None},
      {"a.tga", Tga(1, 8, 3, std::string("\x01\x01\0\0\x02\0\x18", 7)), img::Format::Tga},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> header(SUSIE_HEADER_SIZE);
    std::memcpy(header.data(), c.start.data(), c.start.size());
    EXPECT_EQ(img::IsSupported(c.name, header.data()), c.claimed != img::Format::None ? 1 : 0) << c.name;
  }
  EXPECT_EQ(img::IsSupported("a.png", reinterpret_cast<void*>(std::uintptr_t{0x1234})), 0); // a file handle
}

TEST(VelmoimgTest, EveryFormatBecomesA24BitBottomUpDibThatTheEngineReads) {
  const std::vector<std::uint8_t> gifBgr{0, 0, 255, 0, 255, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255};
  const struct {
    const char* what;
    std::string file;
    std::vector<std::uint8_t> bgr;
    int tolerance;
  } cases[] = {
      {"PNG RGB", PngFile(Channels(3)), Bgr, 0},
      {"PNG RGBA", PngFile(Rgba), Bgr, 0},
      {"PNG grey", PngFile(Channels(1)), GreyBgr(), 0},
      {"PNG grey and alpha", PngFile(Channels(2)), GreyBgr(), 0},
      {"TGA", TgaFile(Channels(3), false), Bgr, 0},
      {"TGA RLE with alpha", TgaFile(Rgba, true), Bgr, 0},
      {"GIF, transparent index 3", GifFile(3, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255}, {0, 1, 3, 3, 2, 0}, 3), gifBgr, 0},
      {"JPEG", JpegFile(Channels(3), 100), Bgr, 3},
  };
  std::vector<std::uint8_t> header{40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 24, 0, 0, 0};
  header.resize(img::InfoSize);
  for (const auto& c : cases) {
    img::Dib dib;
    ASSERT_EQ(img::DecodeToDib(Bytes(c.file), dib), SUSIE_OK) << c.what;
    EXPECT_EQ(dib.info, header) << c.what;
    ASSERT_EQ(dib.bits.size(), 24u) << c.what; // two rows of 9 bytes padded to 12
    EXPECT_EQ(dib.bits[9] | dib.bits[10] | dib.bits[11] | dib.bits[21] | dib.bits[22] | dib.bits[23], 0) << c.what;
    const std::optional<Picture> picture = DecodeDib(dib.info, dib.bits);
    ASSERT_TRUE(picture.has_value()) << c.what;
    for (std::size_t i = 0; i < c.bgr.size(); ++i)
      EXPECT_NEAR(picture->pixels[i], c.bgr[i], c.tolerance) << c.what << " byte " << i;
  }
}

TEST(VelmoimgTest, HostileFilesAreRefusedWithTheirSusieCode) {
  const std::string png = PngFile(Rgba), jpeg = JpegFile(Channels(3), 90);
  const std::string tga = TgaFile(Channels(3), false), rle = TgaFile(Rgba, true);
  const std::string gif = GifFile(3, 2, {1, 2, 3}, {0, 0, 0, 0, 0, 0}, -1);
  const struct {
    const char* what;
    std::string file;
    int code;
  } cases[] = {
      {"empty", "", SUSIE_UNKNOWN_FORMAT},
      {"text", "no picture at all", SUSIE_UNKNOWN_FORMAT},
      {"PNG cut in its data", png.substr(0, png.size() - 20), SUSIE_BROKEN_DATA},
      {"PNG chunk past the end", std::string(png).replace(8, 4, "\x7F\xFF\xFF\xFF"), SUSIE_BROKEN_DATA},
      {"PNG 0 wide", PngHeaderOnly(0, 5), SUSIE_BROKEN_DATA},
      {"PNG 16,385 wide", PngHeaderOnly(16385, 1), SUSIE_NO_MEMORY},
      {"PNG 16,384 x 4,097", PngHeaderOnly(16384, 4097), SUSIE_NO_MEMORY},
      {"JPEG cut short", jpeg.substr(0, jpeg.size() / 2), SUSIE_BROKEN_DATA},
      {"JPEG table of 272 codes", "\xFF\xD8\xFF\xC4\x01\x13" + std::string(1, '\0') + std::string(16, '\x11'),
       SUSIE_BROKEN_DATA},
      {"GIF cut in its data", gif.substr(0, gif.size() - 4), SUSIE_BROKEN_DATA},
      {"TGA without its last pixel", tga.substr(0, tga.size() - 3), SUSIE_BROKEN_DATA},
      {"TGA RLE cut in its last packet", rle.substr(0, rle.size() - 5), SUSIE_BROKEN_DATA},
      {"TGA RLE of 65,535 x 65,535", Tga(10, 24, 65535) + std::string(3000, '\xFF'), SUSIE_BROKEN_DATA},
  };
  for (const auto& c : cases) {
    img::Dib dib;
    EXPECT_EQ(img::DecodeToDib(Bytes(c.file), dib), c.code) << c.what;
  }
}

TEST(VelmoimgTest, PluginInfoGivesTheTagTheDescriptionAndAFilterPerFormat) {
  const std::vector<std::string> texts = {"00IN",
                                          img::Description,
                                          "*.png",
                                          "PNG ファイル",
                                          "*.jpg;*.jpeg;*.jpe;*.jfif",
                                          "JPEG ファイル",
                                          "*.gif",
                                          "GIF ファイル",
                                          "*.tga",
                                          "TGA ファイル",
                                          ""};
  for (int number = -1; number <= 10; ++number) {
    char buffer[300] = {};
    const std::string text = number < 0 ? "" : texts[static_cast<std::size_t>(number)];
    EXPECT_EQ(img::GetPluginInfo(number, buffer, sizeof buffer), static_cast<int>(text.size())) << number;
    EXPECT_EQ(std::string(buffer), text) << number;
  }
  char cut[3];
  EXPECT_EQ(img::GetPluginInfo(2, cut, 3), 2);
  EXPECT_STREQ(cut, "*.");
}

// The plug-in as velmo-run has it: registered under its DLL's name, loaded by the engine's
// plug-in list, reading files through the reader it is given.
class VelmoimgNativeTest : public ::testing::Test {
protected:
  void SetUp() override {
    files.files["system\\velmoimg.spi"] = "";
    for (const plugin::NativePluginExport& e : FindNativePlugin("VelmoImg.SPI"))
      modules.modules["velmoimg.spi"].exports[e.name] = e.address;
    ASSERT_TRUE(plugins.LoadAll(files, "system").empty());
    img::SetFileReader([this](std::string_view path, std::vector<std::uint8_t>& bytes) {
      auto it = files.files.find(path);
      if (it == files.files.end()) return false;
      bytes.assign(it->second.begin(), it->second.end());
      return true;
    });
  }
  void TearDown() override { img::SetFileReader(nullptr); }

  MemoryFileSystem files;
  HeadlessModules modules;
  TListPlugin plugins{modules};
};

TEST_F(VelmoimgNativeTest, GetPictureReadsAFileFromAnOffsetOrMemory) {
  const std::string png = PngFile(Rgba);
  files.files["pack.dat"] = "junk" + png;
  auto getPicture = reinterpret_cast<SusieGetPictureFunction>(modules.Export(plugins.Node(0).module, "GetPicture"));
  const struct {
    const char* buf;
    std::int32_t len;
    std::uint32_t flag;
    int code;
  } cases[] = {
      {"pack.dat", 4, 0, SUSIE_OK},
      {"pack.dat", 0, 0, SUSIE_UNKNOWN_FORMAT},
      {"pack.dat", static_cast<std::int32_t>(png.size() + 5), 0, SUSIE_FILE_READ_ERROR},
      {"none.dat", 0, 0, SUSIE_FILE_READ_ERROR},
      {png.data(), static_cast<std::int32_t>(png.size()), 1, SUSIE_OK},
      {png.data(), -1, 1, SUSIE_MEMORY_ERROR},
      {"pack.dat", 4, 2, SUSIE_NOT_IMPLEMENTED},
  };
  for (const auto& c : cases) {
    void* info = &info;
    void* bits = &bits;
    EXPECT_EQ(getPicture(c.buf, c.len, c.flag, &info, &bits, nullptr, 0), c.code) << c.len << " " << c.flag;
    ASSERT_EQ(info != nullptr && bits != nullptr, c.code == SUSIE_OK) << c.len << " " << c.flag;
    if (info == nullptr) continue;
    const std::optional<Picture> picture = DecodeDib(std::span(static_cast<const std::uint8_t*>(info), img::InfoSize),
                                                     std::span(static_cast<const std::uint8_t*>(bits), 24));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->pixels, Bgr);
    std::free(info);
    std::free(bits);
  }
}

TEST_F(VelmoimgNativeTest, TheEngineLoadsPicturesThroughThePlugin) {
  EXPECT_STREQ(plugins.Node(0).tag, "00IN");
  files.files["cg\\a.png"] = PngFile(Rgba);
  files.files["cg\\b.tga"] = TgaFile(Channels(3), true);
  files.files["cg\\broken.gif"] = "GIF89a";
  for (const char* name : {"cg\\a.png", "cg\\b.tga"}) {
    const std::optional<Picture> picture = LoadPicture(files, modules, plugins, "tmp\\", name);
    ASSERT_TRUE(picture.has_value()) << name;
    EXPECT_EQ(picture->pixels, Bgr) << name;
  }
  try {
    LoadPicture(files, modules, plugins, "tmp\\", "cg\\broken.gif");
    ADD_FAILURE() << "no error";
  } catch (const TException& e) {
    EXPECT_EQ(e.code, SUSIE_BROKEN_DATA);
    EXPECT_STREQ(e.info, "cg\\broken.gif");
  }
}

} // namespace
} // namespace velmo
