#pragma once

// The decoder of velmoimg.spi, the delivered picture loader: PNG, JPEG, GIF and TGA files, read
// with stb_image and handed over as 24-bit DIBs, the form in which the engine takes a picture
// loader's result. Portable: the DLL's exports and the build compiled into velmo-run both use it.
//
// What comes out: every picture becomes B, G, R. Alpha channels are dropped without compositing
// (the layers have masks of their own): a pixel keeps its colour whatever its alpha; grey becomes
// equal B, G and R; 16-bit channels keep their top 8 bits. A GIF gives its first frame, in which
// transparent pixels are black. JPEG's EXIF orientation and colour profiles are not applied.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace velmo::velmoimg {

enum class Format { None, Png, Jpeg, Gif, Tga };

// Pictures larger than the engine takes are refused before the pixels are decoded: no side over
// 16,384 pixels and no more than 64 Mi pixels in all.
inline constexpr int MaxSide = 16384;
inline constexpr std::int64_t MaxPixels = std::int64_t{64} * 1024 * 1024;

// The largest picture decoded. The plug-in's exports use the engine's limits; the fuzz target
// sets smaller ones, since a file of a few bytes may describe a picture of millions of pixels
// that stb_image fills in, too slowly under the sanitizers.
struct Limits {
  int maxSide = MaxSide;
  std::int64_t maxPixels = MaxPixels;
};

// The format of a file from its first bytes: PNG's eight-byte signature, JPEG's start of image
// (FF D8 FF), "GIF87a" or "GIF89a". TGA has no signature; its 18-byte header is taken when it is
// one that can be read (see PlausibleTga). None for anything else.
Format FormatOf(std::span<const std::uint8_t> start);

// A TGA header that can be read: width and height not 0; either a colour-mapped type (1, or 9
// with RLE) with a colour map of at least one entry of 8, 15, 16, 24 or 32 bits and indices of 8
// or 16 bits, or a true-colour or grey type (2, 3, 10, 11) without a colour map and pixels of 8,
// 15, 16, 24 or 32 bits.
bool PlausibleTga(std::span<const std::uint8_t> start);

// IsSupported's answer for a file named `fileName` that starts with `header`: the format by its
// signature; a TGA file only when its name also ends in ".tga" (ignoring case), so that files of
// other kinds whose first bytes happen to look like a TGA header are left to others.
Format ClaimedFormat(std::string_view fileName, std::span<const std::uint8_t> header);

// The handed-over form: BITMAPINFOHEADER of 40 bytes (24 bits, bottom-up, uncompressed, no
// palette) and rows of B, G, R from the bottom one up, each padded with zeros to 4 bytes.
inline constexpr std::size_t InfoSize = 40;
std::size_t RowBytes(int width);
void WriteInfoHeader(int width, int height, std::span<std::uint8_t, InfoSize> info);

// A decoded picture: R, G, B top-down rows without padding, as stb_image gives it.
class RgbPicture {
public:
  int Width() const { return width; }
  int Height() const { return height; }
  // Writes the rows in the handed-over form into `bits`, which holds RowBytes(width) * height
  // bytes.
  void WriteBits(std::span<std::uint8_t> bits) const;

private:
  friend int Decode(std::span<const std::uint8_t> file, RgbPicture& out, const Limits& limits);
  struct Release {
    void operator()(std::uint8_t* pixels) const;
  };
  int width = 0;
  int height = 0;
  std::unique_ptr<std::uint8_t, Release> rgb;
};

// Decodes a whole file; SUSIE_OK with the picture in `out`, or the Susie error code:
// SUSIE_UNKNOWN_FORMAT for a file of none of the four formats, SUSIE_NO_MEMORY for a picture
// larger than the limits (or memory that cannot be had), SUSIE_BROKEN_DATA for a file of one of
// them that cannot be decoded: corrupt, truncated, or a variant stb_image does not read (such as
// arithmetic-coded JPEG). Before stb_image sees a file, what it would read wrongly is refused:
// a PNG chunk reaching past the end of the file, a JPEG Huffman table of more than 256 codes, a
// TGA file without all its pixels (raw, or RLE packets for all of them) and a GIF file without
// its whole first image (its data blocks up to their terminator); stb_image would allocate for
// the first, write past its table for the second and make up the missing pixels of the others.
// A JPEG scan that names a table the file never defined decodes with a table of one code.
int Decode(std::span<const std::uint8_t> file, RgbPicture& out, const Limits& limits = {});

// Decode followed by the handed-over form in two blocks, for tests and fuzzing.
struct Dib {
  std::vector<std::uint8_t> info;
  std::vector<std::uint8_t> bits;
};
int DecodeToDib(std::span<const std::uint8_t> file, Dib& out, const Limits& limits = {});

} // namespace velmo::velmoimg
