// The whole-frame kernels against their formulas: every weight of the cross-fade (also those no
// host passes, whose products leave 32 bits), every pixel sum of monotone and every table of
// SHADOW, at every place in the kernels' blocks, with lengths and starts that leave tails.
#include "plugins/basicfx/basicfx_kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <vector>

namespace velmo {
namespace {

std::vector<std::uint8_t> RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 generator(seed);
  std::vector<std::uint8_t> bytes(size);
  for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(generator());
  return bytes;
}

TEST(BasicfxKernelsTest, OverlapEqualsTheFormulaForEveryWeight) {
  const std::vector<std::uint8_t> from = RandomBytes(1000, 1), to = RandomBytes(1000, 2);
  for (std::int32_t n : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, -1, -3, 100000, INT_MAX, INT_MIN}) {
    for (std::size_t start : {0u, 1u, 7u}) {
      for (std::size_t bytes : std::vector<std::size_t>{0, 1, 31, 32, 33, 999 - start}) {
        std::vector<std::uint8_t> expected(bytes), got(bytes);
        basicfx::OverlapReference(from.data() + start, to.data() + start, expected.data(), bytes, n);
        basicfx::Overlap(from.data() + start, to.data() + start, got.data(), bytes, n);
        EXPECT_EQ(got, expected) << "n " << n << " start " << start << " bytes " << bytes;
      }
    }
    // The formula itself, for one byte pair: products in 64 bits, the low 8 bits of the shift.
    const std::uint8_t f = 200, t = 17;
    std::uint8_t out = 0;
    basicfx::OverlapReference(&f, &t, &out, 1, n);
    EXPECT_EQ(out, static_cast<std::uint8_t>((200 * (8 - std::int64_t{n}) + 17 * std::int64_t{n}) >> 3)) << n;
  }
}

TEST(BasicfxKernelsTest, MonoToneEqualsTheFormulaForEverySumAndPlace) {
  // Every sum 0 ... 765 at each of the 16 pixel places of a block, then random pixels.
  std::vector<std::uint8_t> pixels;
  for (int sum = 0; sum <= 765; ++sum) {
    for (int place = 0; place < 16; ++place) {
      const int b = std::min(sum, 255), g = std::min(sum - b, 255), r = sum - b - g;
      const int rotation = place % 3;
      const std::uint8_t bytes[3] = {static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g),
                                     static_cast<std::uint8_t>(r)};
      for (int c = 0; c < 3; ++c) pixels.push_back(bytes[(c + rotation) % 3]);
    }
  }
  const std::vector<std::uint8_t> noise = RandomBytes(3 * 1001, 3);
  pixels.insert(pixels.end(), noise.begin(), noise.end());
  for (std::size_t startPixel : {0u, 1u, 5u}) {
    for (std::size_t count : std::vector<std::size_t>{0, 15, 16, 17, 33, pixels.size() / 3 - startPixel}) {
      std::vector<std::uint8_t> expected = pixels, got = pixels;
      basicfx::MonoToneReference(expected.data() + startPixel * 3, count);
      basicfx::MonoTone(got.data() + startPixel * 3, count);
      EXPECT_EQ(got, expected) << "start " << startPixel << " count " << count;
    }
  }
}

TEST(BasicfxKernelsTest, ShadowEqualsItsTablesForEveryPercentage) {
  // Every byte value in every channel at every place of a block.
  std::vector<std::uint8_t> pixels;
  for (int v = 0; v < 256; ++v) {
    for (int place = 0; place < 48; ++place) pixels.push_back(static_cast<std::uint8_t>(v + place));
  }
  for (std::int32_t a = -100; a <= 100; ++a) {
    const std::int32_t percents[3] = {a, -a, a / 2 - 25};
    std::vector<std::uint8_t> expected = pixels, got = pixels;
    basicfx::ShadowReference(expected.data(), expected.size() / 3, percents);
    basicfx::Shadow(got.data(), got.size() / 3, percents);
    ASSERT_EQ(got, expected) << a;
  }
  const std::int32_t odd[3] = {37, -64, 100};
  for (std::size_t startPixel : {0u, 1u, 2u}) {
    std::vector<std::uint8_t> expected = pixels, got = pixels;
    const std::size_t count = pixels.size() / 3 - startPixel - 7;
    basicfx::ShadowReference(expected.data() + startPixel * 3, count, odd);
    basicfx::Shadow(got.data() + startPixel * 3, count, odd);
    EXPECT_EQ(got, expected) << startPixel;
  }
}

TEST(BasicfxKernelsTest, ShadowTablesBrightenAndDarkenByTheirPercentage) {
  const struct {
    std::int32_t a;
    int v, expected;
  } cases[] = {{0, 77, 77},    {100, 0, 255},  {-100, 255, 0}, {-50, 201, 100}, {50, 0, 127},
               {50, 255, 255}, {150, 10, 255}, {-150, 10, 0},  {1, 0, 2},       {-1, 255, 252}};
  for (const auto& c : cases) EXPECT_EQ(basicfx::ShadowTable(c.a)[static_cast<std::size_t>(c.v)], c.expected) << c.a;
}

} // namespace
} // namespace velmo
