#include "engine/plugin/win32/default_transition_gdi.h"

#include "engine/plugin/effect_host.h"

#include <windows.h>

namespace velmo {

namespace {

// Destination = pattern AND source OR NOT pattern AND destination.
constexpr DWORD PatternSelectsSource = 0x00CA0749;

} // namespace

int DefaultTransitionGdi(std::int64_t counter, const TSurface& to, TSurface& screen) {
  if (counter < 0 || counter >= 7) return 0;
  // A monochrome bitmap's rows are padded to 16 bits; on this little-endian machine the row's
  // byte is the first one in memory, which holds the leftmost pixels.
  WORD rows[8];
  for (int i = 0; i < 8; ++i) rows[i] = DefaultTransitionPatterns[counter][i];
  HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, rows);
  if (bitmap == nullptr) return 0;
  HBRUSH brush = CreatePatternBrush(bitmap);
  if (brush == nullptr) {
    DeleteObject(bitmap);
    return 0;
  }
  HDC screenDc = static_cast<HDC>(screen.Dc());
  // A monochrome pattern paints its 1 bits in the background colour and its 0 bits in the text
  // colour: white makes the pattern all ones where the new picture shows, black all zeros.
  const COLORREF oldText = SetTextColor(screenDc, RGB(0, 0, 0));
  const COLORREF oldBack = SetBkColor(screenDc, RGB(255, 255, 255));
  HGDIOBJ oldBrush = SelectObject(screenDc, brush);
  BitBlt(screenDc, 0, 0, TSurface::Width, TSurface::Height, static_cast<HDC>(to.Dc()), 0, 0, PatternSelectsSource);
  SelectObject(screenDc, oldBrush);
  SetBkColor(screenDc, oldBack);
  SetTextColor(screenDc, oldText);
  DeleteObject(brush);
  DeleteObject(bitmap);
  return counter < 6;
}

} // namespace velmo
