#include "engine/graphics/bmp_decoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace velmo {
namespace {

using ByteVector = std::vector<std::uint8_t>;
using Colors = std::vector<std::uint32_t>;

constexpr std::uint32_t Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6;

void Put16(ByteVector& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(ByteVector& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A colour 0xRRGGBB as the three bytes B, G, R.
void PutBgr(ByteVector& out, std::uint32_t c) {
  out.push_back(static_cast<std::uint8_t>(c));
  out.push_back(static_cast<std::uint8_t>(c >> 8));
  out.push_back(static_cast<std::uint8_t>(c >> 16));
}

// The parts of a picture as a writer lays them out; InfoBlock and BmpFile turn it into bytes.
struct Dib {
  std::uint32_t headerSize = 40;
  std::int32_t width = 1;
  std::int32_t height = 1;
  std::uint16_t bitCount = 24;
  std::uint32_t compression = Rgb;
  std::uint32_t colorsUsed = 0;
  std::vector<std::uint32_t> masks; // after a 40-byte header, or inside a larger one at byte 40
  ByteVector palette;               // entries as stored: B, G, R (and a fourth byte unless core)
  ByteVector bits;
};

Dib MakeDib(std::int32_t width, std::int32_t height, std::uint16_t bitCount = 24, std::uint32_t compression = Rgb) {
  Dib d;
  d.width = width;
  d.height = height;
  d.bitCount = bitCount;
  d.compression = compression;
  return d;
}

ByteVector InfoBlock(const Dib& d) {
  ByteVector out;
  Put32(out, d.headerSize);
  if (d.headerSize == 12) {
    Put16(out, static_cast<std::uint16_t>(d.width));
    Put16(out, static_cast<std::uint16_t>(d.height));
    Put16(out, 1);
    Put16(out, d.bitCount);
  } else {
    Put32(out, static_cast<std::uint32_t>(d.width));
    Put32(out, static_cast<std::uint32_t>(d.height));
    Put16(out, 1);
    Put16(out, d.bitCount);
    Put32(out, d.compression);
    Put32(out, 0);    // image size: not needed
    Put32(out, 2835); // 72 dpi
    Put32(out, 2835);
    Put32(out, d.colorsUsed);
    Put32(out, 0);
    if (d.headerSize > 40) {
      for (std::uint32_t mask : d.masks) Put32(out, mask);
      out.resize(d.headerSize, 0);
    } else {
      for (std::uint32_t mask : d.masks) Put32(out, mask);
    }
  }
  out.insert(out.end(), d.palette.begin(), d.palette.end());
  return out;
}

ByteVector BmpFile(const Dib& d) {
  const ByteVector info = InfoBlock(d);
  ByteVector out = {'B', 'M'};
  Put32(out, static_cast<std::uint32_t>(14 + info.size() + d.bits.size()));
  Put32(out, 0);
  Put32(out, static_cast<std::uint32_t>(14 + info.size()));
  out.insert(out.end(), info.begin(), info.end());
  out.insert(out.end(), d.bits.begin(), d.bits.end());
  return out;
}

// Rows in stored order, each padded to 4 bytes with 0xEE so that padding read as pixels shows.
ByteVector PaddedRows(const std::vector<ByteVector>& rows) {
  ByteVector out;
  for (const ByteVector& row : rows) {
    out.insert(out.end(), row.begin(), row.end());
    out.resize(out.size() + (4 - row.size() % 4) % 4, 0xEE);
  }
  return out;
}

// Palette entries from 0xRRGGBB colours, 4 bytes each (3 for a core header).
ByteVector Palette(const Colors& colors, bool core = false) {
  ByteVector out;
  for (std::uint32_t c : colors) {
    PutBgr(out, c);
    if (!core) out.push_back(0x77);
  }
  return out;
}

// Every pixel as 0xRRGGBB, rows top to bottom.
Colors ColorsOf(const Picture& p) {
  Colors out;
  for (int y = 0; y < p.height; ++y) {
    const auto row = p.Row(y);
    EXPECT_EQ(row.size(), static_cast<std::size_t>(p.width) * 3);
    for (int x = 0; x < p.width; ++x) out.push_back(row[x * 3] | row[x * 3 + 1] << 8 | row[x * 3 + 2] << 16);
  }
  return out;
}

Colors Decode(const Dib& d) {
  const auto p = DecodeBmp(BmpFile(d));
  if (!p) {
    ADD_FAILURE() << "not decoded";
    return {};
  }
  EXPECT_EQ(p->pixels.size(), static_cast<std::size_t>(p->width) * p->height * 3);
  return ColorsOf(*p);
}

std::uint32_t TestColor(int x, int y) { return static_cast<std::uint32_t>(0x102030 + x * 0x010203 + y * 0x300501); }

ByteVector TrueColorRow(int width, int y) {
  ByteVector row;
  for (int x = 0; x < width; ++x) PutBgr(row, TestColor(x, y));
  return row;
}

Colors TestColors(int width, int height) {
  Colors out;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) out.push_back(TestColor(x, y));
  }
  return out;
}

TEST(BmpTrueColor, BottomUpRowsSkipTheirPadding) {
  for (int width : {1, 2, 3, 5}) {
    Dib d = MakeDib(width, 2);
    d.bits = PaddedRows({TrueColorRow(width, 1), TrueColorRow(width, 0)});
    const auto p = DecodeBmp(BmpFile(d));
    ASSERT_TRUE(p) << width;
    EXPECT_EQ(p->width, width);
    EXPECT_EQ(p->height, 2);
    EXPECT_EQ(ColorsOf(*p), TestColors(width, 2)) << width;
  }
}

TEST(BmpTrueColor, NegativeHeightMeansTopDownRows) {
  for (int width : {1, 2, 3, 5}) {
    Dib d = MakeDib(width, -3);
    d.bits = PaddedRows({TrueColorRow(width, 0), TrueColorRow(width, 1), TrueColorRow(width, 2)});
    const auto p = DecodeBmp(BmpFile(d));
    ASSERT_TRUE(p) << width;
    EXPECT_EQ(p->height, 3);
    EXPECT_EQ(ColorsOf(*p), TestColors(width, 3)) << width;
  }
}

TEST(BmpTrueColor, ThirtyTwoBitsAreBgrAndAnIgnoredByte) {
  Dib d = MakeDib(2, 1, 32);
  d.bits = {0x01, 0x02, 0x03, 0xFF, 0x10, 0x20, 0x30, 0x80};
  EXPECT_EQ(Decode(d), (Colors{0x030201, 0x302010}));
}

TEST(BmpTrueColor, LastRowMayLackOnlyItsPadding) {
  Dib d = MakeDib(1, 2);
  d.bits = PaddedRows({TrueColorRow(1, 1), TrueColorRow(1, 0)});
  d.bits.pop_back(); // the last row's padding byte
  EXPECT_EQ(Decode(d), TestColors(1, 2));
  d.bits.pop_back(); // and one of its pixel bytes
  EXPECT_FALSE(DecodeBmp(BmpFile(d)));
}

TEST(BmpSixteenBits, UncompressedIsFiveFiveFiveWidenedByRepeatingBits) {
  Dib d = MakeDib(7, 1, 16);
  for (std::uint32_t v : {0x7FFFu, 0x7C00u, 0x03E0u, 0x001Fu, 0x0001u, 0x0010u, 0x8000u}) Put16(d.bits, v);
  d.bits.resize(16, 0);
  EXPECT_EQ(Decode(d), (Colors{0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x000008, 0x000084, 0x000000}));
}

TEST(BmpSixteenBits, BitFieldsAfterTheHeaderGiveFiveSixFive) {
  Dib d = MakeDib(6, 1, 16, BitFields);
  d.masks = {0xF800, 0x07E0, 0x001F};
  for (std::uint32_t v : {0xF800u, 0x07E0u, 0x0020u, 0x0400u, 0x001Fu, 0x0841u}) Put16(d.bits, v);
  EXPECT_EQ(Decode(d), (Colors{0xFF0000, 0x00FF00, 0x000400, 0x008200, 0x0000FF, 0x080808}));
}

TEST(BmpBitFields, WideChannelsKeepTheirTopEightBits) {
  // 2-10-10-10: red in bits 20-29, green in 10-19, blue in 0-9.
  Dib d = MakeDib(2, 1, 32, BitFields);
  d.masks = {0x3FF00000, 0x000FFC00, 0x3FF};
  Put32(d.bits, 0x3FF00000 | 0x200 << 10 | 0x001);
  Put32(d.bits, 0xC0000000 | 0x004 << 20 | 0x3FC);
  EXPECT_EQ(Decode(d), (Colors{0xFF8000, 0x0100FF}));
}

TEST(BmpBitFields, NarrowChannelsRepeatTheirBitsAndAZeroMaskReadsZero) {
  Dib d = MakeDib(2, 1, 32, BitFields);
  d.masks = {0xE0000000, 0x1, 0};
  Put32(d.bits, 0xA00000FF); // red 101 -> 10110110, green 1 -> 255, blue has no bits
  Put32(d.bits, 0x00000000);
  EXPECT_EQ(Decode(d), (Colors{0xB6FF00, 0x000000}));
}

TEST(BmpBitFields, AlphaMaskAfterTheHeaderIsSkipped) {
  Dib d = MakeDib(1, 1, 32, AlphaBitFields);
  d.masks = {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF};
  Put32(d.bits, 0x11223344);
  EXPECT_EQ(Decode(d), (Colors{0x332211}));
}

TEST(BmpBitFields, MasksThatAreNotOneRunInsideThePixelAreRefused) {
  for (std::uint32_t bad : {0xF00Fu, 0x10000u, 0x18000u}) {
    Dib d = MakeDib(1, 1, 16, BitFields);
    d.masks = {bad, 0x07E0, 0x001F};
    d.bits = {0, 0, 0, 0};
    EXPECT_FALSE(DecodeBmp(BmpFile(d))) << std::hex << bad;
  }
}

TEST(BmpBitFields, OnlySixteenAndThirtyTwoBitsTakeMasks) {
  for (std::uint16_t bits : {8, 24}) {
    Dib d = MakeDib(1, 1, bits, BitFields);
    d.masks = {0xFF0000, 0xFF00, 0xFF};
    d.palette = Palette(Colors(256, 0));
    d.bits = {0, 0, 0, 0};
    EXPECT_FALSE(DecodeBmp(BmpFile(d))) << bits;
  }
}

TEST(BmpPalette, EightBitsLookUpEntriesAndIndicesPastTheTableAreBlack) {
  Dib d = MakeDib(5, 1, 8);
  d.colorsUsed = 3;
  d.palette = Palette({0x112233, 0x445566, 0x778899});
  d.bits = PaddedRows({{2, 0, 1, 3, 255}});
  EXPECT_EQ(Decode(d), (Colors{0x778899, 0x112233, 0x445566, 0x000000, 0x000000}));
}

TEST(BmpPalette, ZeroColorsUsedMeansAFullTable) {
  Colors table(256);
  for (std::uint32_t i = 0; i < 256; ++i) table[i] = i * 0x010101 ^ 0x00FF00;
  Dib d = MakeDib(3, 1, 8);
  d.palette = Palette(table);
  d.bits = PaddedRows({{0, 128, 255}});
  EXPECT_EQ(Decode(d), (Colors{table[0], table[128], table[255]}));
}

TEST(BmpPalette, FourBitsReadTheHighNibbleFirst) {
  Dib d = MakeDib(3, 2, 4);
  d.colorsUsed = 16;
  Colors table(16);
  for (std::uint32_t i = 0; i < 16; ++i) table[i] = i * 0x100001;
  d.palette = Palette(table);
  d.bits = PaddedRows({{0xAB, 0xCF}, {0x12, 0x3F}}); // bottom row first; the last nibble is unused
  EXPECT_EQ(Decode(d), (Colors{table[1], table[2], table[3], table[0xA], table[0xB], table[0xC]}));
}

TEST(BmpPalette, OneBitReadsTheMostSignificantBitFirst) {
  Dib d = MakeDib(9, 1, 1);
  d.colorsUsed = 2;
  d.palette = Palette({0x000010, 0xFFFFF0});
  d.bits = PaddedRows({{0b10110001, 0b1'1111111}});
  const std::uint32_t o = 0x000010, i = 0xFFFFF0;
  EXPECT_EQ(Decode(d), (Colors{i, o, i, i, o, o, o, i, i}));
}

TEST(BmpPalette, MoreEntriesThanIndicesAreAllowedAndUnused) {
  Dib d = MakeDib(2, 1, 1);
  d.colorsUsed = 4;
  d.palette = Palette({0x010101, 0x020202, 0x030303, 0x040404});
  d.bits = {0b01000000, 0, 0, 0};
  EXPECT_EQ(Decode(d), (Colors{0x010101, 0x020202}));
}

TEST(BmpHeaders, CoreHeaderHasThreeBytePaletteEntriesAndBottomUpRows) {
  Dib d = MakeDib(3, 2, 4);
  d.headerSize = 12;
  Colors table(16);
  for (std::uint32_t i = 0; i < 16; ++i) table[i] = 0xABCD00 + i;
  d.palette = Palette(table, true);
  d.bits = PaddedRows({{0x01, 0x20}, {0xEF, 0xD0}});
  EXPECT_EQ(Decode(d), (Colors{table[0xE], table[0xF], table[0xD], table[0], table[1], table[2]}));
}

TEST(BmpHeaders, CoreHeaderTwentyFourBits) {
  Dib d = MakeDib(3, 2);
  d.headerSize = 12;
  d.bits = PaddedRows({TrueColorRow(3, 1), TrueColorRow(3, 0)});
  EXPECT_EQ(Decode(d), TestColors(3, 2));
}

TEST(BmpHeaders, V5HeaderCarriesItsOwnMasks) {
  Dib d = MakeDib(2, -1, 16, BitFields);
  d.headerSize = 124;
  d.masks = {0xF800, 0x07E0, 0x001F, 0};
  Put16(d.bits, 0xF81F);
  Put16(d.bits, 0x07E0);
  EXPECT_EQ(Decode(d), (Colors{0xFF00FF, 0x00FF00}));
}

TEST(BmpHeaders, V4HeaderWithoutBitFieldsIgnoresItsMasks) {
  Dib d = MakeDib(1, 1, 16);
  d.headerSize = 108;
  d.masks = {0xF800, 0x07E0, 0x001F};
  Put16(d.bits, 0x7C00);
  Put16(d.bits, 0);
  EXPECT_EQ(Decode(d), (Colors{0xFF0000}));
}

TEST(BmpHeaders, UnknownSizesBitCountsAndCompressionsAreRefused) {
  for (std::uint32_t size : {0u, 11u, 16u, 64u, 200u}) {
    Dib d = MakeDib(1, 1);
    d.headerSize = size;
    d.bits = {1, 2, 3, 0};
    EXPECT_FALSE(DecodeBmp(BmpFile(d))) << size;
  }
  for (std::uint16_t bits : {0, 2, 7, 48, 64}) {
    Dib d = MakeDib(1, 1, bits);
    d.palette = Palette({0, 0, 0, 0});
    d.bits = ByteVector(16, 0);
    EXPECT_FALSE(DecodeBmp(BmpFile(d))) << bits;
  }
  for (std::uint32_t compression : {4u, 5u, 7u, 0xFFFFFFFFu}) {
    Dib d = MakeDib(1, 1, 24, compression);
    d.bits = {1, 2, 3, 0};
    EXPECT_FALSE(DecodeBmp(BmpFile(d))) << compression;
  }
  Dib core = MakeDib(1, 1, 32);
  core.headerSize = 12;
  core.bits = {1, 2, 3, 4};
  EXPECT_FALSE(DecodeBmp(BmpFile(core)));
}

// An RLE picture with the four colours 0x000000 (index 0), 0x0000FF, 0x00FF00 and 0xFF0000.
Dib RlePicture(std::uint32_t compression, int width, int height, ByteVector stream) {
  Dib d = MakeDib(width, height, static_cast<std::uint16_t>(compression == Rle8 ? 8 : 4));
  d.compression = compression;
  d.colorsUsed = 4;
  d.palette = Palette({0x000000, 0x0000FF, 0x00FF00, 0xFF0000});
  d.bits = std::move(stream);
  return d;
}

constexpr std::uint32_t K = 0x000000, B = 0x0000FF, G = 0x00FF00, R = 0xFF0000;

TEST(BmpRle, Rle8RunsLineEndsAndEndOfPicture) {
  const ByteVector stream = {
      4, 1,                // bottom row: four of index 1
      0, 0,                // end of line
      0, 3, 2, 3, 1, 0xEE, // absolute run of three, padded to a word
      1, 2,                // one of index 2
      0, 0,                // end of line
      2, 3, 0, 1,          // top row: two of index 3, then end of picture
  };
  EXPECT_EQ(Decode(RlePicture(Rle8, 4, 3, stream)), (Colors{R, R, K, K, /**/ G, R, B, G, /**/ B, B, B, B}));
}

TEST(BmpRle, Rle8DeltaLeavesSkippedPixelsAtIndexZero) {
  const ByteVector stream = {1, 1, 0, 2, 2, 1, 1, 3, 0, 1};
  // Pixel (0, bottom), then a move 2 right and 1 up, then pixel (3, middle row).
  EXPECT_EQ(Decode(RlePicture(Rle8, 4, 2, stream)), (Colors{K, K, K, R, /**/ B, K, K, K}));
}

TEST(BmpRle, UndrawnPixelsTakePaletteIndexZero) {
  Dib d = RlePicture(Rle8, 2, 1, {1, 1, 0, 1});
  d.palette = Palette({0x123456, 0x0000FF, 0x00FF00, 0xFF0000});
  EXPECT_EQ(Decode(d), (Colors{B, 0x123456}));
}

TEST(BmpRle, Rle4AlternatesTheNibblesOfARun) {
  const ByteVector stream = {
      5, 0x12,                         // 1 2 1 2 1
      0, 0,                            // end of line
      0, 5,    0x32, 0x10, 0x20, 0xEE, // absolute run 3 2 1 0 2 in three bytes, padded to a word
      0, 1,
  };
  EXPECT_EQ(Decode(RlePicture(Rle4, 5, 2, stream)), (Colors{R, G, B, K, G, /**/ B, G, B, G, B}));
}

TEST(BmpRle, StreamWithoutEndOfPictureKeepsWhatWasDrawn) {
  EXPECT_EQ(Decode(RlePicture(Rle8, 3, 2, {2, 3})), (Colors{K, K, K, R, R, K}));
  EXPECT_EQ(Decode(RlePicture(Rle8, 3, 2, {})), (Colors(6, K)));
  // An absolute run whose bytes are cut off is not drawn at all.
  EXPECT_EQ(Decode(RlePicture(Rle8, 3, 2, {1, 2, 0, 3, 1, 1})), (Colors{K, K, K, G, K, K}));
  EXPECT_EQ(Decode(RlePicture(Rle8, 3, 2, {1, 2, 0, 2, 1})), (Colors{K, K, K, G, K, K}));
}

TEST(BmpRle, RunsPastTheRightEdgeAreDroppedNotWrapped) {
  const ByteVector stream = {
      5, 1,             // five of index 1 on a row of three
      0, 4, 2, 2, 2, 2, // absolute run past the edge as well
      0, 0, 3, 3, 0, 1, // next row
  };
  EXPECT_EQ(Decode(RlePicture(Rle8, 3, 2, stream)), (Colors{R, R, R, B, B, B}));
  const ByteVector absolute = {0, 5, 1, 2, 3, 1, 2, 0, 0, 1};
  EXPECT_EQ(Decode(RlePicture(Rle8, 2, 1, absolute)), (Colors{B, G}));
  EXPECT_EQ(Decode(RlePicture(Rle4, 3, 1, {0, 6, 0x12, 0x31, 0x23, 0, 0, 1})), (Colors{B, G, R}));
}

TEST(BmpRle, MovesOutsideThePictureEndOrClipIt) {
  // Far right: nothing more on this row; the next line is drawn again.
  EXPECT_EQ(Decode(RlePicture(Rle8, 2, 2, {0, 2, 255, 0, 1, 1, 0, 0, 1, 2, 0, 1})), (Colors{G, K, K, K}));
  // Above the top row: the picture ends there.
  EXPECT_EQ(Decode(RlePicture(Rle8, 2, 2, {1, 1, 0, 2, 0, 200, 2, 3, 0, 1})), (Colors{K, K, B, K}));
  // Line ends past the top row end it too.
  EXPECT_EQ(Decode(RlePicture(Rle8, 1, 1, {1, 3, 0, 0, 0, 0, 1, 1, 0, 1})), (Colors{R}));
  // A move cut off by the end of the stream.
  EXPECT_EQ(Decode(RlePicture(Rle8, 2, 1, {1, 1, 0, 2, 1})), (Colors{B, K}));
}

TEST(BmpRle, TopDownOrWrongBitCountIsRefused) {
  EXPECT_FALSE(DecodeBmp(BmpFile(RlePicture(Rle8, 2, -2, {0, 1}))));
  Dib rle8With4 = RlePicture(Rle8, 2, 2, {0, 1});
  rle8With4.bitCount = 4;
  EXPECT_FALSE(DecodeBmp(BmpFile(rle8With4)));
  Dib rle4With8 = RlePicture(Rle4, 2, 2, {0, 1});
  rle4With8.bitCount = 8;
  EXPECT_FALSE(DecodeBmp(BmpFile(rle4With8)));
}

TEST(BmpRle, LargestPictureSidesAreAccepted) {
  for (auto [width, height] : {std::pair{Picture::MaxSide, 1}, std::pair{1, Picture::MaxSide}}) {
    const auto p = DecodeBmp(BmpFile(RlePicture(Rle8, width, height, {0, 1})));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->pixels.size(), static_cast<std::size_t>(Picture::MaxSide) * 3);
  }
}

TEST(BmpDib, SeparateInfoAndBitsDecodeLikeTheFile) {
  Dib d = MakeDib(3, 2, 8);
  d.colorsUsed = 2;
  d.palette = Palette({0xA0B0C0, 0x0A0B0C});
  d.bits = PaddedRows({{0, 1, 0}, {1, 1, 0}});
  ByteVector info = InfoBlock(d);
  const auto fromDib = DecodeDib(info, d.bits);
  ASSERT_TRUE(fromDib);
  EXPECT_EQ(ColorsOf(*fromDib), Decode(d));
  info.resize(info.size() + 100, 0xCC); // a block rounded up by its allocator
  const auto larger = DecodeDib(info, d.bits);
  ASSERT_TRUE(larger);
  EXPECT_EQ(ColorsOf(*larger), Decode(d));
}

TEST(BmpDib, PaletteOrMasksRunningPastTheInfoBlockAreRefused) {
  Dib d = MakeDib(1, 1, 8);
  d.colorsUsed = 2;
  d.palette = Palette({0xA0B0C0, 0x0A0B0C});
  d.bits = {1, 0, 0, 0};
  ByteVector info = InfoBlock(d);
  info.pop_back();
  EXPECT_FALSE(DecodeDib(info, d.bits));
  Dib masks = MakeDib(1, 1, 16, BitFields);
  masks.masks = {0xF800, 0x07E0, 0x001F};
  info = InfoBlock(masks);
  info.pop_back();
  EXPECT_FALSE(DecodeDib(info, ByteVector{0, 0, 0, 0}));
  EXPECT_FALSE(DecodeDib({}, ByteVector{0, 0, 0, 0}));
  EXPECT_FALSE(DecodeDib(ByteVector{40, 0, 0}, ByteVector{0, 0, 0, 0}));
}

TEST(BmpHostile, EveryTruncationOfAFileIsRefused) {
  Dib d = MakeDib(4, 2, 8);
  d.colorsUsed = 3;
  d.palette = Palette({1, 2, 3});
  d.bits = {0, 1, 2, 0, 2, 1, 0, 2};
  const ByteVector file = BmpFile(d);
  ASSERT_TRUE(DecodeBmp(file));
  for (std::size_t size = 0; size < file.size(); ++size) {
    const ByteVector cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_FALSE(DecodeBmp(cut)) << size;
  }
}

TEST(BmpHostile, WrongMagicOrPixelOffsetIsRefused) {
  Dib d = MakeDib(1, 1);
  d.bits = {1, 2, 3, 0};
  ByteVector file = BmpFile(d);
  ASSERT_TRUE(DecodeBmp(file));
  file[1] = 'A';
  EXPECT_FALSE(DecodeBmp(file));
  file[1] = 'M';
  for (std::uint32_t offset : {0u, 13u, 14u, 50u, 59u, 0xFFFFFFFFu, 0x80000000u}) {
    ByteVector bad = file;
    bad[10] = static_cast<std::uint8_t>(offset);
    bad[11] = static_cast<std::uint8_t>(offset >> 8);
    bad[12] = static_cast<std::uint8_t>(offset >> 16);
    bad[13] = static_cast<std::uint8_t>(offset >> 24);
    EXPECT_FALSE(DecodeBmp(bad)) << offset;
  }
}

TEST(BmpHostile, SizesThatOverflowOrExceedTheLimitsAreRefused) {
  constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t Min = std::numeric_limits<std::int32_t>::min();
  const std::pair<std::int32_t, std::int32_t> sizes[] = {
      {Max, Max},  {Max, Min},    {0x10000, 0x10000}, {0, 1},   {1, 0}, {-1, 1}, {Min, 1}, {Picture::MaxSide + 1, 1},
      {1, -16385}, {16384, 4097}, {8193, 8192},       {1, Min},
  };
  for (auto [width, height] : sizes) {
    for (std::uint32_t compression : {Rgb, Rle8}) {
      Dib d = MakeDib(width, height, 8, compression);
      d.colorsUsed = 1;
      d.palette = Palette({0});
      d.bits = ByteVector(64, 0);
      EXPECT_FALSE(DecodeBmp(BmpFile(d))) << width << " x " << height;
    }
  }
  Dib core = MakeDib(0xFFFF, 1);
  core.headerSize = 12;
  core.bits = ByteVector(64, 0);
  EXPECT_FALSE(DecodeBmp(BmpFile(core)));
}

TEST(BmpHostile, HugePaletteCountsAreRefused) {
  for (std::uint32_t count : {257u, 0x40000000u, 0x40000001u, 0xFFFFFFFFu}) {
    Dib d = MakeDib(1, 1, 8);
    d.colorsUsed = count;
    d.palette = Palette(Colors(256, 0x123456));
    d.bits = {0, 0, 0, 0};
    EXPECT_FALSE(DecodeBmp(BmpFile(d))) << count;
  }
}

TEST(BmpHostile, PaletteRunningIntoThePixelsIsRefused) {
  Dib d = MakeDib(4, 1, 8);
  d.colorsUsed = 2;
  d.palette = Palette({0x111111, 0x222222});
  d.bits = {0, 1, 1, 0};
  ByteVector file = BmpFile(d);
  ASSERT_TRUE(DecodeBmp(file));
  file[10] -= 4; // pixel offset inside the palette's second entry
  EXPECT_FALSE(DecodeBmp(file));
}

TEST(BmpHostile, TruncatedPixelDataIsRefused) {
  struct Case {
    std::uint16_t bitCount;
    std::int32_t width;
    std::size_t stride;
  };
  for (const Case& c :
       {Case{1, 33, 8}, Case{4, 9, 8}, Case{8, 5, 8}, Case{16, 3, 8}, Case{24, 3, 12}, Case{32, 3, 12}}) {
    for (std::int32_t height : {3, -3}) {
      Dib d = MakeDib(c.width, height, c.bitCount);
      if (c.bitCount <= 8) d.palette = Palette(Colors(std::size_t{1} << c.bitCount, 0x808080));
      d.bits = ByteVector(c.stride * 3, 0x55);
      ASSERT_TRUE(DecodeBmp(BmpFile(d))) << c.bitCount;
      d.bits.resize(c.stride * 2);
      EXPECT_FALSE(DecodeBmp(BmpFile(d))) << c.bitCount << " " << height;
      d.bits.clear();
      EXPECT_FALSE(DecodeBmp(BmpFile(d))) << c.bitCount << " " << height;
    }
  }
}

} // namespace
} // namespace velmo
