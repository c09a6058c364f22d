#include "engine/graphics/bmp_decoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace velmo {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t CoreHeaderSize = DibHeader::CoreSize;
constexpr std::size_t InfoHeaderSize = DibHeader::InfoSize;

// Values of biCompression that are read.
constexpr std::uint32_t CompressionRgb = 0;
constexpr std::uint32_t CompressionRle8 = 1;
constexpr std::uint32_t CompressionRle4 = 2;
constexpr std::uint32_t CompressionBitFields = 3;
constexpr std::uint32_t CompressionAlphaBitFields = 6;

// All readers assume the caller checked that the bytes lie inside `data`; values are little-endian.
std::uint32_t ReadU16(Bytes data, std::size_t at) { return data[at] | static_cast<std::uint32_t>(data[at + 1]) << 8; }
std::uint32_t ReadU32(Bytes data, std::size_t at) { return ReadU16(data, at) | ReadU16(data, at + 2) << 16; }
std::int32_t ReadS32(Bytes data, std::size_t at) { return static_cast<std::int32_t>(ReadU32(data, at)); }

struct Bgr {
  std::uint8_t b = 0, g = 0, r = 0;
};

// One colour channel of a bit-field pixel: the mask, the position of its lowest bit and its width.
// A channel of width 0 (zero mask) always reads 0.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int width = 0;
};

std::optional<Channel> MakeChannel(std::uint32_t mask, int bitCount) {
  if (mask == 0) return Channel{};
  if (bitCount < 32 && (mask >> bitCount) != 0) return std::nullopt; // bits the pixel does not have
  const int shift = std::countr_zero(mask);
  const std::uint32_t run = mask >> shift;
  if ((run & (run + 1)) != 0) return std::nullopt; // not one contiguous run of ones
  return Channel{mask, shift, std::popcount(run)};
}

std::uint8_t ScaleChannel(std::uint32_t pixel, const Channel& c) {
  if (c.width == 0) return 0;
  const std::uint32_t v = (pixel & c.mask) >> c.shift;
  if (c.width >= 8) return static_cast<std::uint8_t>(v >> (c.width - 8));
  // Repeat the value's bits from the top down so that 0 stays 0 and the largest value gives 255.
  std::uint32_t out = 0;
  for (int filled = 0; filled < 8; filled += c.width) {
    const int shift = 8 - c.width - filled;
    out |= shift >= 0 ? v << shift : v >> -shift;
  }
  return static_cast<std::uint8_t>(out);
}

// What the info block says about the pixels, checked and ready for decoding.
struct Layout {
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bitCount = 0;
  std::uint32_t compression = CompressionRgb;
  Channel red, green, blue;          // 16 and 32 bits
  std::array<Bgr, 256> palette = {}; // 1, 4 and 8 bits; black past the file's entries
};

bool SetChannels(Layout& layout, std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  const auto r = MakeChannel(red, layout.bitCount);
  const auto g = MakeChannel(green, layout.bitCount);
  const auto b = MakeChannel(blue, layout.bitCount);
  if (!r || !g || !b) return false;
  layout.red = *r;
  layout.green = *g;
  layout.blue = *b;
  return true;
}

std::optional<Layout> ReadLayout(Bytes info) {
  const std::optional<DibHeader> header = ReadDibHeader(info);
  if (!header) return std::nullopt;
  const std::uint32_t headerSize = header->size;
  Layout layout;
  layout.width = header->width;
  layout.height = header->height;
  layout.topDown = header->topDown;
  layout.bitCount = header->bitCount;
  layout.compression = header->compression;
  const std::uint32_t colorsUsed = header->colorsUsed;
  std::size_t entrySize = 4;
  std::size_t tableAt = headerSize; // where masks (after a 40-byte header) and then the palette start
  if (headerSize == CoreHeaderSize) {
    entrySize = 3;
    if (layout.bitCount != 1 && layout.bitCount != 4 && layout.bitCount != 8 && layout.bitCount != 24) {
      return std::nullopt;
    }
  }

  const int bits = layout.bitCount;
  switch (layout.compression) {
  case CompressionRgb:
    if (bits == 16) {
      SetChannels(layout, 0x7C00, 0x03E0, 0x001F);
    } else if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) {
      return std::nullopt;
    }
    break;
  case CompressionRle8:
  case CompressionRle4:
    // Compressed pictures are bottom-up by definition.
    if (bits != (layout.compression == CompressionRle8 ? 8 : 4) || layout.topDown) return std::nullopt;
    break;
  case CompressionBitFields:
  case CompressionAlphaBitFields: {
    if (bits != 16 && bits != 32) return std::nullopt;
    std::size_t masksAt = 40;
    if (headerSize == InfoHeaderSize) {
      const std::size_t maskBytes = layout.compression == CompressionBitFields ? 12 : 16;
      if (info.size() - headerSize < maskBytes) return std::nullopt;
      masksAt = headerSize;
      tableAt = headerSize + maskBytes;
    }
    if (!SetChannels(layout, ReadU32(info, masksAt), ReadU32(info, masksAt + 4), ReadU32(info, masksAt + 8))) {
      return std::nullopt;
    }
    break;
  }
  default:
    return std::nullopt;
  }

  if (bits <= 8) {
    const std::uint64_t indexCount = std::uint64_t{1} << bits;
    const std::uint64_t declared = colorsUsed == 0 ? indexCount : colorsUsed;
    if (declared * entrySize > info.size() - tableAt) return std::nullopt;
    const std::size_t used = static_cast<std::size_t>(std::min(declared, indexCount));
    for (std::size_t i = 0; i < used; ++i) {
      const std::size_t at = tableAt + i * entrySize;
      layout.palette[i] = Bgr{info[at], info[at + 1], info[at + 2]};
    }
  }
  return layout;
}

