// Feeds arbitrary bytes to the picture decoder, once as a whole .bmp file and once as the two
// blocks a picture-loader plug-in hands back. Refusing the input is an expected answer; a crash,
// an overrun, a leak or a picture whose size disagrees with its pixels is a finding.
#include "engine/graphics/bmp_decoder.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace {

void CheckShape(const std::optional<velmo::Picture>& picture) {
  if (!picture) return;
  const velmo::Picture& p = *picture;
  if (p.width <= 0 || p.height <= 0 || p.width > velmo::Picture::MaxSide || p.height > velmo::Picture::MaxSide) {
    __builtin_trap();
  }
  if (p.pixels.size() != static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height) * 3) __builtin_trap();
  if (p.Row(p.height - 1).data() + p.Stride() != p.pixels.data() + p.pixels.size()) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  const auto fromFile = velmo::DecodeBmp(input);
  CheckShape(fromFile);

  // The same bytes as plug-in blocks: the info block is everything after the 14-byte file header
  // (larger than it needs to be, as an allocator may round it up), the pixels start at the file's
  // pixel offset (or at the end when that lies outside). Whatever the file decodes to, the blocks
  // must decode to the same picture, since the info block only grew.
  if (size < 14) return 0;
  const std::size_t offset = data[10] | data[11] << 8 | data[12] << 16 | static_cast<std::size_t>(data[13]) << 24;
  const auto fromBlocks = velmo::DecodeDib(input.subspan(14), input.subspan(offset <= size ? offset : size));
  CheckShape(fromBlocks);
  if (fromFile && (!fromBlocks || fromBlocks->width != fromFile->width || fromBlocks->height != fromFile->height ||
                   fromBlocks->pixels != fromFile->pixels)) {
    __builtin_trap();
  }
  return 0;
}
