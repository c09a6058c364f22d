#include "plugins/basicfx/basicfx_kernels.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velmo::basicfx {

namespace {

std::int32_t ClampPercent(std::int32_t a) { return std::clamp<std::int32_t>(a, -100, 100); }

#if defined(__SSE2__)

inline __m128i Load(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store(std::uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// 16 bytes of the cross-fade for a weight n of 0 ... 8, as from + (to - from) x n / 8 rounded
// down: (from x (8 - n) + to x n) >> 3 is 8 from + (to - from) x n shifted, and 8 from leaves
// the shift whole. One multiplication per eight bytes.
inline __m128i OverlapBytes(__m128i from, __m128i to, __m128i weight) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i fromLo = _mm_unpacklo_epi8(from, zero), fromHi = _mm_unpackhi_epi8(from, zero);
  const __m128i lo = _mm_srai_epi16(_mm_mullo_epi16(_mm_sub_epi16(_mm_unpacklo_epi8(to, zero), fromLo), weight), 3);
  const __m128i hi = _mm_srai_epi16(_mm_mullo_epi16(_mm_sub_epi16(_mm_unpackhi_epi8(to, zero), fromHi), weight), 3);
  return _mm_packus_epi16(_mm_add_epi16(fromLo, lo), _mm_add_epi16(fromHi, hi));
}

// 16 bytes for any other weight: the weights and sums modulo 2^16 still carry the exact bits
// 3 ... 10 of the sum, which are the bits the result keeps.
inline __m128i OverlapBytesWrapping(__m128i from, __m128i to, __m128i fromWeight, __m128i toWeight) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lowByte = _mm_set1_epi16(0xFF);
  __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(from, zero), fromWeight),
                             _mm_mullo_epi16(_mm_unpacklo_epi8(to, zero), toWeight));
  __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(from, zero), fromWeight),
                             _mm_mullo_epi16(_mm_unpackhi_epi8(to, zero), toWeight));
  lo = _mm_and_si128(_mm_srli_epi16(lo, 3), lowByte);
  hi = _mm_and_si128(_mm_srli_epi16(hi, 3), lowByte);
  return _mm_packus_epi16(lo, hi);
}

std::size_t OverlapSse2(const std::uint8_t* from, const std::uint8_t* to, std::uint8_t* out, std::size_t bytes,
                        std::int32_t n) {
  std::size_t i = 0;
  if (n >= 0 && n <= 8) {
    const __m128i weight = _mm_set1_epi16(static_cast<short>(n));
    for (; i + 32 <= bytes; i += 32) {
      const __m128i a = OverlapBytes(Load(from + i), Load(to + i), weight);
      const __m128i b = OverlapBytes(Load(from + i + 16), Load(to + i + 16), weight);
      Store(out + i, a);
      Store(out + i + 16, b);
    }
    return i;
  }
  const __m128i wf = _mm_set1_epi16(static_cast<short>(static_cast<std::uint16_t>(8u - static_cast<std::uint32_t>(n))));
  const __m128i wt = _mm_set1_epi16(static_cast<short>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(n))));
  for (; i + 16 <= bytes; i += 16) Store(out + i, OverlapBytesWrapping(Load(from + i), Load(to + i), wf, wt));
  return i;
}

// Which bytes of each of the three 16-byte registers of a 16-pixel block are a pixel's first,
// second and third byte: Phase[j][p] has 0xFF at byte i when (16 j + i) mod 3 = p.
struct PhaseMasks {
  alignas(16) std::uint8_t bytes[3][3][16];
};

constexpr PhaseMasks MakePhaseMasks() {
  PhaseMasks masks{};
  for (int j = 0; j < 3; ++j) {
    for (int i = 0; i < 16; ++i) masks.bytes[j][(16 * j + i) % 3][i] = 0xFF;
  }
  return masks;
}

constexpr PhaseMasks Phase = MakePhaseMasks();

inline __m128i PhaseMask(int j, int p) { return _mm_load_si128(reinterpret_cast<const __m128i*>(Phase.bytes[j][p])); }