void PutBgr(std::uint8_t* dst, const Bgr& c) {
  dst[0] = c.b;
  dst[1] = c.g;
  dst[2] = c.r;
}

// One uncompressed source row of `width` pixels into one 24-bit row.
void ConvertRow(const Layout& layout, const std::uint8_t* src, std::uint8_t* dst) {
  const int width = layout.width;
  switch (layout.bitCount) {
  case 1:
    for (int x = 0; x < width; ++x) PutBgr(dst + x * 3, layout.palette[(src[x >> 3] >> (7 - (x & 7))) & 1]);
    break;
  case 4:
    for (int x = 0; x < width; ++x) PutBgr(dst + x * 3, layout.palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF]);
    break;
  case 8:
    for (int x = 0; x < width; ++x) PutBgr(dst + x * 3, layout.palette[src[x]]);
    break;
  case 24:
    std::memcpy(dst, src, static_cast<std::size_t>(width) * 3);
    break;
  case 16:
  case 32:
    if (layout.bitCount == 32 && layout.compression == CompressionRgb) {
      for (int x = 0; x < width; ++x) std::memcpy(dst + x * 3, src + x * 4, 3);
      break;
    }
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* p = src + x * (layout.bitCount / 8);
      std::uint32_t pixel = p[0] | static_cast<std::uint32_t>(p[1]) << 8;
      if (layout.bitCount == 32)
        pixel |= static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
      dst[x * 3] = ScaleChannel(pixel, layout.blue);
      dst[x * 3 + 1] = ScaleChannel(pixel, layout.green);
      dst[x * 3 + 2] = ScaleChannel(pixel, layout.red);
    }
    break;
  default:
    break;
  }
}

Picture MakePicture(const Layout& layout) {
  Picture picture;
  picture.width = layout.width;
  picture.height = layout.height;
  picture.pixels.resize(static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(layout.height) * 3);
  return picture;
}

std::optional<Picture> DecodeRows(const Layout& layout, Bytes bits) {
  // Rows are padded to 4 bytes; only the bytes the last row's pixels use must be present.
  const std::uint64_t rowBits = static_cast<std::uint64_t>(layout.width) * static_cast<std::uint64_t>(layout.bitCount);
  const std::uint64_t stride = (rowBits + 31) / 32 * 4;
  const std::uint64_t used = (rowBits + 7) / 8;
  if (stride * static_cast<std::uint64_t>(layout.height - 1) + used > bits.size()) return std::nullopt;

  Picture picture = MakePicture(layout);
  for (int y = 0; y < layout.height; ++y) {
    const int sourceRow = layout.topDown ? y : layout.height - 1 - y;
    ConvertRow(layout, bits.data() + static_cast<std::size_t>(stride) * static_cast<std::size_t>(sourceRow),
               picture.Row(y).data());
  }
  return picture;
}

