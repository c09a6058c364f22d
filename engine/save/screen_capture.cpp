#include "engine/save/screen_capture.h"

#include <cstring>

namespace velmo {
namespace {

void Put16(char* at, std::uint32_t value) {
  at[0] = static_cast<char>(value & 0xFF);
  at[1] = static_cast<char>((value >> 8) & 0xFF);
}

void Put32(char* at, std::uint32_t value) {
  Put16(at, value & 0xFFFF);
  Put16(at + 2, value >> 16);
}

} // namespace

std::string EncodeCapture(const TSurface& surface) {
  std::string file(CaptureFileSize, '\0');
  char* header = file.data();
  header[0] = 'B';
  header[1] = 'M';
  Put32(header + 2, static_cast<std::uint32_t>(CaptureFileSize));
  Put32(header + 10, 54);
  Put32(header + 14, 40);
  Put32(header + 18, TSurface::Width);
  Put32(header + 22, TSurface::Height);
  Put16(header + 26, 1);
  Put16(header + 28, 24);
  char* pixels = header + 54;
  for (int row = 0; row < TSurface::Height; ++row) {
    std::memcpy(pixels + static_cast<std::size_t>(row) * TSurface::Stride,
                surface.Bits() + static_cast<std::size_t>(TSurface::Height - 1 - row) * TSurface::Stride,
                TSurface::Stride);
  }
  return file;
}

} // namespace velmo
