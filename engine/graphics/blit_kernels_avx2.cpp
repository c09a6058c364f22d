// The AVX2 variant of DrawPicture. This file alone is compiled with -mavx2, and DrawPicture calls
// into it only when the processor has AVX2. Everything but DrawPictureAvx2 therefore has internal
// linkage, and nothing here defines or instantiates an inline function or template that another
// file could share: the linker could keep this file's AVX2 copy of it for the whole program.
#include "engine/graphics/blit_kernels_internal.h"

#include <cstring>

#include <immintrin.h>

namespace velmo::blit {
namespace {

// A block is 32 pixels, 96 bytes, in three vectors. Each vector holds two 16-byte pieces of the
// block: vector k has bytes 16k to 16k + 15 in its low lane and bytes 48 + 16k to 63 + 16k in its
// high lane. So both lanes of a vector start at the same byte of a pixel (channel k mod 3 for
// byte 0), the lane that follows a lane's bytes in memory is the same lane of vector k + 1, and
// the in-lane byte shuffles (vpalignr, vpshufb) move bytes between neighbouring pieces with the
// same control for both lanes.
//
// The weighted sums use vpmaddubsw, which multiplies unsigned bytes by signed bytes and adds
// neighbouring products into a signed 16-bit lane. The weights a and 256 - a (both 1..255) are
// the unsigned side; the pixels x, y the signed side as x - 128 and y - 128 (top bit flipped):
//   (256 - a) * (x - 128) + a * (y - 128) = (256 - a) * x + a * y - 32768,
// which lies in -32768..32512, so nothing saturates or is lost. Shifted right arithmetically by
// 8 it is the truncated result minus 128, which packs into a signed byte without saturating: the
// pixels stay in that flipped form until the end. Mask weights 0 and 256 (mask bytes 0 and 255)
// do not fit a byte; those pixels take the picture's or the surface's value as they are.

enum class Kernel { Copy, Mask, Level, MaskLevel };

// The helpers take and return vectors by value; inlined, they stay in registers.
#define ForceInline [[gnu::always_inline]] inline

constexpr int BlockPixels = 32;
constexpr int BlockBytes = BlockPixels * 3;

// vpshufb controls per vector k: byte j picks the first byte of its pixel out of the 16 bytes
// that begin k bytes before the piece (the previous piece's last k bytes, then the piece).
struct Controls {
  std::int8_t spread[3][16];
};

constexpr Controls MakeControls() {
  Controls t{};
  for (int k = 0; k < 3; ++k) {
    for (int j = 0; j < 16; ++j) t.spread[k][j] = static_cast<std::int8_t>(j - (j + k) % 3 + k);
  }
  return t;
}

alignas(16) constexpr Controls ShuffleControls = MakeControls();

ForceInline __m256i Broadcast(const std::int8_t* p) {
  return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

struct Constants {
  __m256i key[3];     // the key's bytes as they lie in vectors 0, 1, 2 of a block
  __m256i spread[3];  // the vpshufb controls
  __m256i invert;     // 0xFF bytes for an inverted mask, else 0
  __m256i levelPairs; // 256 - L and L in every pair of bytes
};

void MakeConstants(const BlitArgs& args, Constants& c) {
  alignas(16) std::int8_t key[48];
  for (int i = 0; i < 48; ++i) key[i] = static_cast<std::int8_t>(args.key >> (8 * (i % 3)));
  for (int k = 0; k < 3; ++k) {
    c.key[k] = Broadcast(key + 16 * k);
    c.spread[k] = Broadcast(ShuffleControls.spread[k]);
  }
  c.invert = args.maskInverted ? _mm256_set1_epi8(-1) : _mm256_setzero_si256();
  c.levelPairs = _mm256_set1_epi16(
      static_cast<std::int16_t>(static_cast<std::uint16_t>(args.level << 8 | ((256 - args.level) & 0xFF))));
}

ForceInline __m256i Load(const std::uint8_t* p, int k) {
  const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
  const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48 + 16 * k));
  return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
}

ForceInline void Store(std::uint8_t* p, int k, __m256i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16 * k), _mm256_castsi256_si128(v));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 48 + 16 * k), _mm256_extracti128_si256(v, 1));
}

ForceInline __m256i Flip(__m256i v) { return _mm256_xor_si256(v, _mm256_set1_epi8(-128)); }

enum class Keyed { None, All, Some };

