// The layer-compositing kernels: hand-computed pixels for each kernel, then the SSE2 and AVX2
// variants (and DrawPicture's own choice) against the per-pixel reference on random pictures,
// masks, keys, levels, sizes, strides and positions, with guard bytes around the drawn rectangle.
// Sources and masks end exactly where their last row ends, so AddressSanitizer reports a read
// past them.
#include "engine/graphics/blit_kernels.h"

#include "engine/graphics/blit_kernels_internal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace velmo {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Bgr {
  std::uint8_t b = 0, g = 0, r = 0;
  bool operator==(const Bgr&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Bgr& p) {
  return out << "(" << int{p.b} << ", " << int{p.g} << ", " << int{p.r} << ")";
}

void Put(std::uint8_t* p, Bgr c) {
  p[0] = c.b;
  p[1] = c.g;
  p[2] = c.r;
}
Bgr Get(const std::uint8_t* p) { return Bgr{p[0], p[1], p[2]}; }

std::uint32_t KeyOf(Bgr c) {
  return static_cast<std::uint32_t>(c.b) | static_cast<std::uint32_t>(c.g) << 8 | static_cast<std::uint32_t>(c.r) << 16;
}

using DrawFunction = void (*)(const BlitArgs&);

struct Path {
  const char* name;
  DrawFunction draw;
  bool needsAvx2;
};

void PrintTo(const Path& path, std::ostream* out) { *out << path.name; }

const Path Paths[] = {
    {"Dispatched", DrawPicture, false},
    {"Sse2", blit::DrawPictureSse2, false},
    {"Avx2", blit::DrawPictureAvx2, true},
};

class BlitKernelTest : public testing::TestWithParam<Path> {
protected:
  void SetUp() override {
    if (GetParam().needsAvx2 && !blit::Avx2Available()) GTEST_SKIP() << "the processor has no AVX2";
  }
  void Draw(const BlitArgs& args) const { GetParam().draw(args); }
};

INSTANTIATE_TEST_SUITE_P(Variants, BlitKernelTest, testing::ValuesIn(Paths),
                         [](const testing::TestParamInfo<Path>& tested) { return std::string(tested.param.name); });

// --- Hand-computed pixels ---------------------------------------------------------------------

// 37 pixels a row: more than one block of either variant, and a partial block at the end.
constexpr int UniformWidth = 37;
constexpr int UniformHeight = 2;

// Draws a picture of one colour through a mask of one colour (none if `mask` is null) onto a
// surface of another colour, and returns the surface's pixels after checking they all agree.
struct Uniform {
  Bgr source;
  Bgr target;
  const Bgr* mask = nullptr;
  bool inverted = false;
  std::uint32_t level = 0;
};

Bgr DrawUniform(DrawFunction draw, const Uniform& u) {
  const std::size_t stride = UniformWidth * 3;
  Bytes source(stride * UniformHeight), mask(stride * UniformHeight), target(stride * UniformHeight);
  for (std::size_t i = 0; i < source.size(); i += 3) {
    Put(&source[i], u.source);
    Put(&target[i], u.target);
    if (u.mask != nullptr) Put(&mask[i], *u.mask);
  }
  BlitArgs args;
  args.source = source.data();
  args.sourceStride = stride;
  args.mask = u.mask != nullptr ? mask.data() : nullptr;
  args.maskStride = stride;
  args.maskInverted = u.inverted;
  args.target = target.data();
  args.targetStride = stride;
  args.width = UniformWidth;
  args.height = UniformHeight;
  args.level = u.level;
  draw(args);
  const Bgr first = Get(&target[0]);
  for (std::size_t i = 3; i < target.size(); i += 3) {
    EXPECT_EQ(Get(&target[i]), first) << "pixel " << i / 3;
  }
  return first;
}

const Bgr S{10, 100, 250};
const Bgr D{200, 50, 3};

TEST_P(BlitKernelTest, CopyWithoutMaskOrLevelTakesThePicture) { EXPECT_EQ(DrawUniform(GetParam().draw, {S, D}), S); }

TEST_P(BlitKernelTest, GreyMaskOfHalfMixesEvenly) {
  const Bgr grey{128, 128, 128};
  // (d * 128 + s * 128) >> 8
  EXPECT_EQ(DrawUniform(GetParam().draw, {S, D, &grey}), (Bgr{105, 75, 126}));
}

