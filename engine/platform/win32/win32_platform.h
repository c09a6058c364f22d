#pragma once

#include "engine/platform/display_layout.h"
#include "engine/platform/platform.h"

#include <windows.h>

#include <memory>

namespace velmo {

// The private window messages. UM_RESUME carries the ticket of the wait it ends in its first
// parameter; the others are posted with both parameters 0.
inline constexpr UINT UM_STARTUP = WM_USER + 1;
inline constexpr UINT UM_RESUME = WM_USER + 3;
inline constexpr UINT UM_SHUTDOWN = WM_USER + 4;

// A message box owned by `owner` (a dialog, which it disables while it is open).
MessageAnswer ShowOwnedMessageBox(HWND owner, std::string_view text, std::string_view caption, MessageButtons buttons,
                                  MessageIcon icon);
// The message boxes of a dialog, as the engine's dialog logic shows them.
MessageBoxFunction OwnedMessageBoxes(HWND owner);

// timeGetTime and the local time.
class Win32Clock : public IClock {
public:
  std::uint32_t NowMs() override;
  LocalTime Now() override;
};

// The main window as the core sees it, as far as the system gives it; the menus, the engine's
// dialogs and the display layouts are the shell's (MainWindow's window). The handle is set once
// the window exists. The core speaks in picture coordinates (640 x 480); the window maps them to
// its client area through `picture`, which the shell sets with every layout.
class Win32Window : public IWindow {
public:
  ~Win32Window() override;
  void PostResume(std::uint32_t ticket) override;
  void PostShutdown() override;
  MessageAnswer ShowMessageBox(std::string_view text, std::string_view caption, MessageButtons buttons,
                               MessageIcon icon) override;
  void Repaint() override;
  void Invalidate(int left, int top, int right, int bottom) override;
  void Update() override;
  void* NativeHandle() const override { return hwnd; }
  bool ControlKeyDown() override;
  bool CursorPosition(int& x, int& y) override;
  void MoveCursor(int x, int y, std::uint32_t pauseMs) override;
  void SetTitle(std::string_view title) override;
  // The class cursor (GCL_HCURSOR), so that it shows from the next mouse movement. A cursor loaded
  // from a file is freed when another one replaces it.
  bool SetCursor(CursorChoice choice, std::string_view file) override;
  void PostCommand(int id) override;
  int OpenWithShell(std::string_view file, std::string_view parameters, std::string_view folder) override;
  // A window titled "Volume Control" restored and brought to the front, else sndvol32.exe started.
  void OpenVolumeControl() override;

  HWND hwnd = nullptr;
  PictureRect picture; // where the picture stands in the client area, and how large

private:
  HCURSOR fileCursor = nullptr; // the cursor loaded from a file that the class shows, if any
};

// Files through the Windows file functions: paths are code page 932 as they are.
class Win32FileSystem : public IFileSystem {
public:
  std::unique_ptr<IReadFile> OpenRead(std::string_view path) override;
  bool Exists(std::string_view path) override;
  bool WriteNewFile(std::string_view path, std::string_view bytes) override;
  bool AppendToFile(std::string_view path, std::string_view bytes) override;
  // MoveFileExA with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH after FlushFileBuffers.
  bool WriteFileAtomically(std::string_view path, std::string_view bytes) override;
  std::vector<std::string> FindFiles(std::string_view folder, std::string_view extension) override;
  bool Remove(std::string_view path) override;
};

// DLLs through the system's loader.
class Win32Modules : public IModules {
public:
  void* Load(std::string_view path) override;
  void* Export(void* module, const char* name) override;
  void Free(void* module) override;
  const void* LockMemory(void* handle) override;
  void UnlockMemory(void* handle) override;
  void FreeMemory(void* handle) override;
};

// DIB-section surfaces, and text through GDI fonts. The message font is owned here; texts are
// measured on a memory DC of the graphics' own and drawn through each surface's DC.
class Win32Graphics : public IGraphics {
public:
  Win32Graphics();
  ~Win32Graphics() override;
  Win32Graphics(const Win32Graphics&) = delete;
  Win32Graphics& operator=(const Win32Graphics&) = delete;

  std::unique_ptr<TSurface> CreateSurface() override;
  void Flush() override { GdiFlush(); }
  FontDescription SystemFont() override;
  void SetMessageFont(const FontDescription& description) override;
  TextSize MeasureText(std::string_view text) override;
  void PaintText(TSurface& surface, int x, int y, std::string_view text, std::uint32_t colorRef) override;
  void SetTextColour(TSurface& surface, std::uint32_t colorRef) override;

private:
  // The message font, or the stock system font until one is made.
  HGDIOBJ CurrentFont() const;

  HDC measureDc = nullptr;
  HGDIOBJ measureDcFont = nullptr; // what the measuring DC held before
  HFONT font = nullptr;
};

} // namespace velmo
