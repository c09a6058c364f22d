#pragma once

#include "engine/platform/platform.h"

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmo {

// A clock that moves only when told to.
class HeadlessClock : public IClock {
public:
  std::uint32_t NowMs() override { return nowMs; }
  LocalTime Now() override { return localTime; }

  void Advance(std::uint32_t ms) { nowMs += ms; }

  std::uint32_t nowMs = 0;
  LocalTime localTime{2000, 1, 1, 0, 0, 0};
};

enum class PostedMessage { Resume, Shutdown, Command };

// A window that records what the core posted and asked, and answers message boxes from a queue
// of answers (then with the default answer: go on after an error, accept a fatal one).
class HeadlessWindow : public IWindow {
public:
  struct MessageBoxCall {
    std::string text;
    std::string caption;
    MessageButtons buttons;
    MessageIcon icon;
  };

  void PostResume(std::uint32_t ticket) override;
  void PostShutdown() override;
  void Repaint() override { ++repaints; }
  void Invalidate(int left, int top, int right, int bottom) override {
    invalidated.push_back({left, top, right, bottom});
  }
  void Update() override { ++updates; }
  bool ControlKeyDown() override { return controlDown; }
  bool CursorPosition(int& x, int& y) override;
  void MoveCursor(int x, int y, std::uint32_t pauseMs) override;
  MessageAnswer ShowMessageBox(std::string_view text, std::string_view caption, MessageButtons buttons,
                               MessageIcon icon) override;
  void SetTitle(std::string_view text) override { title = text; }
  bool SetCursor(CursorChoice choice, std::string_view file) override;
  void ShowMenus(const MenuStates& states) override {
    menus = states;
    ++menusShown;
  }
  void PostCommand(int id) override {
    posted.push_back(PostedMessage::Command);
    commandIds.push_back(id);
  }
  bool AskText(std::string_view caption, std::string_view prompt, std::string& text) override;
  bool ShowDialog(EngineDialog dialog) override;
  int OpenWithShell(std::string_view file, std::string_view parameters, std::string_view folder) override;
  void OpenVolumeControl() override { ++volumeControlsOpened; }
  bool SetDisplayLayout(int fullScreen) override {
    layouts.push_back(fullScreen);
    return displayLayoutWorks;
  }

  // The posted messages not taken yet, oldest first, as the message loop would receive them, and the
  // tickets the resumes and the ids the commands among them carry, in the same order.
  std::deque<PostedMessage> posted;
  std::deque<std::uint32_t> resumeTickets;
  std::deque<int> commandIds;
  // Forgets what was posted and not taken yet.
  void ClearPosted() {
    posted.clear();
    resumeTickets.clear();
    commandIds.clear();
  }
  // Takes the oldest posted message (the caller checked there is one).
  PostedMessage TakePosted() {
    const PostedMessage message = posted.front();
    posted.pop_front();
    if (message == PostedMessage::Resume) resumeTickets.pop_front();
    if (message == PostedMessage::Command) commandIds.pop_front();
    return message;
  }

  // A text-input dialog as it was asked, and how the player answers one.
  struct TextDialogCall {
    std::string title;
    std::string prompt;
    std::string text;
  };
  struct TextAnswer {
    bool ok = true;
    std::string text;
  };
  struct ShellCall {
    std::string file;
    std::string parameters;
    std::string folder;
  };
  std::string title = "VELMO";
  CursorChoice cursor = CursorChoice::Arrow;
  std::string cursorFile;
  std::vector<std::string> loadableCursorFiles; // cursor files that give a cursor
  MenuStates menus;
  int menusShown = 0;
  std::vector<TextDialogCall> textDialogs;
  std::deque<TextAnswer> textAnswers; // then OK with the text as it was
  std::vector<EngineDialog> dialogs;
  std::deque<bool> dialogAnswers; // then false: closed without doing anything
  std::vector<ShellCall> shellCalls;
  int shellResult = 2; // the system's answer for a program that is missing
  int volumeControlsOpened = 0;
  std::vector<int> layouts; // every SetDisplayLayout, in order
  bool displayLayoutWorks = true;
  std::deque<MessageAnswer> answers;
  MessageAnswer defaultYesNoAnswer = MessageAnswer::No;
  std::vector<MessageBoxCall> messageBoxes;
  int resumePosted = 0;
  int shutdownPosted = 0;
  int repaints = 0;
  std::vector<std::array<int, 4>> invalidated; // rectangles marked by Invalidate: left, top, right, bottom
  int updates = 0;
  bool controlDown = false;
  int cursorX = 0;
  int cursorY = 0;
  std::vector<std::pair<int, int>> cursorMoves; // every position MoveCursor went to
};

// Surfaces as plain pixel buffers, and text with fixed metrics so that layout can be tested
// exactly. A font of height h (the description's height without its sign; 0 means 16) gives every
// single-byte character a cell of h / 2 x h pixels and every double-byte character h x h; the
// system font has height 16, so 8 x 16 and 16 x 16. Drawing a character fills its whole cell
// with the colour. Widths, weights and faces do not change the metrics.
class HeadlessGraphics : public IGraphics {
public:
  static constexpr std::int32_t SystemFontHeight = 16;

  std::unique_ptr<TSurface> CreateSurface() override;
  FontDescription SystemFont() override;
  void SetMessageFont(const FontDescription& description) override;
  TextSize MeasureText(std::string_view text) override;
  void PaintText(TSurface& surface, int x, int y, std::string_view text, std::uint32_t colorRef) override;
  void SetTextColour(TSurface&, std::uint32_t) override {}

  std::vector<FontDescription> fontsMade; // every SetMessageFont, in order
  int textsDrawn = 0;

private:
  std::int32_t CellHeight() const;

  FontDescription font = SystemFont();
};

// How a test makes the next atomic writes fail part-way, as a full disk or a crash would: the
// temporary file takes only `failAfterBytes` bytes and the write fails (the temporary is removed),
// or the process ends after the flush and before the rename (`dieBeforeRename`: the temporary
// stays behind, the file is as it was, and the write reports failure).
struct WriteFaults {
  std::optional<std::size_t> failAfterBytes;
  bool dieBeforeRename = false;
};

// Files on disk under a root folder. Backslashes of engine paths become the host's separators;
// the trail byte of a two-byte character is never taken for one. A name that does not exist as
// written is looked up ignoring the case of ASCII letters, as on Windows, where games are written.
class DiskFileSystem : public IFileSystem {
public:
  explicit DiskFileSystem(std::string rootFolder) : root(std::move(rootFolder)) {}

  std::unique_ptr<IReadFile> OpenRead(std::string_view path) override;
  bool Exists(std::string_view path) override;
  bool WriteNewFile(std::string_view path, std::string_view bytes) override;
  bool AppendToFile(std::string_view path, std::string_view bytes) override;
  bool WriteFileAtomically(std::string_view path, std::string_view bytes) override;
  // Sorted by name, so that runs are the same on every machine.
  std::vector<std::string> FindFiles(std::string_view folder, std::string_view extension) override;
  bool Remove(std::string_view path) override;

  // The host path of an engine path, as written (no case folding).
  std::string HostPath(std::string_view path) const;
  // The host path of an engine path, each part matched ignoring case where the exact name is
  // missing.
  std::string ResolvePath(std::string_view path) const;

  WriteFaults faults;

private:
  bool Write(std::string_view path, std::string_view bytes, const char* mode);

  std::string root;
};

// Files kept in memory, for tests and fuzzing: paths compare exactly as given.
class MemoryFileSystem : public IFileSystem {
public:
  std::unique_ptr<IReadFile> OpenRead(std::string_view path) override;
  bool Exists(std::string_view path) override { return files.find(path) != files.end(); }
  bool WriteNewFile(std::string_view path, std::string_view bytes) override;
  bool AppendToFile(std::string_view path, std::string_view bytes) override;
  bool WriteFileAtomically(std::string_view path, std::string_view bytes) override;
  // In the order of the paths.
  std::vector<std::string> FindFiles(std::string_view folder, std::string_view extension) override;
  bool Remove(std::string_view path) override;

  std::map<std::string, std::string, std::less<>> files;
  // Paths that cannot be written, as a locked file cannot (a file's temporary name among them:
  // a folder where no file can be made).
  std::vector<std::string> readOnly;
  WriteFaults faults;

private:
  bool Writable(std::string_view path) const;
};

// Plug-in modules made in the test itself: each is registered under a file name with its exports
// (addresses of functions in this process). Loading finds a module by the file name of the path,
// ignoring case as the system's loader does.
class HeadlessModules : public IModules {
public:
  struct Module {
    std::map<std::string, void*, std::less<>> exports;
    int loads = 0;
  };

  void* Load(std::string_view path) override;
  void* Export(void* module, const char* name) override;
  void Free(void* module) override;
  // A fake plug-in's memory handle is the address of a std::malloc block.
  const void* LockMemory(void* handle) override { return handle; }
  void UnlockMemory(void*) override {}
  void FreeMemory(void* handle) override;

  std::map<std::string, Module, std::less<>> modules; // by file name as registered
  int loaded = 0;                                     // modules loaded and not yet freed
};

} // namespace velmo
