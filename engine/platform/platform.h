#pragma once

#include "engine/platform/media_devices.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmo {

class TSurface;

// The services the engine asks of the system it runs on. The Win32 program implements them over
// the API; tests and velmo-run use the deterministic headless implementation. The engine receives
// them by reference when it is made and never reaches them through globals.

struct LocalTime {
  int year, month, day, hour, minute, second;
};

class IClock {
public:
  virtual ~IClock() = default;
  // Milliseconds of the system's multimedia clock (timeGetTime): wraps after 49.7 days. Called
  // for every tick and every timed wait.
  virtual std::uint32_t NowMs() = 0;
  // The local date and time, for the error log's time stamps.
  virtual LocalTime Now() = 0;
};

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { Exclamation, Question, Information };
enum class MessageAnswer { Ok, Yes, No };

// A message box as a dialog of the engine shows one: owned by the dialog while it is open (the
// window's own ShowMessageBox otherwise). Text and caption are Shift-JIS.
using MessageBoxFunction =
    std::function<MessageAnswer(std::string_view text, std::string_view caption, MessageButtons, MessageIcon)>;

// The mouse cursor over the window: the program's own (resource 106), the system arrow, or one
// loaded from a cursor file.
enum class CursorChoice { Program, Arrow, File };

// The engine's own dialogs that menu commands open.
enum class EngineDialog { Settings, About, LoadBookmark, SaveBookmark };

// What the menus show: the commands a script or the settings grayed, the modes that are on and the
// window scale chosen.
// The engine keeps the flags; the window's menu bar and its full-screen pop-up mirror them.
struct MenuStates {
  bool loadEnabled = true;           // しおり: 開く (40013)
  bool saveEnabled = true;           // しおり: 挿す (40012)
  bool eraseMessageEnabled = true;   // オプション: メッセージを消す (40011)
  bool flashbackEnabled = false;     // オプション: 読み返す (40030), when pages are kept for it
  bool autoModeChecked = false;      // オプション: オートモード (40035) is on
  bool readSkipChecked = false;      // オプション: 既読スキップ (40036) is on
  bool skipNextEnabled = true;       // 次の選択肢へ (40010), and with it 既読スキップ
  bool fullScreenEnabled = true;     // オプション: 全画面表示 (40018)
  bool aboutScenarioEnabled = false; // システム: シナリオについて (40031)
  bool windowScaleEnabled = true;    // オプション: ウィンドウの大きさ, its three items
  int windowScale = 1;               // the one of them checked: x1, x2 or x3
  bool operator==(const MenuStates&) const = default;
};

// The main window as the core sees it.
class IWindow {
public:
  virtual ~IWindow() = default;
  // Posts UM_RESUME for the wait `ticket` (the script door's ticket of the wait it ends): the
  // interpreter runs again once the message loop reaches it, if that wait is still the current one.
  virtual void PostResume(std::uint32_t ticket) = 0;
  // Posts UM_SHUTDOWN: save, release everything and end the program.
  virtual void PostShutdown() = 0;
  // A modal message box owned by the window; returns when the player has answered. Text and
  // caption are Shift-JIS.
  virtual MessageAnswer ShowMessageBox(std::string_view text, std::string_view caption, MessageButtons buttons,
                                       MessageIcon icon) = 0;
  // Repaints the window now from the shown surface (InvalidateRect and UpdateWindow).
  virtual void Repaint() = 0;
  // Marks the picture's rectangle [left, right) x [top, bottom) to be painted again from the shown
  // surface, without erasing; Update paints what is marked at once. Text output marks only the
  // cells it drew. Here and below, coordinates are the 640 x 480 picture's: a window that shows it
  // scaled maps them to its own pixels.
  virtual void Invalidate(int left, int top, int right, int bottom) = 0;
  virtual void Update() = 0;
  // The window's system handle (an HWND on Win32) for plug-ins; nullptr where there is none.
  virtual void* NativeHandle() const { return nullptr; }
  // Whether the Ctrl key is held down at this moment (sampled for every character of text).
  virtual bool ControlKeyDown() { return false; }
  // The picture pixel under the mouse cursor (outside 0..639 x 0..479 on the black bars around a
  // scaled picture); false when the system cannot tell.
  virtual bool CursorPosition(int& x, int& y) = 0;
  // Moves the mouse cursor onto picture pixel (x, y), then waits `pauseMs` milliseconds on the
  // calling thread (the selection's cursor animation).
  virtual void MoveCursor(int x, int y, std::uint32_t pauseMs) = 0;

