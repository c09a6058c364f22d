#include "engine/platform/win32/dib_surface.h"

#include <memory>

namespace velmo {

std::unique_ptr<TSurface> DibSurface::Create() {
  std::unique_ptr<DibSurface> surface(new DibSurface());
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  if (memory == nullptr) return nullptr;
  surface->dc = memory;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = Width;
  info.bmiHeader.biHeight = -Height; // rows top to bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  surface->bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (surface->bitmap == nullptr || pixels == nullptr) return nullptr; // the destructor frees the DC
  surface->bits = static_cast<std::uint8_t*>(pixels);
  surface->oldBitmap = SelectObject(memory, surface->bitmap);
  return surface;
}

DibSurface::~DibSurface() {
  HDC memory = Hdc();
  if (memory != nullptr && oldBitmap != nullptr) SelectObject(memory, oldBitmap);
  if (bitmap != nullptr) DeleteObject(bitmap);
  if (memory != nullptr) DeleteDC(memory);
}

} // namespace velmo
