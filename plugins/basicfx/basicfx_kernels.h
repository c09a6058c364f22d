#pragma once

// The whole-frame loops of the basic plug-in: the cross-fade, monotone and the per-channel
// brightness table. Each has the formula as written (the reference) and the implementation the
// plug-in calls, which is SSE2 where the processor has it (the baseline of the 32-bit build and
// of x86-64) and gives the same bytes.
#include <array>
#include <cstddef>
#include <cstdint>

namespace velmo::basicfx {

// out[i] = low 8 bits of (from[i] x (8 - n) + to[i] x n) >> 3, for `bytes` bytes; n any number
// (the products are taken in 64 bits). `out` may be `from` or `to`.
void OverlapReference(const std::uint8_t* from, const std::uint8_t* to, std::uint8_t* out, std::size_t bytes,
                      std::int32_t n);
void Overlap(const std::uint8_t* from, const std::uint8_t* to, std::uint8_t* out, std::size_t bytes, std::int32_t n);

// Every pixel (B, G, R) of `pixels` becomes grey g = (B + G + R) / 3 in all three bytes.
void MonoToneReference(std::uint8_t* pixels, std::size_t pixelCount);
void MonoTone(std::uint8_t* pixels, std::size_t pixelCount);

// The brightness table of one channel for a percentage a in -100 ... 100: toward 255 by a % for
// a > 0 (v + a x (255 - v) / 100), toward 0 for a < 0 ((a + 100) x v / 100).
std::array<std::uint8_t, 256> ShadowTable(std::int32_t a);
// Byte 0 (blue) of every pixel through the table of percents[0], byte 1 (green) through that of
// percents[1], byte 2 (red) through that of percents[2]; percents in -100 ... 100.
void ShadowReference(std::uint8_t* pixels, std::size_t pixelCount, const std::int32_t percents[3]);
void Shadow(std::uint8_t* pixels, std::size_t pixelCount, const std::int32_t percents[3]);

} // namespace velmo::basicfx