  // The window's title, as shown (Shift-JIS).
  virtual void SetTitle(std::string_view title) = 0;
  // The cursor over the window from the next mouse movement on; `file` for CursorChoice::File.
  // False when the file gives no cursor: the program's own is shown then.
  virtual bool SetCursor(CursorChoice choice, std::string_view file) = 0;
  // Mirrors the engine's menu flags in the menu bar and the full-screen pop-up.
  virtual void ShowMenus(const MenuStates& states) = 0;
  // Posts a menu command (WM_COMMAND with `id`), taken by the message loop as a menu's own.
  virtual void PostCommand(int id) = 0;
  // The text-input dialog: `prompt` above an edit box holding `text`, under `title`. True for OK;
  // the edited text (at most 63 bytes) comes back in `text` whatever the answer.
  virtual bool AskText(std::string_view title, std::string_view prompt, std::string& text) = 0;
  // Opens one of the engine's dialogs; true when it did what it is for (a bookmark loaded or saved,
  // settings accepted).
  virtual bool ShowDialog(EngineDialog dialog) = 0;
  // Starts a program or opens a document with the system's default verb in `folder`, without
  // waiting for it; the system's answer (above 32 is success, 2 a missing file, 11 a bad format).
  virtual int OpenWithShell(std::string_view file, std::string_view parameters, std::string_view folder) = 0;
  // Shows the system's volume control (brought to the front when it is open already).
  virtual void OpenVolumeControl() = 0;
  // Switches the window to a display layout (or lays it out again after a change of the window
  // scale): 0 windowed at the scale of the settings, 1 full screen (a 640 x 480 display mode where
  // the settings ask for one, else the picture scaled over the whole monitor), 2 full screen on a
  // screen no larger than the picture. False when it cannot (the caller keeps the old layout).
  virtual bool SetDisplayLayout(int fullScreen) = 0;
};

// A file open for reading, positioned at byte 0 when opened.
class IReadFile {
public:
  virtual ~IReadFile() = default;
  // Reads up to `size` bytes at the current position and moves past them; 0 at the end of the
  // file or when reading fails.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
  // Moves to a byte offset from the start. False when the file cannot move there.
  virtual bool Seek(std::uint32_t offset) = 0;
};

// What is left of `file`, from where it stands to its end.
inline std::string ReadToEnd(IReadFile& file) {
  std::string bytes;
  char block[16384];
  for (std::size_t n; (n = file.Read(block, sizeof block)) > 0;) bytes.append(block, n);
  return bytes;
}

// The temporary file of WriteFileAtomically is the file's name with this added.
inline constexpr std::string_view ReplacementSuffix = ".tmp";

// Files of the game folder, named as scripts and the engine name them: Shift-JIS paths with
// backslashes, relative to the program folder.
class IFileSystem {
public:
  virtual ~IFileSystem() = default;
  // Opens an existing file for reading (others may read it too); nullptr when it cannot.
  virtual std::unique_ptr<IReadFile> OpenRead(std::string_view path) = 0;
  // Whether a file of that name exists (to tell a missing file from one that cannot be read).
  virtual bool Exists(std::string_view path) = 0;
  // Creates (or empties) the file and writes `bytes` exactly as given. False when it cannot.
  virtual bool WriteNewFile(std::string_view path, std::string_view bytes) = 0;
  // Appends `bytes` at the end of the file, creating it when missing. False when it cannot.
  virtual bool AppendToFile(std::string_view path, std::string_view bytes) = 0;
  // Puts `bytes` in place of the file (made when missing) so that it is never seen half written:
  // they go to a temporary file beside it (its name with ReplacementSuffix), are flushed to the
  // disk, and only then does the temporary take the file's name, in one step. When a step fails,
  // the temporary is removed and the file is as it was. False when it cannot.
  virtual bool WriteFileAtomically(std::string_view path, std::string_view bytes) = 0;
  // The names (without folder) of the files in `folder` whose extension is `extension` (".vpx"),
  // in the order the system lists them; folders are left out.
  virtual std::vector<std::string> FindFiles(std::string_view folder, std::string_view extension) = 0;
  // Deletes the file. False when it cannot (a missing file among them).
  virtual bool Remove(std::string_view path) = 0;
};

