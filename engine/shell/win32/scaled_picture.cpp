#include "engine/shell/win32/scaled_picture.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace velmo {

namespace {

void FillBlack(HDC target, int left, int top, int right, int bottom) {
  if (right <= left || bottom <= top) return;
  const RECT bar{left, top, right, bottom};
  FillRect(target, &bar, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

// The smoothed client pixels of `box`, computed into a bitmap of the box's size and copied.
void PaintSmoothed(HDC target, const PixelBox& box, const PictureRect& picture, const TSurface& shown) {
  const int width = box.right - box.left;
  const int height = box.bottom - box.top;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height; // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(target, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return;
  // Rows of a DIB are padded to four bytes.
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  ScaleSmoothly(shown.Bits(), picture, box, static_cast<std::uint8_t*>(bits), stride);
  HDC memory = CreateCompatibleDC(target);
  if (memory != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(target, box.left, box.top, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  DeleteObject(bitmap);
}

} // namespace

void PaintScaledPicture(HDC target, const RECT& update, int clientWidth, int clientHeight, const PictureRect& picture,
                        const TSurface* shown) {
  const int right = picture.left + picture.width;
  const int bottom = picture.top + picture.height;
  FillBlack(target, 0, 0, clientWidth, picture.top);
  FillBlack(target, 0, bottom, clientWidth, clientHeight);
  FillBlack(target, 0, picture.top, picture.left, bottom);
  FillBlack(target, right, picture.top, clientWidth, bottom);
  if (shown == nullptr) return;

  if (!IsWholeMultiple(picture)) {
    // Only the client pixels to be painted, within the picture.
    const PixelBox box{std::max<int>(update.left, picture.left), std::max<int>(update.top, picture.top),
                       std::min<int>(update.right, right), std::min<int>(update.bottom, bottom)};
    if (box.right > box.left && box.bottom > box.top) PaintSmoothed(target, box, picture, *shown);
    return;
  }
  // Whole blocks of pixels: only the picture pixels under the update, each copied without blending.
  const PixelBox from = PictureBoxUnder(picture, PixelBox{update.left, update.top, update.right, update.bottom});
  if (from.right <= from.left) return;
  const PixelBox to = ClientBoxOf(picture, from);
  SetStretchBltMode(target, COLORONCOLOR);
  StretchBlt(target, to.left, to.top, to.right - to.left, to.bottom - to.top, static_cast<HDC>(shown->Dc()), from.left,
             from.top, from.right - from.left, from.bottom - from.top, SRCCOPY);
}

RECT MonitorOf(HWND window) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) return info.rcMonitor;
  return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

} // namespace velmo
