#include "engine/shell/win32/scaled_picture.h"

namespace velmo {

namespace {

void FillBlack(HDC target, int left, int top, int right, int bottom) {
  if (right <= left || bottom <= top) return;
  const RECT bar{left, top, right, bottom};
  FillRect(target, &bar, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

} // namespace

void PaintScaledPicture(HDC target, const RECT& update, int clientWidth, int clientHeight, const PictureRect& picture,
                        HDC source) {
  const int right = picture.left + picture.width;
  const int bottom = picture.top + picture.height;
  FillBlack(target, 0, 0, clientWidth, picture.top);
  FillBlack(target, 0, bottom, clientWidth, clientHeight);
  FillBlack(target, 0, picture.top, picture.left, bottom);
  FillBlack(target, right, picture.top, clientWidth, bottom);
  if (source == nullptr) return;

  if (!IsWholeMultiple(picture)) {
    // Smoothed: the whole picture at once (the update region clips it), so that the blending at
    // the edges of the painted part is the same as everywhere else.
    SetStretchBltMode(target, HALFTONE);
    SetBrushOrgEx(target, 0, 0, nullptr);
    StretchBlt(target, picture.left, picture.top, picture.width, picture.height, source, 0, 0, PictureWidth,
               PictureHeight, SRCCOPY);
    return;
  }
  // Whole blocks of pixels: only the picture pixels under the update, each copied without blending.
  const PixelBox from = PictureBoxUnder(picture, PixelBox{update.left, update.top, update.right, update.bottom});
  if (from.right <= from.left) return;
  const PixelBox to = ClientBoxOf(picture, from);
  SetStretchBltMode(target, COLORONCOLOR);
  StretchBlt(target, to.left, to.top, to.right - to.left, to.bottom - to.top, source, from.left, from.top,
             from.right - from.left, from.bottom - from.top, SRCCOPY);
}

RECT MonitorOf(HWND window) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) return info.rcMonitor;
  return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

} // namespace velmo
