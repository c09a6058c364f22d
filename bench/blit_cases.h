#pragma once

// The cases of the pixel kernel benchmarks, shared by the Google Benchmark program and the plain
// timing program of the Windows build: a whole 640 x 480 picture drawn onto a 640 x 480 surface
// with each kernel, three ways:
//   reference  DrawPictureReference (TransparentCopyReference), the per-pixel formula;
//   ours       DrawPicture (TransparentCopy), as the engine calls it;
//   floor      a loop with the kernel's loads and stores and no arithmetic (an or or a xor to use
//              the loaded bytes): the memory limit of that access pattern.
// The colour-keyed picture is a textured ellipse on a key-coloured background (about 30 % of the
// pixels are the key); the text layer is black with white strokes in glyph cells on five lines.
#include "engine/graphics/blit_kernels.h"
#include "engine/graphics/blit_kernels_internal.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace velmo::bench {

constexpr int FrameWidth = 640;
constexpr int FrameHeight = 480;
constexpr std::size_t FrameStride = FrameWidth * 3;
constexpr std::size_t FrameBytes = FrameStride * FrameHeight;

enum class BlitKind { Copy, Mask, Level, MaskLevel, KeyedCopy, TextCopy };

struct BlitCase {
  const char* name;
  BlitKind kind;
};

inline constexpr BlitCase BlitCases[] = {
    {"K1", BlitKind::Copy},
    {"K2", BlitKind::Mask},
    {"K3", BlitKind::Level},
    {"K4", BlitKind::MaskLevel},
    {"KeyedCopy", BlitKind::KeyedCopy},
    {"TextCopy", BlitKind::TextCopy},
};

// A frame-sized buffer starting on a 64-byte boundary.
class FrameBuffer {
public:
  FrameBuffer() : storage(FrameBytes + 64) {
    const auto address = reinterpret_cast<std::uintptr_t>(storage.data());
    data = storage.data() + ((64 - address % 64) % 64);
  }
  FrameBuffer(const FrameBuffer&) = delete;
  FrameBuffer& operator=(const FrameBuffer&) = delete;
  std::uint8_t* Data() { return data; }

private:
  std::vector<std::uint8_t> storage;
  std::uint8_t* data;
};

namespace floor_loops {

// One row: dest = source | mask ^ dest, in the widest loads the processor has.
template <bool HasMask, bool ReadTarget>
inline void RowScalar(const std::uint8_t* s, const std::uint8_t* m, std::uint8_t* d, std::size_t from, std::size_t n) {
  for (std::size_t i = from; i < n; ++i) {
    std::uint8_t v = s[i];
    if (HasMask) v |= m[i];
    if (ReadTarget) v ^= d[i];
    d[i] = v;
  }
}

#if defined(__SSE2__)
template <bool HasMask, bool ReadTarget>
inline void RowSse2(const std::uint8_t* s, const std::uint8_t* m, std::uint8_t* d, std::size_t n) {
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    if (HasMask) v = _mm_or_si128(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + i)));
    if (ReadTarget) v = _mm_xor_si128(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), v);
  }
  RowScalar<HasMask, ReadTarget>(s, m, d, i, n);
}

template <bool HasMask, bool ReadTarget> __attribute__((target("avx2"))) void
RowAvx2(const std::uint8_t* s, const std::uint8_t* m, std::uint8_t* d, std::size_t n) {
  std::size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    if (HasMask) v = _mm256_or_si256(v, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(m + i)));
    if (ReadTarget) v = _mm256_xor_si256(v, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), v);
  }
  RowScalar<HasMask, ReadTarget>(s, m, d, i, n);
}
#endif

template <bool HasMask, bool ReadTarget>
void Frame(const std::uint8_t* s, const std::uint8_t* m, std::uint8_t* d, bool avx2) {
  for (int y = 0; y < FrameHeight; ++y) {
    const std::size_t offset = static_cast<std::size_t>(y) * FrameStride;
#if defined(__SSE2__)
    if (avx2) {
      RowAvx2<HasMask, ReadTarget>(s + offset, HasMask ? m + offset : nullptr, d + offset, FrameWidth * 3);
    } else {
      RowSse2<HasMask, ReadTarget>(s + offset, HasMask ? m + offset : nullptr, d + offset, FrameWidth * 3);
    }
#else
    (void)avx2;
    RowScalar<HasMask, ReadTarget>(s + offset, HasMask ? m + offset : nullptr, d + offset, 0, FrameWidth * 3);
#endif
  }
}

} // namespace floor_loops

