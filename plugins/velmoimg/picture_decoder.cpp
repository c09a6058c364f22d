#include "plugins/velmoimg/picture_decoder.h"

#include "plugins/include/susie_plugin.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <new>

// stb_image's declarations; its code is built once, in stb_image_library.cpp.
#include "plugins/velmoimg/stb_image_options.h"

#include <stb_image.h>

namespace velmo::velmoimg {

namespace {

constexpr std::uint8_t PngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t JpegStart[] = {0xFF, 0xD8, 0xFF};

bool StartsWith(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> prefix) {
  return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), bytes.begin(),
                    [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

bool OneOf(int value, std::initializer_list<int> values) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

bool EndsWithTga(std::string_view name) {
  constexpr std::string_view extension = ".tga";
  if (name.size() < extension.size()) return false;
  return std::equal(extension.begin(), extension.end(), name.end() - extension.size(),
                    [](char e, char c) { return e == static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
}

void Put32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// What stb_image's last failure to load a picture was about: memory (or a picture it finds too
// large), or the data.
int FailureCode() {
  const char* reason = stbi_failure_reason();
  if (reason != nullptr && (std::strcmp(reason, "outofmem") == 0 || std::strcmp(reason, "too large") == 0)) {
    return SUSIE_NO_MEMORY;
  }
  return SUSIE_BROKEN_DATA;
}

// stb_image as Debian ships it (2.27) builds a JPEG Huffman table from its 16 code counts without
// checking that they add up to at most 256, and writes past the table when they do not. Files
// with such a table are refused before stb_image reads them.

// Whether the DHT segment whose length field starts at `at` has a table of more than 256 codes
// among those stb_image would build before it stops reading the segment (it reads zeros past the
// end of the file).
bool OverfullHuffmanTable(std::span<const std::uint8_t> file, std::size_t at) {
  const auto byte = [&](std::size_t i) -> int { return i < file.size() ? file[i] : 0; };
  int length = (byte(at) << 8 | byte(at + 1)) - 2;
  std::size_t p = at + 2;
  while (length > 0) {
    const int table = byte(p++);
    if (table >> 4 > 1 || (table & 15) > 3) return false; // stb_image stops here
    int codes = 0;
    for (int i = 0; i < 16; ++i) codes += byte(p++);
    if (codes > 256) return true;
    p += static_cast<std::size_t>(codes);
    length -= 17 + codes;
  }
  return false;
}

// Whether stb_image would meet an overfull Huffman table in `file`. Up to the first scan it reads
// the segments one after the other, skipping bytes between them up to the FF of a marker; this
// walk does the same (where stb_image stops at a marker it does not know, the walk goes on by the
// length that would follow, which can only look at more tables). From the first scan on, where
// stb_image may look for markers anywhere once a scan's data is done, every DHT marker is looked
// at: entropy-coded data holds no FF C4 of its own.
bool HasOverfullHuffmanTable(std::span<const std::uint8_t> file) {
  std::size_t p = 2; // past the start of image
  while (p + 1 < file.size()) {
    if (file[p] != 0xFF) {
      ++p;
      continue;
    }
    std::size_t marker = p + 1;
    while (marker < file.size() && file[marker] == 0xFF) ++marker;
    if (marker + 2 >= file.size()) return false;
    const std::size_t segment = marker + 1; // its length field
    if (file[marker] == 0xDA) {
      p = segment;
      break;
    }
    if (file[marker] == 0xC4 && OverfullHuffmanTable(file, segment)) return true;
    p = segment + static_cast<std::size_t>(file[segment] << 8 | file[segment + 1]);
  }
  for (; p + 1 < file.size(); ++p) {
    if (file[p] == 0xFF && file[p + 1] == 0xC4 && OverfullHuffmanTable(file, p + 2)) return true;
  }
  return false;
}

// Whether a TGA file (with a plausible header) holds every byte stb_image reads of it: after the
// header and the image ID, the colour map as stb_image reads it (it skips as many bytes as the
// first entry's index before the entries), then the pixels, raw or in RLE packets (a header
// byte with the count in its low 7 bits, then one value for a run or `count` values).
bool CompleteTga(std::span<const std::uint8_t> file) {
  const auto bytesOf = [](int bits) { return static_cast<std::size_t>((bits + 7) / 8); };
  const auto word = [&](std::size_t at) { return static_cast<std::size_t>(file[at] | file[at + 1] << 8); };
  const bool mapped = file[1] == 1, rle = file[2] >= 8;
  const std::size_t width = word(12), height = word(14), pixelBytes = bytesOf(file[16]);
  std::size_t p = 18 + std::size_t{file[0]};
  if (mapped) p += word(3) + word(5) * bytesOf(file[7]);
  if (!rle) return std::uint64_t{p} + std::uint64_t{width} * height * pixelBytes <= file.size();
  for (std::size_t pixels = 0; pixels < width * height;) {
    if (p >= file.size()) return false;
    const std::uint8_t packet = file[p++];
    const std::size_t count = (packet & 0x7Fu) + 1;
    p += (packet & 0x80) != 0 ? pixelBytes : count * pixelBytes;
    pixels += count;
  }
  return p <= file.size();
}

// stb_image 2.27 also decodes a scan that names a Huffman table the file never defined, from
// whatever the table's memory holds, and reads far past it. So every table is defined before the
// file's own segments, by a DHT segment put right after the start of image: each of the four DC
// and four AC tables with one code of 1 bit for symbol 0 (a DC difference of 0, an AC end of
// block). A file that defines the tables it uses replaces these.
std::vector<std::uint8_t> WithDefaultHuffmanTables(std::span<const std::uint8_t> file) {
  constexpr std::size_t Tables = 8, TableBytes = 1 + 16 + 1, SegmentLength = 2 + Tables * TableBytes;
  std::vector<std::uint8_t> patched{0xFF, 0xD8, 0xFF, 0xC4, 0, SegmentLength};
  constexpr std::uint8_t TableIds[Tables] = {0x00, 0x01, 0x02, 0x03, 0x10, 0x11, 0x12, 0x13}; // class, number
  for (std::uint8_t table : TableIds) {
    patched.push_back(table);
    patched.push_back(1); // one code of 1 bit
    patched.insert(patched.end(), 15, 0);
    patched.push_back(0); // its symbol
  }
  patched.insert(patched.end(), file.begin() + 2, file.end());
  return patched;
}

// Whether every chunk of a PNG file, up to IEND, lies inside the file (the CRC after IEND's empty
// data may be missing). stb_image makes room for a chunk's data before it reads it, so that a
// length field of a few bytes would otherwise have it allocate gigabytes.
bool ChunksInsideFile(std::span<const std::uint8_t> file) {
  std::size_t p = 8; // past the signature
  for (;;) {
    if (file.size() - p < 8) return false;
    const std::uint32_t length =
        static_cast<std::uint32_t>(file[p] << 24 | file[p + 1] << 16 | file[p + 2] << 8) | file[p + 3];
    if (length > file.size() - p - 8) return false;
    if (std::equal(file.begin() + static_cast<std::ptrdiff_t>(p + 4), file.begin() + static_cast<std::ptrdiff_t>(p + 8),
                   "IEND")) {
      return true;
    }
    if (file.size() - p - 8 - length < 4) return false;
    p += 12 + std::size_t{length};
  }
}

// Whether a GIF file holds its first image whole: the screen descriptor and global colour table,
// extension blocks, then the image descriptor, its local colour table, the LZW code size and
// the data sub-blocks up to the empty one that ends them. A block of another kind before the
// image is left to stb_image, which refuses it.
bool CompleteGif(std::span<const std::uint8_t> file) {
  const auto colourTable = [](std::uint8_t flags) -> std::size_t {
    return (flags & 0x80) != 0 ? std::size_t{3} << ((flags & 7) + 1) : 0;
  };
  // Past the sub-blocks starting at p; false when the file ends first.
  const auto skipSubBlocks = [&](std::size_t& p) {
    for (;;) {
      if (p >= file.size()) return false;
      const std::uint8_t length = file[p++];
      if (length == 0) return true;
      p += length;
    }
  };
  if (file.size() < 13) return false;
  std::size_t p = 13 + colourTable(file[10]);
  for (;;) {
    if (p >= file.size()) return false;
    const std::uint8_t block = file[p++];
    if (block == 0x21) {
      ++p; // the extension's label
      if (!skipSubBlocks(p)) return false;
    } else if (block == 0x2C) {
      if (p + 10 > file.size()) return false;
      p += 9 + colourTable(file[p + 8]) + 1; // descriptor, colour table, LZW code size
      return skipSubBlocks(p);
    } else {
      return true;
    }
  }
}

// Whether stb_image may be given `file`, which is of `format`: see the checks above.
bool SafeToDecode(Format format, std::span<const std::uint8_t> file) {
  switch (format) {
  case Format::Png:
    return ChunksInsideFile(file);
  case Format::Jpeg:
    return !HasOverfullHuffmanTable(file);
  case Format::Gif:
    return CompleteGif(file);
  case Format::Tga:
    return CompleteTga(file);
  case Format::None:
    break;
  }
  return false;
}

} // namespace

bool PlausibleTga(std::span<const std::uint8_t> start) {
  if (start.size() < 18) return false;
  const int mapType = start[1], imageType = start[2];
  const int mapLength = start[5] | start[6] << 8, mapEntryBits = start[7];
  const int width = start[12] | start[13] << 8, height = start[14] | start[15] << 8, pixelBits = start[16];
  if (width == 0 || height == 0) return false;
  if (mapType == 1) {
    return OneOf(imageType, {1, 9}) && mapLength > 0 && OneOf(mapEntryBits, {8, 15, 16, 24, 32}) &&
           OneOf(pixelBits, {8, 16});
  }
  return mapType == 0 && OneOf(imageType, {2, 3, 10, 11}) && OneOf(pixelBits, {8, 15, 16, 24, 32});
}

Format FormatOf(std::span<const std::uint8_t> start) {
  if (StartsWith(start, PngSignature)) return Format::Png;
  if (StartsWith(start, JpegStart)) return Format::Jpeg;
  if (StartsWith(start, std::string_view("GIF87a")) || StartsWith(start, std::string_view("GIF89a"))) {
    return Format::Gif;
  }
  if (PlausibleTga(start)) return Format::Tga;
  return Format::None;
}

Format ClaimedFormat(std::string_view fileName, std::span<const std::uint8_t> header) {
  const Format format = FormatOf(header);
  return format != Format::Tga || EndsWithTga(fileName) ? format : Format::None;
}

std::size_t RowBytes(int width) { return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4; }

void WriteInfoHeader(int width, int height, std::span<std::uint8_t, InfoSize> info) {
  std::fill(info.begin(), info.end(), std::uint8_t{0});
  Put32(&info[0], InfoSize);
  Put32(&info[4], static_cast<std::uint32_t>(width));
  Put32(&info[8], static_cast<std::uint32_t>(height)); // positive: the bottom row comes first
  info[12] = 1;                                        // planes
  info[14] = 24;                                       // bits per pixel; compression 0 (none)
  Put32(&info[20], static_cast<std::uint32_t>(RowBytes(width) * static_cast<std::size_t>(height)));
}

void RgbPicture::Release::operator()(std::uint8_t* pixels) const { stbi_image_free(pixels); }

void RgbPicture::WriteBits(std::span<std::uint8_t> bits) const {
  const std::size_t rowBytes = RowBytes(width), used = static_cast<std::size_t>(width) * 3;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* from = rgb.get() + static_cast<std::size_t>(y) * used;
    std::uint8_t* to = bits.data() + static_cast<std::size_t>(height - 1 - y) * rowBytes;
    for (std::size_t i = 0; i < used; i += 3) {
      to[i] = from[i + 2];
      to[i + 1] = from[i + 1];
      to[i + 2] = from[i];
    }
    std::fill(to + used, to + rowBytes, std::uint8_t{0});
  }
}

int Decode(std::span<const std::uint8_t> file, RgbPicture& out, const Limits& limits) {
  // stb_image takes the length as an int; a file of a gigabyte holds no picture the engine takes.
  constexpr std::size_t MaxFileBytes = std::size_t{1} << 30;
  const Format format = FormatOf(file);
  if (format == Format::None) return SUSIE_UNKNOWN_FORMAT;
  if (file.size() > MaxFileBytes) return SUSIE_NO_MEMORY;
  if (!SafeToDecode(format, file)) return SUSIE_BROKEN_DATA;
  std::vector<std::uint8_t> patched;
  if (format == Format::Jpeg) {
    patched = WithDefaultHuffmanTables(file);
    file = patched;
  }
  const int length = static_cast<int>(file.size());
  // The size from the header first, so that nothing is allocated for a picture that is too large.
  int width = 0, height = 0, channels = 0;
  if (stbi_info_from_memory(file.data(), length, &width, &height, &channels) == 0) return SUSIE_BROKEN_DATA;
  if (width <= 0 || height <= 0) return SUSIE_BROKEN_DATA;
  if (width > limits.maxSide || height > limits.maxSide || std::int64_t{width} * height > limits.maxPixels) {
    return SUSIE_NO_MEMORY;
  }
  // Three channels asked for: stb_image drops alpha and widens grey.
  std::uint8_t* rgb = stbi_load_from_memory(file.data(), length, &out.width, &out.height, &channels, 3);
  if (rgb == nullptr) return FailureCode();
  out.rgb.reset(rgb);
  if (out.width != width || out.height != height) return SUSIE_BROKEN_DATA;
  return SUSIE_OK;
}

int DecodeToDib(std::span<const std::uint8_t> file, Dib& out, const Limits& limits) {
  try {
    RgbPicture picture;
    const int result = Decode(file, picture, limits);
    if (result != SUSIE_OK) return result;
    out.info.resize(InfoSize);
    WriteInfoHeader(picture.Width(), picture.Height(), std::span<std::uint8_t, InfoSize>(out.info.data(), InfoSize));
    out.bits.resize(RowBytes(picture.Width()) * static_cast<std::size_t>(picture.Height()));
    picture.WriteBits(out.bits);
    return SUSIE_OK;
  } catch (const std::bad_alloc&) {
    return SUSIE_NO_MEMORY;
  }
}

} // namespace velmo::velmoimg
