#include "engine/media/win32/win32_media.h"

#include <mmsystem.h>
#include <vfw.h>

#include <string>

namespace velmo {

OpenFailure Win32MovieWindow::Load(std::string_view file) {
  Close();
  const std::string name(file);
  if (GetFileAttributesA(name.c_str()) == INVALID_FILE_ATTRIBUTES) return OpenFailure::Missing;
  if (window.hwnd == nullptr) return OpenFailure::NoDevice;
  movie = MCIWndCreateA(window.hwnd, GetModuleHandleA(nullptr),
                        WS_CHILD | MCIWNDF_NOERRORDLG | MCIWNDF_NOTIFYMODE | MCIWNDF_NOMENU | MCIWNDF_NOPLAYBAR,
                        name.c_str());
  if (movie == nullptr) return OpenFailure::NoDevice;
  // Some systems show the window on their own when it has a parent: it stays hidden until played.
  ShowWindow(movie, SW_HIDE);
  // A file the window cannot play still leaves a window: it goes again.
  if (SendMessageA(movie, MCIWNDM_CAN_PLAY, 0, 0) == 0) {
    Close();
    return OpenFailure::Missing;
  }
  return OpenFailure::None;
}

bool Win32MovieWindow::Play(int x, int y, int width, int height) {
  if (movie == nullptr) return false;
  // The movie takes its own size in picture pixels; the window shows the picture scaled, and the
  // movie with it.
  const bool ownSize = width == 0 && height == 0;
  if (ownSize) {
    RECT source = {};
    SendMessageA(movie, MCIWNDM_GET_SOURCE, 0, reinterpret_cast<LPARAM>(&source));
    width = source.right - source.left;
    height = source.bottom - source.top;
  }
  const PixelBox shown = ScaledBox(window.picture, PixelBox{x, y, x + width, y + height});
  // Its own size on a picture at x1 (or a size the movie cannot tell) is left as it is.
  const bool scaled = !ownSize || (!(window.picture == WindowPicture(1)) && width > 0 && height > 0);
  SetWindowPos(movie, HWND_BOTTOM, shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top,
               SWP_NOACTIVATE | (scaled ? 0 : SWP_NOSIZE));
  if (scaled) {
    RECT destination = {0, 0, shown.right - shown.left, shown.bottom - shown.top};
    SendMessageA(movie, MCIWNDM_PUT_DEST, 0, reinterpret_cast<LPARAM>(&destination));
  }
  ShowWindow(movie, SW_SHOW);
  UpdateWindow(movie);
  return Replay();
}

bool Win32MovieWindow::Replay() { return movie != nullptr && SendMessageA(movie, MCIWNDM_PLAYFROM, 0, 0) == 0; }

void Win32MovieWindow::Close() {
  if (movie == nullptr) return;
  HWND closing = movie;
  movie = nullptr;
  ShowWindow(closing, SW_HIDE);
  SendMessageA(closing, MCI_CLOSE, 0, 0);
  SendMessageA(closing, WM_CLOSE, 0, 0);
  if (IsWindow(closing)) DestroyWindow(closing);
}

} // namespace velmo