// The grey bytes of register j of a block, from the block's bytes loaded at offsets -2 ... 2
// around it. A byte's pixel sum is its own byte plus two neighbours chosen by its phase:
// phase 0 takes +1 and +2, phase 1 takes +1 and -1, phase 2 takes -1 and -2. The sum (at most
// 765) is divided by 3 as (sum x 0x5556) >> 16, which is exact for sums below 32,766.
inline __m128i GreyBytes(int j, __m128i m2, __m128i m1, __m128i p0, __m128i p1, __m128i p2) {
  const __m128i phase0 = PhaseMask(j, 0), phase1 = PhaseMask(j, 1), phase2 = PhaseMask(j, 2);
  const __m128i first = _mm_or_si128(_mm_and_si128(phase2, m1), _mm_andnot_si128(phase2, p1));
  const __m128i second =
      _mm_or_si128(_mm_or_si128(_mm_and_si128(phase0, p2), _mm_and_si128(phase1, m1)), _mm_and_si128(phase2, m2));
  const __m128i zero = _mm_setzero_si128();
  const __m128i third = _mm_set1_epi16(0x5556);
  __m128i lo = _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(p0, zero), _mm_unpacklo_epi8(first, zero)),
                             _mm_unpacklo_epi8(second, zero));
  __m128i hi = _mm_add_epi16(_mm_add_epi16(_mm_unpackhi_epi8(p0, zero), _mm_unpackhi_epi8(first, zero)),
                             _mm_unpackhi_epi8(second, zero));
  return _mm_packus_epi16(_mm_mulhi_epu16(lo, third), _mm_mulhi_epu16(hi, third));
}

// The 16 pixels at `p`. Every load comes before the first store, because the loads around one
// register reach into its neighbours, which are changed in place. At the block's ends the bytes
// one and two places off are shifted in from the register itself rather than loaded: no pixel
// reaches over the block's edges, and a load that overlapped the previous block's last store
// would have to wait for it.
inline void MonoToneBlock(std::uint8_t* p) {
  const __m128i a0 = Load(p), a1 = Load(p + 1), a2 = Load(p + 2);
  const __m128i b0 = Load(p + 16), bm2 = Load(p + 14), bm1 = Load(p + 15), b1 = Load(p + 17), b2 = Load(p + 18);
  const __m128i c0 = Load(p + 32), cm2 = Load(p + 30), cm1 = Load(p + 31);
  const __m128i g0 = GreyBytes(0, _mm_slli_si128(a0, 2), _mm_slli_si128(a0, 1), a0, a1, a2);
  const __m128i g1 = GreyBytes(1, bm2, bm1, b0, b1, b2);
  const __m128i g2 = GreyBytes(2, cm2, cm1, c0, _mm_srli_si128(c0, 1), _mm_srli_si128(c0, 2));
  Store(p, g0);
  Store(p + 16, g1);
  Store(p + 32, g2);
}

#endif

} // namespace

void OverlapReference(const std::uint8_t* from, const std::uint8_t* to, std::uint8_t* out, std::size_t bytes,
                      std::int32_t n) {
  const std::int64_t fromWeight = 8 - std::int64_t{n}, toWeight = n;
  for (std::size_t i = 0; i < bytes; ++i)
    out[i] = static_cast<std::uint8_t>((from[i] * fromWeight + to[i] * toWeight) >> 3);
}

void Overlap(const std::uint8_t* from, const std::uint8_t* to, std::uint8_t* out, std::size_t bytes, std::int32_t n) {
  std::size_t done = 0;
#if defined(__SSE2__)
  done = OverlapSse2(from, to, out, bytes, n);
#endif
  OverlapReference(from + done, to + done, out + done, bytes - done, n);
}

void MonoToneReference(std::uint8_t* pixels, std::size_t pixelCount) {
  for (std::size_t i = 0; i < pixelCount; ++i) {
    std::uint8_t* p = pixels + i * 3;
    const auto g = static_cast<std::uint8_t>((p[0] + p[1] + p[2]) / 3);
    p[0] = p[1] = p[2] = g;
  }
}

void MonoTone(std::uint8_t* pixels, std::size_t pixelCount) {
  std::size_t done = 0;
#if defined(__SSE2__)
  for (; done + 16 <= pixelCount; done += 16) MonoToneBlock(pixels + done * 3);
#endif
  MonoToneReference(pixels + done * 3, pixelCount - done);
}