TEST_P(BlitKernelTest, InvertedGreyMaskWeighsTheSurface127) {
  const Bgr grey{128, 128, 128};
  // w = 255 - 128 = 127: (d * 127 + s * 129) >> 8
  EXPECT_EQ(DrawUniform(GetParam().draw, {S, D, &grey, true}), (Bgr{104, 75, 127}));
}

TEST_P(BlitKernelTest, MaskOf255KeepsTheSurfaceAnd254LetsTwo256thsThrough) {
  const Bgr full{255, 255, 255}, almost{254, 254, 254}, none{0, 0, 0};
  EXPECT_EQ(DrawUniform(GetParam().draw, {S, D, &full}), D);
  // (d * 254 + s * 2) >> 8
  EXPECT_EQ(DrawUniform(GetParam().draw, {S, D, &almost}), (Bgr{198, 50, 4}));
  EXPECT_EQ(DrawUniform(GetParam().draw, {S, D, &none}), S);
  // Inverted, 0 weighs 256 and 255 weighs 0.
  EXPECT_EQ(DrawUniform(GetParam().draw, {S, D, &none, true}), D);
  EXPECT_EQ(DrawUniform(GetParam().draw, {S, D, &full, true}), S);
}

TEST_P(BlitKernelTest, OnlyTheMasksFirstByteCounts) {
  const Bgr blueHalf{128, 0, 255};
  EXPECT_EQ(DrawUniform(GetParam().draw, {S, D, &blueHalf}), (Bgr{105, 75, 126}));
  const Bgr blueOpaque{255, 7, 9};
  EXPECT_EQ(DrawUniform(GetParam().draw, {S, D, &blueOpaque}), D);
}

TEST_P(BlitKernelTest, LevelBlendsThePictureWithTheSurface) {
  // ((256 - L) * s + L * d) >> 8
  EXPECT_EQ(DrawUniform(GetParam().draw, {S, D, nullptr, false, 1}), (Bgr{10, 99, 249}));
  EXPECT_EQ(DrawUniform(GetParam().draw, {S, D, nullptr, false, 64}), (Bgr{57, 87, 188}));
  EXPECT_EQ(DrawUniform(GetParam().draw, {S, D, nullptr, false, 127}), (Bgr{104, 75, 127}));
  EXPECT_EQ(DrawUniform(GetParam().draw, {S, D, nullptr, false, 128}), (Bgr{105, 75, 126}));
  EXPECT_EQ(DrawUniform(GetParam().draw, {S, D, nullptr, false, 200}), (Bgr{158, 60, 57}));
  EXPECT_EQ(DrawUniform(GetParam().draw, {S, D, nullptr, false, 255}), (Bgr{199, 50, 3}));
}

TEST_P(BlitKernelTest, MaskAndLevelBlendTheMaskedPictureWithTheSurface) {
  const Bgr grey{128, 128, 128};
  // t = (s * 128 + d * 128) >> 8 = (105, 75, 126), then ((256 - L) * t + L * d) >> 8
  EXPECT_EQ(DrawUniform(GetParam().draw, {S, D, &grey, false, 64}), (Bgr{128, 68, 95}));
  EXPECT_EQ(DrawUniform(GetParam().draw, {S, D, &grey, false, 200}), (Bgr{179, 55, 29}));
  const Bgr full{255, 255, 255};
  EXPECT_EQ(DrawUniform(GetParam().draw, {S, D, &full, false, 64}), D);
}

// A row of 40 pixels: the key colour at every third pixel and in a run of 9 at 20..28, colours
// that differ from it in one byte elsewhere.
struct KeyedRow {
  static constexpr int Width = 40;
  Bytes source = Bytes(Width * 3);
  Bytes target = Bytes(Width * 3);
  std::vector<bool> keyed = std::vector<bool>(Width);

  KeyedRow(Bgr key, Bgr surface) {
    const Bgr nearKeys[3] = {{static_cast<std::uint8_t>(key.b ^ 1), key.g, key.r},
                             {key.b, static_cast<std::uint8_t>(key.g ^ 0x80), key.r},
                             {key.b, key.g, static_cast<std::uint8_t>(key.r + 1)}};
    for (int x = 0; x < Width; ++x) {
      keyed[x] = x % 3 == 0 || (x >= 20 && x <= 28);
      Put(&source[x * 3], keyed[x] ? key : nearKeys[x % 3]);
      Put(&target[x * 3], surface);
    }
  }
};