// Decodes an RLE8 or RLE4 stream. Positions count rows from the bottom, as the stream draws them;
// x stops at the right edge, since nothing past it is drawn before the next line or move.
std::optional<Picture> DecodeRle(const Layout& layout, Bytes stream) {
  Picture picture = MakePicture(layout);
  // Undrawn pixels keep index 0: fill the first row, then copy it to the others.
  std::uint8_t* first = picture.Row(0).data();
  for (int x = 0; x < layout.width; ++x) PutBgr(first + x * 3, layout.palette[0]);
  for (int y = 1; y < layout.height; ++y) std::memcpy(picture.Row(y).data(), first, picture.Stride());

  const bool nibbles = layout.compression == CompressionRle4;
  const int width = layout.width;
  const int height = layout.height;
  int x = 0;
  int y = 0;
  // Index i of a run whose values are `value` (encoded) or start at stream[at] (absolute).
  auto indexOf = [&](int i, std::uint8_t value) -> std::uint8_t {
    if (!nibbles) return value;
    return (i & 1) ? value & 0xF : value >> 4;
  };

  std::size_t pos = 0;
  while (pos + 2 <= stream.size() && y < height) {
    const int count = stream[pos];
    const int value = stream[pos + 1];
    pos += 2;
    std::uint8_t* row = picture.Row(height - 1 - y).data();
    if (count > 0) { // encoded run: count pixels of one value (RLE4: two alternating nibbles)
      for (int i = 0; i < count && x + i < width; ++i) {
        PutBgr(row + (x + i) * 3, layout.palette[indexOf(i, static_cast<std::uint8_t>(value))]);
      }
      x = std::min(x + count, width);
      continue;
    }
    switch (value) {
    case 0: // end of line
      x = 0;
      ++y;
      break;
    case 1: // end of picture
      return picture;
    case 2: // move right and to a later row by the next two bytes
      if (stream.size() - pos < 2) return picture;
      x = std::min(x + stream[pos], width);
      y += stream[pos + 1];
      pos += 2;
      break;
    default: { // absolute run of `value` indices (RLE4: two to a byte), padded to a 16-bit word
      const std::size_t size = nibbles ? (static_cast<std::size_t>(value) + 1) / 2 : static_cast<std::size_t>(value);
      if (stream.size() - pos < size) return picture;
      for (int i = 0; i < value && x + i < width; ++i) {
        const std::uint8_t byte = stream[pos + static_cast<std::size_t>(nibbles ? i / 2 : i)];
        PutBgr(row + (x + i) * 3, layout.palette[indexOf(i, byte)]);
      }
      x = std::min(x + value, width);
      pos += size + (size & 1);
      break;
    }
    }
  }
  return picture;
}

} // namespace

std::optional<DibHeader> ReadDibHeader(std::span<const std::uint8_t> info) {
  if (info.size() < 4) return std::nullopt;
  DibHeader header;
  header.size = ReadU32(info, 0);
  if (header.size > info.size()) return std::nullopt;
  std::int64_t width = 0;
  std::int64_t height = 0;
  // 12 bytes: size, width (16), height (16), planes (16), bit count (16).
  // 40 bytes and more: size, width (s32), height (s32), planes (16), bit count (16), compression,
  // image size, x and y resolution, colours used, colours important; from 52 bytes on the red,
  // green and blue masks follow at 40, 44 and 48 (then alpha, colour space, ... which are not used).
  if (header.size == DibHeader::CoreSize) {
    width = ReadU16(info, 4);
    height = ReadU16(info, 6);
    header.bitCount = static_cast<int>(ReadU16(info, 10));
  } else if (header.size == DibHeader::InfoSize || header.size == 52 || header.size == 56 || header.size == 108 ||
             header.size == 124) {
    width = ReadS32(info, 4);
    height = ReadS32(info, 8);
    if (height < 0) {
      header.topDown = true;
      height = -height; // in 64 bits, so the most negative height does not overflow
    }
    header.bitCount = static_cast<int>(ReadU16(info, 14));
    header.compression = ReadU32(info, 16);
    header.imageSize = ReadU32(info, 20);
    header.colorsUsed = ReadU32(info, 32);
  } else {
    return std::nullopt;
  }
  if (width <= 0 || height <= 0 || width > Picture::MaxSide || height > Picture::MaxSide ||
      width * height > Picture::MaxPixels) {
    return std::nullopt;
  }
  header.width = static_cast<int>(width);
  header.height = static_cast<int>(height);
  return header;
}

std::optional<Picture> DecodeBmp(std::span<const std::uint8_t> file) {
  if (file.size() < FileHeaderSize || file[0] != 'B' || file[1] != 'M') return std::nullopt;
  const std::uint32_t pixelOffset = ReadU32(file, 10);
  if (pixelOffset < FileHeaderSize || pixelOffset > file.size()) return std::nullopt;
  return DecodeDib(file.subspan(FileHeaderSize, pixelOffset - FileHeaderSize), file.subspan(pixelOffset));
}

std::optional<Picture> DecodeDib(std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits) {
  const auto layout = ReadLayout(info);
  if (!layout) return std::nullopt;
  if (layout->compression == CompressionRle8 || layout->compression == CompressionRle4) {
    return DecodeRle(*layout, bits);
  }
  return DecodeRows(*layout, bits);
}

} // namespace velmo
