#include "engine/graphics/blit_kernels.h"

#include "engine/graphics/blit_kernels_internal.h"
#include "engine/graphics/pixels.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velmo {

void DrawPictureReference(const BlitArgs& args) {
  const std::uint32_t level = args.level;
  for (int y = 0; y < args.height; ++y) {
    const std::uint8_t* source = args.source + static_cast<std::size_t>(y) * args.sourceStride;
    const std::uint8_t* mask =
        args.mask != nullptr ? args.mask + static_cast<std::size_t>(y) * args.maskStride : nullptr;
    std::uint8_t* target = args.target + static_cast<std::size_t>(y) * args.targetStride;
    for (int x = 0; x < args.width; ++x) {
      const std::uint8_t* s = source + x * 3;
      std::uint8_t* d = target + x * 3;
      if (args.keyed && PixelKey(s) == args.key) continue;
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

void TransparentCopyReference(const std::uint8_t* source, std::size_t sourceStride, std::uint8_t* target,
                              std::size_t targetStride, int width, int height) {
  if (width <= 0 || height <= 0) return;
  const std::uint32_t key = PixelKey(source);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* s = source + static_cast<std::size_t>(y) * sourceStride;
    std::uint8_t* d = target + static_cast<std::size_t>(y) * targetStride;
    for (int x = 0; x < width; ++x) {
      if (PixelKey(s + x * 3) == key) continue;
      d[x * 3] = s[x * 3];
      d[x * 3 + 1] = s[x * 3 + 1];
      d[x * 3 + 2] = s[x * 3 + 2];
    }
  }
}

namespace blit {
namespace {

#if defined(__SSE2__)

// The SSE2 variant works on blocks of 16 pixels, 48 bytes, held in three registers. A pixel's
// bytes are B, G, R at offsets 3i, 3i + 1, 3i + 2 of the block, so register k (bytes 16k to
// 16k + 15) starts in the middle of a pixel for k = 1 and 2: its byte j belongs to channel
// (16k + j) mod 3. The arithmetic runs in 16-bit lanes, the even bytes of a register apart from
// the odd ones, so no byte ever changes its place: the results of both halves are or-ed together.
//
// Weighted sums, with x, y bytes and a weight a of 0..256:
//   (x * (256 - a) + y * a) >> 8 = ((x << 8) + (y - x) * a) >> 8, computed modulo 2^16: the true
//   value lies in 0..65280, so the truncated 16-bit sum is exact and a logical shift divides it.
//   For the level L (1..255) the signed high product mulhi(y - x, L << 8 as a signed 16-bit
//   value) is floor((y - x) * L / 256) for L < 128, so the sum is x plus it; for L >= 128 the
//   constant reads as -(256 - L) * 256 and the sum is y + floor((x - y) * (256 - L) / 256).

enum class Kernel { Copy, Mask, Level, MaskLevel };

// The helpers take and return vectors by value; inlined, they stay in registers.
#define ForceInline [[gnu::always_inline]] inline

constexpr int BlockPixels = 16;
constexpr int BlockBytes = BlockPixels * 3;

// 0xFF at the first byte of each pixel of a block.
alignas(16) constexpr std::uint8_t PixelStarts[BlockBytes] = {
    0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0,
    0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0};

struct Constants {
  __m128i key[3]; // the key's bytes as they lie in registers 0, 1, 2 of a block
  __m128i starts[3];
  __m128i invert; // 0xFF bytes for an inverted mask, else 0
  __m128i level;  // L << 8 in every 16-bit lane
};

Constants MakeConstants(const BlitArgs& args) {
  Constants c;
  alignas(16) std::uint8_t key[BlockBytes];
  for (int i = 0; i < BlockBytes; ++i) key[i] = static_cast<std::uint8_t>(args.key >> (8 * (i % 3)));
  for (int k = 0; k < 3; ++k) {
    c.key[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(key + 16 * k));
    c.starts[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(PixelStarts + 16 * k));
  }
  c.invert = args.maskInverted ? _mm_set1_epi8(-1) : _mm_setzero_si128();
  c.level = _mm_set1_epi16(static_cast<std::int16_t>(static_cast<std::uint16_t>(args.level << 8)));
  return c;
}

ForceInline __m128i Load(const std::uint8_t* p, int k) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
}
ForceInline void Store(std::uint8_t* p, int k, __m128i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16 * k), v);
}

ForceInline __m128i Even(__m128i v) { return _mm_and_si128(v, _mm_set1_epi16(0x00FF)); }
ForceInline __m128i Odd(__m128i v) { return _mm_srli_epi16(v, 8); }

// Byte i of the result is 0xFF when bit i of `bits` is set.
ForceInline __m128i ExpandBits(std::uint32_t bits) {
  __m128i v = _mm_cvtsi32_si128(static_cast<int>(bits));
  v = _mm_unpacklo_epi8(v, v);  // b0 b0 b1 b1
  v = _mm_unpacklo_epi16(v, v); // b0 x4, b1 x4
  v = _mm_unpacklo_epi32(v, v); // b0 x8, b1 x8
  const __m128i select = _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
  return _mm_cmpeq_epi8(_mm_and_si128(v, select), select);
}

enum class Keyed { None, All, Some };

// Which pixels of the block equal the key. For Some, `masks` gets 0xFF on every byte of those.
// The byte compares go to bit masks, in two 32-bit words (bytes 0 to 31 and 16 to 47) so that a
// 32-bit build needs no 64-bit arithmetic: pixels 0 to 9 (first bytes 0 to 27) are judged in the
// first, pixels 10 to 15 (first bytes 30 to 45) in the second.
ForceInline Keyed KeyMasks(const __m128i s[3], const Constants& c, __m128i masks[3]) {
  const auto bits = [&](int k) {
    return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(s[k], c.key[k])));
  };
  const std::uint32_t b0 = bits(0), b1 = bits(1), b2 = bits(2);
  const std::uint32_t low = b0 | b1 << 16, high = b1 | b2 << 16;
  constexpr std::uint32_t LowStarts = 0x09249249, HighStarts = 0x24924000;
  std::uint32_t keyedLow = low & low >> 1 & low >> 2 & LowStarts;
  std::uint32_t keyedHigh = high & high >> 1 & high >> 2 & HighStarts;
  if ((keyedLow | keyedHigh) == 0) return Keyed::None;
  if (keyedLow == LowStarts && keyedHigh == HighStarts) return Keyed::All;
  keyedLow |= keyedLow << 1 | keyedLow << 2;
  keyedHigh |= keyedHigh << 1 | keyedHigh << 2;
  masks[0] = ExpandBits(keyedLow & 0xFFFF);
  masks[1] = ExpandBits(keyedLow >> 16 | (keyedHigh & 0xFFFF));
  masks[2] = ExpandBits(keyedHigh >> 16);
  return Keyed::Some;
}

