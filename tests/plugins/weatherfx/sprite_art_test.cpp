// The particle plug-in's sprite sheets: their sizes and bit depths, masks that are white around
// each sprite and black under it, the BMP files the build writes, and the decoder's refusals.
#include "plugins/weatherfx/sprite_art.h"
#include "plugins/weatherfx/sprite_sheet.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmo {
namespace {

using weatherfx::DecodePackedDib;
using weatherfx::DrawSpriteSheet;
using weatherfx::SpriteSheet;

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

bool IsBlack(const SpriteSheet& s, int x, int y) {
  const std::uint8_t* p = &s.pixels[static_cast<std::size_t>((y * s.width + x) * 3)];
  return p[0] == 0 && p[1] == 0 && p[2] == 0;
}
bool IsWhite(const SpriteSheet& s, int x, int y) {
  const std::uint8_t* p = &s.pixels[static_cast<std::size_t>((y * s.width + x) * 3)];
  return p[0] == 255 && p[1] == 255 && p[2] == 255;
}

TEST(SpriteArtTest, SheetsHaveTheirSizesAndBitDepths) {
  const struct {
    int id, width, height, bits;
    const char* file;
  } sheets[] = {{1001, 48, 128, 8, "petals.bmp"},
                {1002, 48, 128, 8, "leaves.bmp"},
                {107, 64, 16, 8, "glow.bmp"},
                {1000, 8, 8, 4, "snow.bmp"},
                {108, 2, 100, 8, "rain.bmp"}};
  for (const auto& s : sheets) {
    const std::vector<std::uint8_t> dib = DrawSpriteSheet(s.id);
    ASSERT_GE(dib.size(), 40u) << s.id;
    EXPECT_EQ(U32(dib, 4), static_cast<std::uint32_t>(s.width)) << s.id;
    EXPECT_EQ(U32(dib, 8), static_cast<std::uint32_t>(s.height)) << s.id;
    EXPECT_EQ(dib[14], s.bits) << s.id;
    const SpriteSheet sheet = DecodePackedDib(dib);
    EXPECT_EQ(sheet.width, s.width) << s.id;
    EXPECT_EQ(sheet.height, s.height) << s.id;
    EXPECT_STREQ(weatherfx::SheetFileName(s.id), s.file);

    const std::vector<std::uint8_t> file = weatherfx::BmpFileOf(dib);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(U32(file, 2), file.size());
    EXPECT_EQ(U32(file, 10), 14u + 40u + (1u << s.bits) * 4u) << s.id;
  }
  EXPECT_TRUE(DrawSpriteSheet(1003).empty());
  EXPECT_EQ(weatherfx::SheetFileName(1003), nullptr);
}

// A picture and its mask side by side: the mask black exactly where the picture is not.
int MaskMismatches(const SpriteSheet& s, int pictureX, int maskX, int top, int size, int& inside) {
  int wrong = 0;
  for (int y = top; y < top + size; ++y) {
    for (int x = 0; x < size; ++x) {
      const bool under = !IsBlack(s, pictureX + x, y);
      inside += under;
      if (under ? !IsBlack(s, maskX + x, y) : !IsWhite(s, maskX + x, y)) ++wrong;
    }
  }
  return wrong;
}

TEST(SpriteArtTest, MasksAreWhiteAroundEachSpriteAndBlackUnderIt) {
  for (int id : {1001, 1002}) {
    const SpriteSheet sheet = DecodePackedDib(DrawSpriteSheet(id));
    for (int v = 0; v < 8; ++v) {
      int large = 0, small = 0;
      EXPECT_EQ(MaskMismatches(sheet, 0, 16, 16 * v, 16, large), 0) << id << " large " << v;
      EXPECT_EQ(MaskMismatches(sheet, 32, 40, 8 * v, 8, small), 0) << id << " small " << v;
      EXPECT_GT(large, 40) << id << " large " << v;
      EXPECT_GT(small, 8) << id << " small " << v;
    }
  }
  const SpriteSheet rain = DecodePackedDib(DrawSpriteSheet(108));
  int inside = 0;
  for (int y = 0; y < 100; ++y) {
    const bool under = !IsBlack(rain, 0, y);
    inside += under;
    EXPECT_TRUE(under ? IsBlack(rain, 1, y) : IsWhite(rain, 1, y)) << y;
  }
  EXPECT_GT(inside, 50);
}

TEST(SpriteArtTest, TheDecoderRefusesWhatIsNoSheet) {
  const std::vector<std::uint8_t> good = DrawSpriteSheet(1001);
  const auto changed = [&](std::size_t at, std::uint8_t value) {
    std::vector<std::uint8_t> bytes = good;
    bytes[at] = value;
    return bytes;
  };
  const struct {
    const char* what;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {"nothing", {}},
      {"a header only", std::vector<std::uint8_t>(good.begin(), good.begin() + 40)},
      {"rows cut short", std::vector<std::uint8_t>(good.begin(), good.end() - 1)},
      {"no width", changed(4, 0)},
      {"16 bits a pixel", changed(14, 16)},
      {"compressed", changed(16, 1)},
      {"two planes", changed(12, 2)},
      {"a palette larger than 256", changed(33, 2)},
  };
  for (const auto& c : cases) EXPECT_TRUE(DecodePackedDib(c.bytes).Empty()) << c.what;
}

} // namespace
} // namespace velmo
