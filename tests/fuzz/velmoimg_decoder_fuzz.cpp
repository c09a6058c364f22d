// Feeds arbitrary bytes to the picture loader plug-in's decoder, as the file GetPicture reads, and
// its first bytes to IsSupported's test. Refusing the input with a Susie code is an expected
// answer; a crash, an overrun, a leak, a picture beyond the limits or a DIB that the engine does
// not read back to a picture of the same size is a finding. The limits are smaller than the
// engine's: a few bytes may describe a picture of millions of pixels, which decodes in time in
// an optimised build but not under the sanitizers.
#include "engine/graphics/bmp_decoder.h"
#include "plugins/include/susie_plugin.h"
#include "plugins/velmoimg/picture_decoder.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace {

constexpr velmo::velmoimg::Limits FuzzLimits{.maxSide = 2048, .maxPixels = 256 * 1024};

std::uint32_t U32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace img = velmo::velmoimg;
  const std::span<const std::uint8_t> input(data, size);
  const img::Format claimed =
      img::ClaimedFormat("a.tga", input.first(size < SUSIE_HEADER_SIZE ? size : SUSIE_HEADER_SIZE));
  img::Dib dib;
  const int result = img::DecodeToDib(input, dib, FuzzLimits);
  if (result != SUSIE_OK) {
    if (result != SUSIE_UNKNOWN_FORMAT && result != SUSIE_BROKEN_DATA && result != SUSIE_NO_MEMORY) __builtin_trap();
    if ((result == SUSIE_UNKNOWN_FORMAT) != (claimed == img::Format::None)) __builtin_trap();
    return 0;
  }
  if (claimed == img::Format::None || dib.info.size() != img::InfoSize) __builtin_trap();
  const auto width = static_cast<int>(U32(dib.info, 4)), height = static_cast<int>(U32(dib.info, 8));
  if (width <= 0 || height <= 0 || width > FuzzLimits.maxSide || height > FuzzLimits.maxSide ||
      std::int64_t{width} * height > FuzzLimits.maxPixels) {
    __builtin_trap();
  }
  if (dib.bits.size() != img::RowBytes(width) * static_cast<std::size_t>(height)) __builtin_trap();
  const auto picture = velmo::DecodeDib(dib.info, dib.bits);
  if (!picture || picture->width != width || picture->height != height) __builtin_trap();
  return 0;
}