// The first byte of each pixel of register k of the mask (inverted if asked) copied to all three
// bytes of the pixel. `carry` brings in the first byte of the pixel that the previous register
// ends with: it lands in bytes 0 and 1 of register 1 and in byte 0 of register 2.
ForceInline __m128i SpreadMask(__m128i m, int k, __m128i& carry, const Constants& c) {
  const __m128i a = _mm_and_si128(_mm_xor_si128(m, c.invert), c.starts[k]);
  __m128i w = _mm_or_si128(a, _mm_or_si128(_mm_slli_si128(a, 1), _mm_slli_si128(a, 2)));
  if (k == 1) {
    const __m128i last = _mm_srli_si128(carry, 15);
    w = _mm_or_si128(w, _mm_or_si128(last, _mm_slli_si128(last, 1)));
  } else if (k == 2) {
    w = _mm_or_si128(w, _mm_srli_si128(carry, 14));
  }
  carry = a;
  return w;
}

// Mask values 0..255 in 16-bit lanes to weights: 255 becomes 256.
ForceInline __m128i Weight(__m128i m) { return _mm_sub_epi16(m, _mm_cmpeq_epi16(m, _mm_set1_epi16(0x00FF))); }

// (x * (256 - w) + y * w) >> 8 for 16-bit lanes x, y of 0..255, given x << 8.
ForceInline __m128i MaskSum(__m128i xShifted, __m128i x, __m128i y, __m128i w) {
  return _mm_srli_epi16(_mm_add_epi16(xShifted, _mm_mullo_epi16(_mm_sub_epi16(y, x), w)), 8);
}

// ((256 - L) * x + L * y) >> 8 for 16-bit lanes x, y of 0..255.
template <bool HighLevel> ForceInline __m128i LevelSum(__m128i x, __m128i y, __m128i level) {
  const __m128i step = _mm_mulhi_epi16(_mm_sub_epi16(y, x), level);
  return _mm_add_epi16(HighLevel ? y : x, step);
}

ForceInline __m128i Combine(__m128i even, __m128i odd) { return _mm_or_si128(even, _mm_slli_epi16(odd, 8)); }