std::array<std::uint8_t, 256> ShadowTable(std::int32_t a) {
  a = ClampPercent(a);
  std::array<std::uint8_t, 256> table{};
  for (std::int32_t v = 0; v < 256; ++v) {
    table[static_cast<std::size_t>(v)] =
        static_cast<std::uint8_t>(a > 0 ? (100 * v + a * (255 - v)) / 100 : (a + 100) * v / 100);
  }
  return table;
}

void ShadowReference(std::uint8_t* pixels, std::size_t pixelCount, const std::int32_t percents[3]) {
  const std::array<std::uint8_t, 256> tables[3] = {ShadowTable(percents[0]), ShadowTable(percents[1]),
                                                   ShadowTable(percents[2])};
  for (std::size_t i = 0; i < pixelCount; ++i) {
    std::uint8_t* p = pixels + i * 3;
    for (int c = 0; c < 3; ++c) p[c] = tables[c][p[c]];
  }
}

void Shadow(std::uint8_t* pixels, std::size_t pixelCount, const std::int32_t percents[3]) {
  std::size_t done = 0;
#if defined(__SSE2__)
  // Each table is base + (c x u) / 100 for a byte u: darkening (a < 0) has c = a + 100, u = v and
  // base 0; brightening (0 < a < 100) has c = a, u = 255 - v and base v. The division is
  // (u x ceil(c x 65536 / 100)) >> 16, exact for every u below 256 (the rounding adds less than
  // u / 65536, and (c x u) / 100 is at least 1/100 below the next whole number). a = 0 keeps v and
  // a = 100 gives 255, both with no product at all. Per byte: u = v xor flip, then the product in
  // 16-bit lanes, then base = (v and keep) or fill, added as bytes (the sum never passes 255).
  struct Channel {
    std::uint8_t flip, keep, fill;
    std::uint16_t multiplier;
  };
  Channel channels[3];
  for (int c = 0; c < 3; ++c) {
    const std::int32_t a = ClampPercent(percents[c]);
    const auto multiplier = [](std::int32_t k) { return static_cast<std::uint16_t>((k * 65536 + 99) / 100); };
    if (a == 100) {
      channels[c] = {0, 0, 0xFF, 0};
    } else if (a > 0) {
      channels[c] = {0xFF, 0xFF, 0, multiplier(a)};
    } else if (a == 0) {
      channels[c] = {0, 0xFF, 0, 0};
    } else {
      channels[c] = {0, 0, 0, multiplier(a + 100)};
    }
  }
  alignas(16) std::uint8_t flip[3][16], keep[3][16], fill[3][16];
  alignas(16) std::uint16_t multiplier[6][8];
  for (int i = 0; i < 48; ++i) {
    const Channel& channel = channels[i % 3];
    flip[i / 16][i % 16] = channel.flip;
    keep[i / 16][i % 16] = channel.keep;
    fill[i / 16][i % 16] = channel.fill;
    multiplier[i / 8][i % 8] = channel.multiplier;
  }
  const auto vector = [](const void* p) { return _mm_load_si128(static_cast<const __m128i*>(p)); };
  const __m128i zero = _mm_setzero_si128();
  const std::size_t bytes = pixelCount * 3;
  for (std::size_t at = 0; at + 48 <= bytes; at += 48, done += 16) {
    for (int j = 0; j < 3; ++j) {
      const __m128i v = Load(pixels + at + 16 * j);
      const __m128i u = _mm_xor_si128(v, vector(flip[j]));
      const __m128i lo = _mm_mulhi_epu16(_mm_unpacklo_epi8(u, zero), vector(multiplier[2 * j]));
      const __m128i hi = _mm_mulhi_epu16(_mm_unpackhi_epi8(u, zero), vector(multiplier[2 * j + 1]));
      const __m128i base = _mm_or_si128(_mm_and_si128(v, vector(keep[j])), vector(fill[j]));
      Store(pixels + at + 16 * j, _mm_add_epi8(_mm_packus_epi16(lo, hi), base));
    }
  }
#endif
  ShadowReference(pixels + done * 3, pixelCount - done, percents);
}

} // namespace velmo::basicfx
