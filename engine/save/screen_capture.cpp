#include "engine/save/screen_capture.h"

#include "engine/base/format.h"
#include "engine/graphics/screen.h"
#include "engine/platform/platform.h"

#include <cstring>
#include <new>

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

const TSurface* ShownSurface(const Screen& screen, RunState state) {
  if (state == RunState::MessageHidden) return screen.baseSurface.get();
  if (state == RunState::Flashback && screen.flashback.Shown() != nullptr) return screen.flashback.Shown();
  return screen.screenSurface.get();
}

bool WriteCapture(IFileSystem& files, IGraphics& graphics, const TSurface& shown, std::string_view path) {
  graphics.Flush();
  try {
    return files.WriteFileAtomically(path, EncodeCapture(shown));
  } catch (const std::bad_alloc&) {
    return false;
  }
}

std::string AutoCaptureName(const LocalTime& time, std::uint32_t clockMs) {
  return FormatText("%04d%02d%02d-%02d%02d%02d-%03u.bmp", time.year, time.month, time.day, time.hour, time.minute,
                    time.second, clockMs % 1000);
}

std::string CaptureAuto(IFileSystem& files, IClock& clock, IGraphics& graphics, const TSurface& shown) {
  const LocalTime time = clock.Now();
  const std::uint32_t ms = clock.NowMs();
  for (std::uint32_t next = 0; next < 1000; ++next) {
    std::string name = AutoCaptureName(time, ms % 1000 + next);
    if (files.Exists(name)) continue;
    return WriteCapture(files, graphics, shown, name) ? name : std::string();
  }
  return {};
}

} // namespace velmo