// Which pixels of the block equal the key; `masks` gets 0xFF on every byte of those. A pixel's
// bytes are all equal where the first byte and the next two are: the next two come from the
// following piece for the pixel that ends a piece of vector 0 or 1 (vector 2 ends a pixel).
ForceInline Keyed KeyMasks(const __m256i s[3], const Constants& c, __m256i masks[3]) {
  const __m256i e0 = _mm256_cmpeq_epi8(s[0], c.key[0]);
  const __m256i e1 = _mm256_cmpeq_epi8(s[1], c.key[1]);
  const __m256i e2 = _mm256_cmpeq_epi8(s[2], c.key[2]);
  const __m256i a0 =
      _mm256_and_si256(e0, _mm256_and_si256(_mm256_alignr_epi8(e1, e0, 1), _mm256_alignr_epi8(e1, e0, 2)));
  const __m256i a1 =
      _mm256_and_si256(e1, _mm256_and_si256(_mm256_alignr_epi8(e2, e1, 1), _mm256_alignr_epi8(e2, e1, 2)));
  const __m256i a2 = _mm256_and_si256(e2, _mm256_and_si256(_mm256_bsrli_epi128(e2, 1), _mm256_bsrli_epi128(e2, 2)));
  masks[0] = _mm256_shuffle_epi8(a0, c.spread[0]);
  masks[1] = _mm256_shuffle_epi8(_mm256_alignr_epi8(a1, a0, 15), c.spread[1]);
  masks[2] = _mm256_shuffle_epi8(_mm256_alignr_epi8(a2, a1, 14), c.spread[2]);
  const __m256i any = _mm256_or_si256(_mm256_or_si256(masks[0], masks[1]), masks[2]);
  if (_mm256_testz_si256(any, any)) return Keyed::None;
  const __m256i all = _mm256_and_si256(_mm256_and_si256(masks[0], masks[1]), masks[2]);
  if (_mm256_testc_si256(all, _mm256_set1_epi8(-1))) return Keyed::All;
  return Keyed::Some;
}

// (x * (256 - a) + y * a) >> 8 minus 128, for flipped pixels x, y and weight pairs 256 - a, a.
ForceInline __m256i WeightedSum(__m256i x, __m256i y, __m256i weightsLow, __m256i weightsHigh) {
  const __m256i low = _mm256_maddubs_epi16(weightsLow, _mm256_unpacklo_epi8(x, y));
  const __m256i high = _mm256_maddubs_epi16(weightsHigh, _mm256_unpackhi_epi8(x, y));
  return _mm256_packs_epi16(_mm256_srai_epi16(low, 8), _mm256_srai_epi16(high, 8));
}

// The kernel on one vector: s and d the picture's and the surface's bytes flipped, m the mask
// byte of each byte's pixel (inverted if asked). Returns the flipped result.
template <Kernel K> ForceInline __m256i Compute(__m256i s, __m256i d, __m256i m, const Constants& c) {
  if constexpr (K == Kernel::Level) {
    return WeightedSum(s, d, c.levelPairs, c.levelPairs);
  } else {
    // Weight m for the surface, 256 - m (as a byte: -m) for the picture.
    const __m256i pictureWeight = _mm256_sub_epi8(_mm256_setzero_si256(), m);
    __m256i t = WeightedSum(s, d, _mm256_unpacklo_epi8(pictureWeight, m), _mm256_unpackhi_epi8(pictureWeight, m));
    t = _mm256_blendv_epi8(t, s, _mm256_cmpeq_epi8(m, _mm256_setzero_si256()));
    t = _mm256_blendv_epi8(t, d, _mm256_cmpeq_epi8(m, _mm256_set1_epi8(-1)));
    if constexpr (K == Kernel::Mask) {
      return t;
    } else {
      return WeightedSum(t, d, c.levelPairs, c.levelPairs);
    }
  }
}

template <Kernel K, bool IsKeyed>
ForceInline void Block(const std::uint8_t* s, const std::uint8_t* m, std::uint8_t* d, const Constants& c) {
  constexpr bool HasMask = K == Kernel::Mask || K == Kernel::MaskLevel;
  __m256i sv[3] = {};
  __m256i keyMasks[3] = {};
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
  // Vector by vector, keeping the previous mask vector for the pixel that straddles two pieces.
  __m256i previousMask = _mm256_setzero_si256();
#pragma GCC unroll 3
  for (int k = 0; k < 3; ++k) {
    const __m256i sk = IsKeyed ? sv[k] : Load(s, k);
    __m256i mk = _mm256_setzero_si256();
    if constexpr (HasMask) {
      const __m256i x = _mm256_xor_si256(Load(m, k), c.invert);
      const __m256i piece = k == 0   ? x
                            : k == 1 ? _mm256_alignr_epi8(x, previousMask, 15)
                                     : _mm256_alignr_epi8(x, previousMask, 14);
      previousMask = x;
      mk = _mm256_shuffle_epi8(piece, c.spread[k]);
    }
    const __m256i dk = Load(d, k);
    __m256i r = sk;
    if constexpr (K != Kernel::Copy) r = Flip(Compute<K>(Flip(sk), Flip(dk), mk, c));
    if constexpr (IsKeyed) {
      if (keyed == Keyed::Some) r = _mm256_blendv_epi8(r, dk, keyMasks[k]);
    }
    Store(d, k, r);
  }
}

