#include "engine/graphics/blit_kernels.h"

namespace velmo {
namespace {

std::uint32_t PixelValue(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16;
}

} // namespace

void DrawPictureReference(const BlitArgs& args) {
  const std::uint32_t level = args.level;
  for (int y = 0; y < args.height; ++y) {
    const std::uint8_t* source = args.source + static_cast<std::size_t>(y) * args.sourceStride;
    const std::uint8_t* mask = args.mask != nullptr ? args.mask + static_cast<std::size_t>(y) * args.maskStride : nullptr;
    std::uint8_t* target = args.target + static_cast<std::size_t>(y) * args.targetStride;
    for (int x = 0; x < args.width; ++x) {
      const std::uint8_t* s = source + x * 3;
      std::uint8_t* d = target + x * 3;
      if (args.keyed && PixelValue(s) == args.key) continue;
      std::uint32_t weight = 0;
      if (mask != nullptr) {
        std::uint32_t m = mask[x * 3];
        if (args.maskInverted) m = 255 - m;
        weight = m < 255 ? m : 256;
      }
      for (int c = 0; c < 3; ++c) {
        const std::uint32_t sc = s[c];
        const std::uint32_t dc = d[c];
        std::uint32_t value;
        if (mask == nullptr && level == 0) {
          value = sc;
        } else if (mask != nullptr && level == 0) {
          value = (dc * weight + sc * (256 - weight)) >> 8;
        } else if (mask == nullptr) {
          value = ((256 - level) * sc + level * dc) >> 8;
        } else {
          const std::uint32_t t = (sc * (256 - weight) + dc * weight) >> 8;
          value = ((256 - level) * t + level * dc) >> 8;
        }
        d[c] = static_cast<std::uint8_t>(value);
      }
    }
  }
}

void DrawPicture(const BlitArgs& args) { DrawPictureReference(args); }

void TransparentCopyReference(const std::uint8_t* source, std::size_t sourceStride, std::uint8_t* target,
                              std::size_t targetStride, int width, int height) {
  if (width <= 0 || height <= 0) return;
  const std::uint32_t key = PixelValue(source);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* s = source + static_cast<std::size_t>(y) * sourceStride;
    std::uint8_t* d = target + static_cast<std::size_t>(y) * targetStride;
    for (int x = 0; x < width; ++x) {
      if (PixelValue(s + x * 3) == key) continue;
      d[x * 3] = s[x * 3];
      d[x * 3 + 1] = s[x * 3 + 1];
      d[x * 3 + 2] = s[x * 3 + 2];
    }
  }
}

void TransparentCopy(const std::uint8_t* source, std::size_t sourceStride, std::uint8_t* target,
                     std::size_t targetStride, int width, int height) {
  TransparentCopyReference(source, sourceStride, target, targetStride, width, height);
}

} // namespace velmo
