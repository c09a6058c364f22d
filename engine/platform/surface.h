#pragma once

#include "engine/base/pixel.h"

#include <cstddef>
#include <cstdint>

namespace velmo {

// An off-screen picture of 640 x 480 pixels, 24 bits each: rows top to bottom, 1,920 bytes a
// row with no gap, each pixel B, G, R; the pixel at (x, y) starts at byte (y * 640 + x) * 3. On
// Win32 the pixels are a DIB section selected into a memory DC, so GDI and plug-ins draw through
// the DC while the core reads and writes the same memory; elsewhere they are a plain buffer. The
// pixel pointer and the DC stay valid for the surface's whole life.
class TSurface {
public:
  static constexpr int Width = 640;
  static constexpr int Height = 480;
  static constexpr std::size_t Stride = Width * 3;
  static constexpr std::size_t Size = Stride * Height;

  virtual ~TSurface() = default;
  TSurface(const TSurface&) = delete;
  TSurface& operator=(const TSurface&) = delete;

  std::uint8_t* Bits() const { return bits; }
  PixelView View() const { return {bits, Width, Height}; }
  // The device context on Win32 (an HDC); nullptr elsewhere.
  void* Dc() const { return dc; }

protected:
  TSurface() = default;

  std::uint8_t* bits = nullptr;
  void* dc = nullptr;
};

} // namespace velmo