// The buffers and arguments of one case.
class BlitScene {
public:
  explicit BlitScene(BlitKind kind_) : kind(kind_) {
    std::mt19937 random(1234);
    std::uint8_t* s = source.Data();
    std::uint8_t* m = mask.Data();
    std::uint8_t* d = target.Data();
    for (std::size_t i = 0; i < FrameBytes; ++i) {
      s[i] = static_cast<std::uint8_t>(random());
      d[i] = static_cast<std::uint8_t>(random());
    }
    // A soft-edged mask: a diagonal ramp with some noise.
    for (int y = 0; y < FrameHeight; ++y) {
      for (int x = 0; x < FrameWidth; ++x) {
        const int value = (x + y) * 255 / (FrameWidth + FrameHeight) + static_cast<int>(random() % 16);
        std::memset(m + y * FrameStride + x * 3, value > 255 ? 255 : value, 3);
      }
    }
    if (kind == BlitKind::KeyedCopy) {
      // The key (magenta) outside an ellipse that covers about 70 % of the frame.
      for (int y = 0; y < FrameHeight; ++y) {
        for (int x = 0; x < FrameWidth; ++x) {
          const double dx = (x - FrameWidth / 2.0) / (FrameWidth * 0.47);
          const double dy = (y - FrameHeight / 2.0) / (FrameHeight * 0.47);
          if (dx * dx + dy * dy > 1.0) SetPixel(s, x, y, Key);
        }
      }
    } else if (kind == BlitKind::TextCopy) {
      std::memset(s, 0, FrameBytes);
      // Five lines of 26 glyph cells of 22 x 22 pixels, each with a few strokes two pixels wide.
      for (int line = 0; line < 5; ++line) {
        for (int cell = 0; cell < 26; ++cell) {
          const int left = 20 + cell * 23, top = 340 + line * 27;
          for (int stroke = 0; stroke < 3; ++stroke) {
            const bool across = random() % 2 == 0;
            const int at = static_cast<int>(random() % 20);
            for (int i = 0; i < 22; ++i) {
              for (int w = 0; w < 2; ++w) {
                SetPixel(s, across ? left + i : left + at + w, across ? top + at + w : top + i, 0xFFFFFF);
              }
            }
          }
        }
      }
    }
    args.source = s;
    args.sourceStride = FrameStride;
    args.target = d;
    args.targetStride = FrameStride;
    args.width = FrameWidth;
    args.height = FrameHeight;
    if (kind == BlitKind::Mask || kind == BlitKind::MaskLevel) {
      args.mask = m;
      args.maskStride = FrameStride;
    }
    if (kind == BlitKind::Level || kind == BlitKind::MaskLevel) args.level = 100;
    if (kind == BlitKind::KeyedCopy) {
      args.keyed = true;
      args.key = Key;
    }
  }

  // The share of picture pixels that equal the key of the case (0 without a key).
  double KeyedShare() const {
    if (kind != BlitKind::KeyedCopy && kind != BlitKind::TextCopy) return 0;
    const std::uint8_t* s = args.source;
    const std::uint32_t key = kind == BlitKind::KeyedCopy ? Key : Value(s);
    std::size_t count = 0;
    for (std::size_t i = 0; i < FrameBytes; i += 3) count += Value(s + i) == key ? 1 : 0;
    return static_cast<double>(count) / (FrameWidth * FrameHeight);
  }

  void Reference() {
    if (kind == BlitKind::TextCopy) {
      TransparentCopyReference(args.source, args.sourceStride, args.target, args.targetStride, args.width, args.height);
    } else {
      DrawPictureReference(args);
    }
  }

  void Ours() {
    if (kind == BlitKind::TextCopy) {
      TransparentCopy(args.source, args.sourceStride, args.target, args.targetStride, args.width, args.height);
    } else {
      DrawPicture(args);
    }
  }

  // The SSE2 variant whatever the processor has (the text copy is a keyed copy).
  void Sse2() {
    BlitArgs a = args;
    if (kind == BlitKind::TextCopy) {
      a.keyed = true;
      a.key = Value(a.source);
    }
    blit::DrawPictureSse2(a);
  }

  void Floor() {
    const bool avx2 = blit::Avx2Available();
    switch (kind) {
    case BlitKind::Copy:
      floor_loops::Frame<false, false>(args.source, nullptr, args.target, avx2);
      break;
    case BlitKind::Level:
    case BlitKind::KeyedCopy:
    case BlitKind::TextCopy:
      floor_loops::Frame<false, true>(args.source, nullptr, args.target, avx2);
      break;
    case BlitKind::Mask:
    case BlitKind::MaskLevel:
      floor_loops::Frame<true, true>(args.source, args.mask, args.target, avx2);
      break;
    }
  }

private:
  static constexpr std::uint32_t Key = 0xFF00FF;

  static void SetPixel(std::uint8_t* p, int x, int y, std::uint32_t colour) {
    std::uint8_t* at = p + y * FrameStride + x * 3;
    at[0] = static_cast<std::uint8_t>(colour);
    at[1] = static_cast<std::uint8_t>(colour >> 8);
    at[2] = static_cast<std::uint8_t>(colour >> 16);
  }
  static std::uint32_t Value(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16;
  }

  BlitKind kind;
  FrameBuffer source, mask, target;
  BlitArgs args;
};

} // namespace velmo::bench
