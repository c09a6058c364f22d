#pragma once

#include "engine/base/pixel.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace velmo {

// A picture as the engine keeps it once loaded: width x height pixels of 24 bits, rows top to
// bottom with no padding between them (width * 3 bytes a row, the layout of the surfaces), each
// pixel B, G, R; the pixel at (x, y) starts at byte (y * width + x) * 3.
struct Picture {
  // Pictures larger than this are refused before anything is allocated: no side over 16,384
  // pixels and no more than 64 Mi pixels in all (192 MiB of pixels).
  static constexpr int MaxSide = 16384;
  static constexpr std::int64_t MaxPixels = std::int64_t{64} * 1024 * 1024;

  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;

  std::size_t Stride() const { return static_cast<std::size_t>(width) * 3; }
  PixelView View() { return {pixels.data(), width, height}; }
  ConstPixelView View() const { return {pixels.data(), width, height}; }
  // Row y (0 = top) as width * 3 bytes; y must lie in [0, height).
  std::span<std::uint8_t> Row(int y) { return {pixels.data() + static_cast<std::size_t>(y) * Stride(), Stride()}; }
  std::span<const std::uint8_t> Row(int y) const {
    return {pixels.data() + static_cast<std::size_t>(y) * Stride(), Stride()};
  }
};

// The fields of a DIB info header that decoding reads: from a 12-byte core header (width, height,
// planes, bit count as 16-bit words; always bottom-up) or an info header of 40, 52, 56, 108 or 124
// bytes (signed 32-bit width and height, a negative height meaning top-down rows, then planes, bit
// count, compression, image size, resolution and the colours used).
struct DibHeader {
  static constexpr std::uint32_t CoreSize = 12;
  static constexpr std::uint32_t InfoSize = 40;

  std::uint32_t size = 0;
  int width = 0;
  int height = 0; // the height's magnitude
  bool topDown = false;
  int bitCount = 0;
  std::uint32_t compression = 0; // 0 for a core header
  std::uint32_t imageSize = 0;
  std::uint32_t colorsUsed = 0;
};

// The header at the start of `info`; nullopt when its size is none of the above, when `info` is
// shorter than the header says, or when the picture is empty or larger than a picture may be.
std::optional<DibHeader> ReadDibHeader(std::span<const std::uint8_t> info);

// Decodes a whole .bmp file: the 14-byte file header ("BM", file size, two reserved words, and
// the offset of the pixel data), then the info header, bit masks and palette, then the pixels at
// that offset. The info header, masks and palette must all lie before the pixel offset; the
// pixels run from it to the end of the file. The file size in the header is not used.
// Returns nullopt for anything that is not a readable picture; never reads outside `file`.
std::optional<Picture> DecodeBmp(std::span<const std::uint8_t> file);

// Decodes a picture handed over as two blocks, as picture-loader plug-ins return it: `info` holds
// the info header followed by its bit masks and palette (a block larger than needed is fine), and
// `bits` the pixel data from its first byte.
//
// What is read:
// - Info headers of 12 bytes (width, height, planes, bit count as 16-bit words; palette entries of
//   3 bytes B, G, R; always bottom-up, uncompressed) and of 40, 52, 56, 108 and 124 bytes (signed
//   32-bit width and height, a negative height meaning top-down rows; palette entries of 4 bytes
//   B, G, R, unused). Other sizes are refused. Planes, resolution and biSizeImage are not used:
//   the pixel data's extent is the size of `bits`.
// - 1, 4 and 8 bits per pixel with a palette, 16, 24 and 32 without; rows bottom-up unless the
//   height is negative, each padded to a multiple of 4 bytes. Index bits are read most
//   significant first. Every row's pixels must be present; only the padding after the last row
//   may be missing. Other bit counts are refused.
// - The palette has biClrUsed entries, 2^bits when biClrUsed is 0 (always 2^bits with a 12-byte
//   header); all of them must lie inside `info`. Indices past the palette's last entry are black.
//   Pictures of 16 bits or more carry no palette that matters: biClrUsed is then ignored.
// - Uncompressed 16 bits are 5-5-5 (blue in the low bits), uncompressed 32 bits are B, G, R and an
//   unused byte. With bit fields (compression 3, or 6 with a fourth, alpha, mask that is ignored)
//   16 and 32 bits take their red, green and blue masks from the header (52 bytes and more) or
//   from the 12 (16) bytes that follow a 40-byte header. A mask must be one contiguous run of bits
//   inside the pixel's width, or the picture is refused; a zero mask gives a channel of 0. A
//   channel of fewer than 8 bits is widened by repeating its bits (5 bits v become
//   v << 3 | v >> 2, so the largest value gives 255); one of more than 8 bits keeps its top 8.
// - RLE8 and RLE4 (bottom-up only; a top-down RLE picture is refused): pairs of a count and a
//   value give an encoded run (RLE4 alternates the high and low nibble of the value); a count of
//   0 is an escape: 0 ends the line, 1 ends the picture, 2 is followed by a move right and a move
//   to a later row, 3 to 255 start an absolute run of that many indices, padded to a 16-bit word.
//   Pixels the stream does not draw take the colour of palette index 0 (the value a zeroed
//   8-bit or 4-bit bitmap holds). Runs do not wrap to the next line: pixels past the right edge
//   are dropped. A move or line end below the last row ends the picture, and so does a stream
//   that runs out (with or without a partial last instruction): what was drawn stays.
std::optional<Picture> DecodeDib(std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits);

} // namespace velmo