template <bool HighLevel> ForceInline __m128i LevelBytes(__m128i s, __m128i d, __m128i level) {
  return Combine(LevelSum<HighLevel>(Even(s), Even(d), level), LevelSum<HighLevel>(Odd(s), Odd(d), level));
}

// The kernel on one register of picture bytes s, destination bytes d and spread mask bytes m.
template <Kernel K, bool HighLevel> ForceInline __m128i Compute(__m128i s, __m128i d, __m128i m, const Constants& c) {
  if constexpr (K == Kernel::Level) {
    return LevelBytes<HighLevel>(s, d, c.level);
  } else {
    const __m128i high = _mm_set1_epi16(static_cast<std::int16_t>(0xFF00));
    const __m128i se = Even(s), so = Odd(s), de = Even(d), dOdd = Odd(d);
    const __m128i we = Weight(Even(m)), wo = Weight(Odd(m));
    const __m128i te = MaskSum(_mm_slli_epi16(s, 8), se, de, we);
    if constexpr (K == Kernel::Mask) {
      const __m128i to =
          _mm_and_si128(_mm_add_epi16(_mm_and_si128(s, high), _mm_mullo_epi16(_mm_sub_epi16(dOdd, so), wo)), high);
      return _mm_or_si128(te, to);
    } else {
      const __m128i to = MaskSum(_mm_and_si128(s, high), so, dOdd, wo);
      return Combine(LevelSum<HighLevel>(te, de, c.level), LevelSum<HighLevel>(to, dOdd, c.level));
    }
  }
}

// d where `mask` is set, else r.
ForceInline __m128i Select(__m128i r, __m128i d, __m128i mask) {
  return _mm_xor_si128(r, _mm_and_si128(_mm_xor_si128(r, d), mask));
}

template <Kernel K, bool IsKeyed, bool HighLevel>
ForceInline void Block(const std::uint8_t* s, const std::uint8_t* m, std::uint8_t* d, const Constants& c) {
  constexpr bool HasMask = K == Kernel::Mask || K == Kernel::MaskLevel;
  __m128i sv[3] = {};
  __m128i keyMasks[3] = {};
  Keyed keyed = Keyed::None;
  if constexpr (IsKeyed) {
    sv[0] = Load(s, 0);
    sv[1] = Load(s, 1);
    sv[2] = Load(s, 2);
    keyed = KeyMasks(sv, c, keyMasks);
    if (keyed == Keyed::All) return;
    if (K == Kernel::Copy && keyed == Keyed::None) {
      Store(d, 0, sv[0]);
      Store(d, 1, sv[1]);
      Store(d, 2, sv[2]);
      return;
    }
  }
  // Register by register, carrying the previous mask register for the pixel that straddles two.
  __m128i carry = _mm_setzero_si128();
#pragma GCC unroll 3
  for (int k = 0; k < 3; ++k) {
    const __m128i sk = IsKeyed ? sv[k] : Load(s, k);
    const __m128i mk = HasMask ? SpreadMask(Load(m, k), k, carry, c) : _mm_setzero_si128();
    const __m128i dk = Load(d, k);
    __m128i r = sk;
    if constexpr (K != Kernel::Copy) r = Compute<K, HighLevel>(sk, dk, mk, c);
    if constexpr (IsKeyed) {
      if (keyed == Keyed::Some) r = Select(r, dk, keyMasks[k]);
    }
    Store(d, k, r);
  }
}

template <Kernel K, bool IsKeyed, bool HighLevel> void Rows(const BlitArgs& args, const Constants& c) {
  constexpr bool HasMask = K == Kernel::Mask || K == Kernel::MaskLevel;
  const int blocks = args.width / BlockPixels;
  const std::size_t restBytes = static_cast<std::size_t>(args.width % BlockPixels) * 3;
  for (int y = 0; y < args.height; ++y) {
    const std::uint8_t* s = args.source + static_cast<std::size_t>(y) * args.sourceStride;
    const std::uint8_t* m = HasMask ? args.mask + static_cast<std::size_t>(y) * args.maskStride : nullptr;
    std::uint8_t* d = args.target + static_cast<std::size_t>(y) * args.targetStride;
    for (int b = 0; b < blocks; ++b) {
      Block<K, IsKeyed, HighLevel>(s, m, d, c);
      s += BlockBytes;
      if constexpr (HasMask) m += BlockBytes;
      d += BlockBytes;
    }
    if (restBytes != 0) {
      // The last pixels of the row go through a block of copies, so no byte outside the row is
      // read or written.
      alignas(16) std::uint8_t sb[BlockBytes] = {}, mb[BlockBytes] = {}, db[BlockBytes] = {};
      std::memcpy(sb, s, restBytes);
      if constexpr (HasMask) std::memcpy(mb, m, restBytes);
      std::memcpy(db, d, restBytes);
      Block<K, IsKeyed, HighLevel>(sb, mb, db, c);
      std::memcpy(d, db, restBytes);
    }
  }
}