TEST_P(BlitKernelTest, ColourKeySkipsOnlyPixelsEqualToItInAllThreeBytes) {
  const Bgr key{0x12, 0x34, 0x56};
  KeyedRow row(key, D);
  BlitArgs args;
  args.source = row.source.data();
  args.sourceStride = row.source.size();
  args.target = row.target.data();
  args.targetStride = row.target.size();
  args.width = KeyedRow::Width;
  args.height = 1;
  args.keyed = true;
  args.key = KeyOf(key);
  Draw(args);
  for (int x = 0; x < KeyedRow::Width; ++x) {
    EXPECT_EQ(Get(&row.target[x * 3]), row.keyed[x] ? D : Get(&row.source[x * 3])) << "pixel " << x;
  }
}

TEST_P(BlitKernelTest, ColourKeySkipsPixelsBeforeMaskAndLevel) {
  const Bgr key{200, 0, 100};
  KeyedRow row(key, D);
  Bytes mask(row.source.size(), 128);
  BlitArgs args;
  args.source = row.source.data();
  args.sourceStride = row.source.size();
  args.mask = mask.data();
  args.maskStride = mask.size();
  args.target = row.target.data();
  args.targetStride = row.target.size();
  args.width = KeyedRow::Width;
  args.height = 1;
  args.level = 64;
  args.keyed = true;
  args.key = KeyOf(key);
  Draw(args);
  for (int x = 0; x < KeyedRow::Width; ++x) {
    const Bgr s = Get(&row.source[x * 3]);
    Bgr expected = D;
    if (!row.keyed[x]) {
      const auto blend = [](int sc, int dc) {
        const int t = (sc * 128 + dc * 128) >> 8;
        return static_cast<std::uint8_t>((192 * t + 64 * dc) >> 8);
      };
      expected = Bgr{blend(s.b, D.b), blend(s.g, D.g), blend(s.r, D.r)};
    }
    EXPECT_EQ(Get(&row.target[x * 3]), expected) << "pixel " << x;
  }
}

// --- The transparent copy of text layers --------------------------------------------------------

