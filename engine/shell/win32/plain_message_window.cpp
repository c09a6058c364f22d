#include "engine/shell/win32/plain_message_window.h"

#include "engine/script/escapes.h"
#include "engine/script/sjis.h"
#include "engine/shell/engine.h"

#include <windows.h>

namespace velmo {

void PlainMessageWindow::SetMessageText(const char* line) {
  text.clear();
  // Escape bytes: a line break stays one, the other marks have no look of their own here.
  for (const char* p = line; *p != '\0'; ++p) {
    if (IsLeadByte(*p) && p[1] != '\0') {
      text += *p++;
      text += *p;
      continue;
    }
    switch (*p) {
    case 0x01:
      text += "\r\n";
      break;
    case EscBackslash:
      text += '\\';
      break;
    case EscQuote:
      text += '"';
      break;
    case EscDollar:
      text += '$';
      break;
    case EscComma:
      text += ',';
      break;
    default:
      if (*p < 0x02 || *p > 0x0A) text += *p;
    }
  }
  shown = false;
  engine.runState = RunState::TextOutput;
}

void PlainMessageWindow::OutputStep() {
  if (!shown) {
    Draw();
    shown = true;
    engine.runState = RunState::ClickWait;
    return;
  }
  // Shown and acknowledged: the line is done.
  text.clear();
  shown = false;
  engine.platform.window.PostResume();
}

void PlainMessageWindow::Draw() {
  TSurface* screen = engine.screenSurface.get();
  if (screen == nullptr || screen->Dc() == nullptr) return;
  HDC dc = static_cast<HDC>(screen->Dc());
  RECT band = {0, 360, 640, 480};
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  FillRect(dc, &band, black);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  RECT inner = {24, 376, 616, 468};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &inner, DT_WORDBREAK | DT_NOPREFIX);
  GdiFlush();
  engine.platform.window.Repaint();
}

} // namespace velmo
