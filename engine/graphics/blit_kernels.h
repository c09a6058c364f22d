#pragma once

#include <cstddef>
#include <cstdint>

namespace velmo {

// The per-pixel arithmetic that draws a bitmap layer's picture onto a surface. Pixels are 24 bits,
// B, G, R; every buffer is addressed by its first byte and its stride in bytes, rows top to
// bottom. The caller clips: `width` x `height` pixels lie inside the picture, the mask and the
// destination.
//
// Per channel, with s the picture byte, d the destination byte, L the level and w the mask weight
// (the mask pixel's first byte m, replaced by 255 - m for an inverted mask, then w = m for m < 255
// and w = 256 for m = 255):
//   K1  no mask, L = 0      s
//   K2  mask, L = 0         (d * w + s * (256 - w)) >> 8
//   K3  no mask, 0 < L < 256  ((256 - L) * s + L * d) >> 8
//   K4  mask, 0 < L < 256   t = (s * (256 - w) + d * w) >> 8, then ((256 - L) * t + L * d) >> 8
// With a colour key, a picture pixel whose 24-bit value B | G << 8 | R << 16 equals the key is
// skipped before any arithmetic (the destination keeps its pixel).
struct BlitArgs {
  const std::uint8_t* source = nullptr;
  std::size_t sourceStride = 0;
  const std::uint8_t* mask = nullptr; // nullptr: no mask (K1, K3)
  std::size_t maskStride = 0;
  bool maskInverted = false; // an omega mask
  std::uint8_t* target = nullptr;
  std::size_t targetStride = 0;
  int width = 0;
  int height = 0;
  std::uint32_t level = 0; // 0..255; a layer at level 256 is never drawn
  bool keyed = false;
  std::uint32_t key = 0; // 24-bit B | G << 8 | R << 16
};

// Draws with the kernel the arguments select, with the fastest instructions the processor has.
void DrawPicture(const BlitArgs& args);

// The same, one pixel and one channel at a time, exactly as the formulas read: the reference the
// tests and benchmarks compare with.
void DrawPictureReference(const BlitArgs& args);

// Copies `width` x `height` pixels, leaving out those whose 24-bit value equals `key`.
void CopyKeyed(const std::uint8_t* source, std::size_t sourceStride, std::uint8_t* target, std::size_t targetStride,
               int width, int height, std::uint32_t key);

// The transparent copy of a text layer: every pixel of `source` whose colour differs from the
// colour of its own first pixel replaces the destination's pixel; the others leave it as it is.
// Both are `width` x `height` pixels.
void TransparentCopy(const std::uint8_t* source, std::size_t sourceStride, std::uint8_t* target,
                     std::size_t targetStride, int width, int height);
void TransparentCopyReference(const std::uint8_t* source, std::size_t sourceStride, std::uint8_t* target,
                              std::size_t targetStride, int width, int height);

} // namespace velmo