// Loading plug-in modules (DLLs). A module is an opaque handle, nullptr for none.
class IModules {
public:
  virtual ~IModules() = default;
  // Loads the module at `path` (a folder and file name); nullptr when it cannot be loaded.
  virtual void* Load(std::string_view path) = 0;
  // The address of an export by its exact name; nullptr when the module lacks it.
  virtual void* Export(void* module, const char* name) = 0;
  virtual void Free(void* module) = 0;
  // Local-memory handles that a plug-in hands back (picture plug-ins return their pictures in
  // them): locked to be read, then unlocked and freed by the engine.
  virtual const void* LockMemory(void* handle) = 0;
  virtual void UnlockMemory(void* handle) = 0;
  virtual void FreeMemory(void* handle) = 0;
};

// A font as the system describes one (the fields of a LOGFONT): what the message font is made
// from. The face name is Shift-JIS, at most 31 bytes.
struct FontDescription {
  std::int32_t height = 0;
  std::int32_t width = 0;
  std::int32_t escapement = 0;
  std::int32_t orientation = 0;
  std::int32_t weight = 0;
  std::uint8_t italic = 0;
  std::uint8_t underline = 0;
  std::uint8_t strikeOut = 0;
  std::uint8_t charSet = 0;
  std::uint8_t outPrecision = 0;
  std::uint8_t clipPrecision = 0;
  std::uint8_t quality = 0;
  std::uint8_t pitchAndFamily = 0;
  char faceName[32] = {};
};

// The extent of a text in pixels.
struct TextSize {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
};

// Makes the engine's surfaces and draws text on them.
class IGraphics {
public:
  virtual ~IGraphics() = default;
  // A new 640 x 480 surface, or nullptr when the system cannot make one.
  virtual std::unique_ptr<TSurface> CreateSurface() = 0;
  // Completes drawing the system may still hold back (GDI batches its calls), before the core
  // reads or writes pixels that GDI or a plug-in drew through a DC.
  virtual void Flush() {}

  // The system's stock font, which the message font starts as.
  virtual FontDescription SystemFont() = 0;
  // Makes the message font from `description`, in place of the one made before. Until the first
  // call, text is measured and drawn in the system font.
  virtual void SetMessageFont(const FontDescription& description) = 0;
  // The extent of `text` (Shift-JIS) in the message font.
  virtual TextSize MeasureText(std::string_view text) = 0;
  // Draws `text` in the message font at (x, y) of `surface` in the colour `colorRef` (a COLORREF),
  // leaving the background as it is; the text may reach past the surface's edges, which clip it.
  virtual void PaintText(TSurface& surface, int x, int y, std::string_view text, std::uint32_t colorRef) = 0;
  // Sets the text colour of the surface's device context (a COLORREF), which plug-ins that copy
  // monochrome patterns through it rely on. Nothing where surfaces have no context.
  virtual void SetTextColour(TSurface& surface, std::uint32_t colorRef) = 0;
};

// What one engine is given to run on.
struct Platform {
  IClock& clock;
  IWindow& window;
  IFileSystem& files;
  IGraphics& graphics;
  IModules& modules;
  ISoundDevices& sound;
  IMixerControls& mixer;
  IMovieWindow& movie;
};

} // namespace velmo