template <Kernel K, bool IsKeyed> void Rows(const BlitArgs& args, const Constants& c) {
  constexpr bool HasMask = K == Kernel::Mask || K == Kernel::MaskLevel;
  const int blocks = args.width / BlockPixels;
  const std::size_t restBytes = static_cast<std::size_t>(args.width % BlockPixels) * 3;
  for (int y = 0; y < args.height; ++y) {
    const std::uint8_t* s = args.source + static_cast<std::size_t>(y) * args.sourceStride;
    const std::uint8_t* m = HasMask ? args.mask + static_cast<std::size_t>(y) * args.maskStride : nullptr;
    std::uint8_t* d = args.target + static_cast<std::size_t>(y) * args.targetStride;
    for (int b = 0; b < blocks; ++b) {
      Block<K, IsKeyed>(s, m, d, c);
      s += BlockBytes;
      if constexpr (HasMask) m += BlockBytes;
      d += BlockBytes;
    }
    if (restBytes != 0) {
      // The last pixels of the row go through a block of copies, so no byte outside the row is
      // read or written.
      alignas(32) std::uint8_t sb[BlockBytes] = {}, mb[BlockBytes] = {}, db[BlockBytes] = {};
      std::memcpy(sb, s, restBytes);
      if constexpr (HasMask) std::memcpy(mb, m, restBytes);
      std::memcpy(db, d, restBytes);
      Block<K, IsKeyed>(sb, mb, db, c);
      std::memcpy(d, db, restBytes);
    }
  }
}

// K3 without a key treats every byte alike: the rows are plain byte strings, 32 bytes a step.
void LevelRows(const BlitArgs& args, const Constants& c) {
  const std::size_t bytes = static_cast<std::size_t>(args.width) * 3;
  const __m256i weights = c.levelPairs;
  const auto level = [weights](__m256i s, __m256i d) { return Flip(WeightedSum(Flip(s), Flip(d), weights, weights)); };
  for (int y = 0; y < args.height; ++y) {
    const std::uint8_t* s = args.source + static_cast<std::size_t>(y) * args.sourceStride;
    std::uint8_t* d = args.target + static_cast<std::size_t>(y) * args.targetStride;
    std::size_t i = 0;
    const auto step = [&](std::size_t at) {
      const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + at));
      const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + at));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + at), level(sv, dv));
    };
    for (; i + 64 <= bytes; i += 64) {
      step(i);
      step(i + 32);
    }
    if (i + 32 <= bytes) {
      step(i);
      i += 32;
    }
    if (i < bytes) {
      alignas(32) std::uint8_t sb[32] = {}, db[32] = {};
      std::memcpy(sb, s + i, bytes - i);
      std::memcpy(db, d + i, bytes - i);
      const __m256i r = level(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(sb)),
                              _mm256_loadu_si256(reinterpret_cast<const __m256i*>(db)));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(db), r);
      std::memcpy(d + i, db, bytes - i);
    }
  }
}

template <Kernel K> void ByKey(const BlitArgs& args, const Constants& c) {
  if (args.keyed) {
    Rows<K, true>(args, c);
  } else {
    Rows<K, false>(args, c);
  }
}

#undef ForceInline

} // namespace

void DrawPictureAvx2(const BlitArgs& args) {
  if (args.width <= 0 || args.height <= 0 || args.level > 255) return;
  if (args.mask == nullptr && args.level == 0 && !args.keyed) {
    for (int y = 0; y < args.height; ++y) {
      std::memcpy(args.target + static_cast<std::size_t>(y) * args.targetStride,
                  args.source + static_cast<std::size_t>(y) * args.sourceStride,
                  static_cast<std::size_t>(args.width) * 3);
    }
    return;
  }
  Constants c;
  MakeConstants(args, c);
  if (args.mask == nullptr && args.level == 0) {
    Rows<Kernel::Copy, true>(args, c);
  } else if (args.level == 0) {
    ByKey<Kernel::Mask>(args, c);
  } else if (args.mask == nullptr) {
    if (args.keyed) {
      Rows<Kernel::Level, true>(args, c);
    } else {
      LevelRows(args, c);
    }
  } else {
    ByKey<Kernel::MaskLevel>(args, c);
  }
}

} // namespace velmo::blit