TEST(BlitTransparentCopyTest, BlackTopLeftMakesEveryBlackPixelTransparent) {
  constexpr int Width = 45, Height = 3;
  const Bgr black{0, 0, 0};
  const Bgr almostBlack[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  const Bgr white{255, 255, 255};
  const Bgr surface{30, 60, 90};
  Bytes source(Width * 3 * Height), target(Width * 3 * Height);
  std::vector<bool> transparent(Width * Height);
  for (int i = 0; i < Width * Height; ++i) {
    // Black at the top-left, in a run in the middle row and at every fourth pixel.
    transparent[i] = i == 0 || i % 4 == 0 || (i >= Width + 10 && i < Width + 30);
    Put(&source[i * 3], transparent[i] ? black : i % 3 == 0 ? white : almostBlack[i % 3]);
    Put(&target[i * 3], surface);
  }
  TransparentCopy(source.data(), Width * 3, target.data(), Width * 3, Width, Height);
  for (int i = 0; i < Width * Height; ++i) {
    EXPECT_EQ(Get(&target[i * 3]), transparent[i] ? surface : Get(&source[i * 3])) << "pixel " << i;
  }
}

TEST(BlitTransparentCopyTest, KeyIsTheColourOfTheFirstPixel) {
  constexpr int Width = 20;
  const Bgr first{9, 8, 7};
  Bytes source(Width * 3), target(Width * 3, 0x55);
  for (int x = 0; x < Width; ++x) Put(&source[x * 3], x % 2 == 0 ? first : Bgr{0, 0, 0});
  TransparentCopy(source.data(), Width * 3, target.data(), Width * 3, Width, 1);
  const Bgr untouched{0x55, 0x55, 0x55}, black{0, 0, 0};
  for (int x = 0; x < Width; ++x) EXPECT_EQ(Get(&target[x * 3]), x % 2 == 0 ? untouched : black) << "pixel " << x;
}

// --- Random comparisons with the reference ------------------------------------------------------

// A buffer of pixels whose w x h rectangle starts `left` pixels and `top` rows in; the buffer ends
// exactly with the rectangle's last pixel unless `after` bytes follow it.
struct Picture {
  Bytes bytes;
  std::size_t stride = 0;
  std::size_t start = 0;

  Picture(int left, int top, int width, int height, std::size_t stride_, std::size_t after)
      : stride(stride_), start(static_cast<std::size_t>(top) * stride_ + static_cast<std::size_t>(left) * 3) {
    bytes.resize(start + static_cast<std::size_t>(height - 1) * stride + static_cast<std::size_t>(width) * 3 + after);
  }
  std::uint8_t* At(int x, int y) { return bytes.data() + start + static_cast<std::size_t>(y) * stride + x * 3; }
};

struct RandomCase {
  int width = 1, height = 1;
  bool mask = false, inverted = false, keyed = false;
  std::uint32_t level = 0;
};

std::string Describe(const RandomCase& c, std::uint32_t seed) {
  std::ostringstream out;
  out << "width " << c.width << " height " << c.height << " mask " << c.mask << " inverted " << c.inverted << " keyed "
      << c.keyed << " level " << c.level << " seed " << seed;
  return out.str();
}

// Draws the case with `draw` and with the reference on random data, and checks the two surfaces
// are equal and that nothing outside the rectangle changed.
void CompareWithReference(DrawFunction draw, const RandomCase& c, std::uint32_t seed) {
  SCOPED_TRACE(Describe(c, seed));
  std::mt19937 random(seed);
  const auto uniform = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  const auto byte = [&uniform] { return static_cast<std::uint8_t>(uniform(0, 255)); };

  // Source and mask: sometimes a rectangle inside a larger picture, sometimes at its very start.
  const int sourceLeft = uniform(0, 1) != 0 ? uniform(0, 5) : 0;
  const int sourceTop = uniform(0, 1) != 0 ? uniform(0, 2) : 0;
  const std::size_t sourceStride = static_cast<std::size_t>(sourceLeft + c.width) * 3 + uniform(0, 1) * uniform(0, 9);
  Picture source(sourceLeft, sourceTop, c.width, c.height, sourceStride, 0);
  const int maskLeft = uniform(0, 3);
  const std::size_t maskStride = static_cast<std::size_t>(maskLeft + c.width) * 3 + uniform(0, 6);
  Picture mask(maskLeft, 0, c.width, c.height, maskStride, 0);
  // The target: guard pixels left and right and a guard row above and below.
  const int guardLeft = uniform(1, 4), guardRight = uniform(1, 4);
  const std::size_t targetStride =
      uniform(0, 3) == 0 ? 1920 : static_cast<std::size_t>(guardLeft + c.width + guardRight) * 3 + uniform(0, 5);
  Picture target(guardLeft, 1, c.width, c.height + 1, targetStride, static_cast<std::size_t>(guardRight) * 3);

  for (auto& b : source.bytes) b = byte();
  for (auto& b : mask.bytes) b = byte();
  for (auto& b : target.bytes) b = byte();

  const Bgr key{byte(), byte(), byte()};
  for (int y = 0; y < c.height; ++y) {
    // Rows of only keyed pixels, rows without any and mixed rows.
    const int keyRow = c.keyed ? uniform(0, 3) : 3;
    const int maskRow = uniform(0, 4);
    for (int x = 0; x < c.width; ++x) {
      std::uint8_t* s = source.At(x, y);
      if (keyRow == 0 || (keyRow == 1 && uniform(0, 2) == 0)) {
        Put(s, key);
      } else if (keyRow != 3 && uniform(0, 3) == 0) {
        Put(s, key); // then one byte off the key
        s[uniform(0, 2)] ^= static_cast<std::uint8_t>(1 << uniform(0, 7));
      }
      // Masks of the extreme values, which weigh 0, 1, 255 or 256, in some rows or pixels.
      std::uint8_t* m = mask.At(x, y);
      if (maskRow == 0 || (maskRow == 1 && uniform(0, 1) == 0)) {
        static const std::uint8_t Extremes[] = {0, 1, 254, 255};
        m[0] = Extremes[uniform(0, 3)];
      }
    }
  }

  BlitArgs args;
  args.source = source.At(0, 0);
  args.sourceStride = source.stride;
  args.mask = c.mask ? mask.At(0, 0) : nullptr;
  args.maskStride = mask.stride;
  args.maskInverted = c.inverted;
  args.target = target.At(0, 0);
  args.targetStride = target.stride;
  args.width = c.width;
  args.height = c.height;
  args.level = c.level;
  args.keyed = c.keyed;
  args.key = KeyOf(key);

  const Bytes before = target.bytes;
  draw(args);
  const Bytes drawn = target.bytes;
  target.bytes = before;
  DrawPictureReference(args);
  const Bytes& expected = target.bytes;

  int differences = 0;
  for (std::size_t i = 0; i < drawn.size() && differences < 5; ++i) {
    const std::size_t offset = i - std::min(i, target.start);
    const bool inside = i >= target.start && offset / target.stride < static_cast<std::size_t>(c.height) &&
                        offset % target.stride < static_cast<std::size_t>(c.width) * 3;
    if (!inside && drawn[i] != before[i]) {
      ADD_FAILURE() << "byte " << i << " outside the rectangle changed";
      ++differences;
    } else if (drawn[i] != expected[i]) {
      ADD_FAILURE() << "pixel (" << offset % target.stride / 3 << ", " << offset / target.stride << ") channel "
                    << offset % target.stride % 3 << ": " << int{drawn[i]} << ", reference " << int{expected[i]};
      ++differences;
    }
  }
}

std::uint32_t RandomLevel(std::mt19937& random) {
  static const std::uint32_t Edges[] = {1, 2, 127, 128, 129, 254, 255};
  if (std::uniform_int_distribution<int>(0, 2)(random) == 0) {
    return Edges[std::uniform_int_distribution<int>(0, 6)(random)];
  }
  return static_cast<std::uint32_t>(std::uniform_int_distribution<int>(1, 255)(random));
}

TEST_P(BlitKernelTest, MatchesTheReferenceForEveryWidthUpTo70) {
  std::mt19937 random(20240611);
  for (int width = 1; width <= 70; ++width) {
    for (int kernel = 0; kernel < 4; ++kernel) {
      for (int keyed = 0; keyed < 2; ++keyed) {
        RandomCase c;
        c.width = width;
        c.height = std::uniform_int_distribution<int>(1, 4)(random);
        c.mask = kernel == 1 || kernel == 3;
        c.inverted = c.mask && std::uniform_int_distribution<int>(0, 1)(random) != 0;
        c.level = kernel >= 2 ? RandomLevel(random) : 0;
        c.keyed = keyed != 0;
        CompareWithReference(GetParam().draw, c, static_cast<std::uint32_t>(random()));
        if (HasFailure()) return;
      }
    }
  }
}

TEST_P(BlitKernelTest, MatchesTheReferenceOnRandomCases) {
  std::mt19937 random(77);
  for (int i = 0; i < 300; ++i) {
    RandomCase c;
    c.width = std::uniform_int_distribution<int>(1, 200)(random);
    c.height = std::uniform_int_distribution<int>(1, 6)(random);
    c.mask = std::uniform_int_distribution<int>(0, 1)(random) != 0;
    c.inverted = c.mask && std::uniform_int_distribution<int>(0, 1)(random) != 0;
    c.level = std::uniform_int_distribution<int>(0, 1)(random) != 0 ? RandomLevel(random) : 0;
    c.keyed = std::uniform_int_distribution<int>(0, 1)(random) != 0;
    CompareWithReference(GetParam().draw, c, static_cast<std::uint32_t>(random()));
    if (HasFailure()) return;
  }
}

TEST_P(BlitKernelTest, MatchesTheReferenceOnEveryLevel) {
  std::mt19937 random(4096);
  for (std::uint32_t level = 1; level <= 255; ++level) {
    RandomCase c;
    c.width = 35;
    c.height = 1;
    c.mask = level % 2 == 0;
    c.inverted = level % 4 == 0;
    c.level = level;
    CompareWithReference(GetParam().draw, c, static_cast<std::uint32_t>(random()));
    if (HasFailure()) return;
  }
}

TEST_P(BlitKernelTest, MatchesTheReferenceOnWholeSurfaceRows) {
  std::mt19937 random(640);
  for (int kernel = 0; kernel < 4; ++kernel) {
    RandomCase c;
    c.width = 640;
    c.height = 8;
    c.mask = kernel == 1 || kernel == 3;
    c.level = kernel >= 2 ? RandomLevel(random) : 0;
    c.keyed = kernel != 1;
    CompareWithReference(GetParam().draw, c, static_cast<std::uint32_t>(random()));
  }
}

TEST_P(BlitKernelTest, EmptyRectanglesDrawNothing) {
  Bytes source(30, 1), target(30, 2);
  BlitArgs args;
  args.source = source.data();
  args.sourceStride = 30;
  args.target = target.data();
  args.targetStride = 30;
  args.width = 0;
  args.height = 1;
  Draw(args);
  args.width = 10;
  args.height = 0;
  Draw(args);
  EXPECT_EQ(target, Bytes(30, 2));
}

} // namespace
} // namespace velmo