// K3 without a key treats every byte alike: the rows are plain byte strings, 16 bytes a step.
template <bool HighLevel> void LevelRows(const BlitArgs& args, const Constants& c) {
  const std::size_t bytes = static_cast<std::size_t>(args.width) * 3;
  const __m128i level = c.level;
  for (int y = 0; y < args.height; ++y) {
    const std::uint8_t* s = args.source + static_cast<std::size_t>(y) * args.sourceStride;
    std::uint8_t* d = args.target + static_cast<std::size_t>(y) * args.targetStride;
    std::size_t i = 0;
    for (; i + 16 <= bytes; i += 16) Store(d + i, 0, LevelBytes<HighLevel>(Load(s + i, 0), Load(d + i, 0), level));
    if (i < bytes) {
      alignas(16) std::uint8_t sb[16] = {}, db[16] = {};
      std::memcpy(sb, s + i, bytes - i);
      std::memcpy(db, d + i, bytes - i);
      Store(db, 0, LevelBytes<HighLevel>(Load(sb, 0), Load(db, 0), level));
      std::memcpy(d + i, db, bytes - i);
    }
  }
}

template <Kernel K, bool HighLevel> void ByKey(const BlitArgs& args, const Constants& c) {
  if (args.keyed) {
    Rows<K, true, HighLevel>(args, c);
  } else if constexpr (K == Kernel::Level) {
    LevelRows<HighLevel>(args, c);
  } else {
    Rows<K, false, HighLevel>(args, c);
  }
}

template <Kernel K> void ByLevel(const BlitArgs& args, const Constants& c) {
  if (args.level >= 128) {
    ByKey<K, true>(args, c);
  } else {
    ByKey<K, false>(args, c);
  }
}

#undef ForceInline

#endif // __SSE2__

} // namespace

void DrawPictureSse2(const BlitArgs& args) {
  if (args.width <= 0 || args.height <= 0 || args.level > 255) return;
  if (args.mask == nullptr && args.level == 0 && !args.keyed) {
    for (int y = 0; y < args.height; ++y) {
      std::memcpy(args.target + static_cast<std::size_t>(y) * args.targetStride,
                  args.source + static_cast<std::size_t>(y) * args.sourceStride,
                  static_cast<std::size_t>(args.width) * 3);
    }
    return;
  }
#if defined(__SSE2__)
  const Constants c = MakeConstants(args);
  if (args.mask == nullptr && args.level == 0) {
    Rows<Kernel::Copy, true, false>(args, c);
  } else if (args.level == 0) {
    ByKey<Kernel::Mask, false>(args, c);
  } else if (args.mask == nullptr) {
    ByLevel<Kernel::Level>(args, c);
  } else {
    ByLevel<Kernel::MaskLevel>(args, c);
  }
#else
  DrawPictureReference(args);
#endif
}

#if !defined(VELMO_BLIT_AVX2)
void DrawPictureAvx2(const BlitArgs& args) { DrawPictureSse2(args); }
#endif

bool Avx2Available() {
#if defined(VELMO_BLIT_AVX2)
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

} // namespace blit

void DrawPicture(const BlitArgs& args) {
  static const bool avx2 = blit::Avx2Available();
  if (avx2) {
    blit::DrawPictureAvx2(args);
  } else {
    blit::DrawPictureSse2(args);
  }
}

void TransparentCopy(const std::uint8_t* source, std::size_t sourceStride, std::uint8_t* target,
                     std::size_t targetStride, int width, int height) {
  if (width <= 0 || height <= 0) return;
  CopyKeyed(source, sourceStride, target, targetStride, width, height, PixelKey(source));
}

void CopyKeyed(const std::uint8_t* source, std::size_t sourceStride, std::uint8_t* target, std::size_t targetStride,
               int width, int height, std::uint32_t key) {
  BlitArgs args;
  args.source = source;
  args.sourceStride = sourceStride;
  args.target = target;
  args.targetStride = targetStride;
  args.width = width;
  args.height = height;
  args.keyed = true;
  args.key = key;
  DrawPicture(args);
}

} // namespace velmo
