#include "engine/platform/win32/win32_platform.h"

#include "engine/platform/win32/dib_surface.h"

#include "engine/resources/resource_ids.h"

#include <mmsystem.h>
#include <shellapi.h>

#include <cstring>
#include <string>

namespace velmo {

namespace {

// An open file handle, closed with its owner.
class FileHandle {
public:
  explicit FileHandle(HANDLE h) : handle(h) {}
  ~FileHandle() {
    if (Valid()) CloseHandle(handle);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool Valid() const { return handle != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle; }

private:
  HANDLE handle;
};

class Win32ReadFile : public IReadFile {
public:
  explicit Win32ReadFile(HANDLE h) : file(h) {}

  std::size_t Read(char* buffer, std::size_t size) override {
    DWORD read = 0;
    if (!ReadFile(file.Get(), buffer, static_cast<DWORD>(size), &read, nullptr)) return 0;
    return read;
  }
  bool Seek(std::uint32_t offset) override {
    return SetFilePointer(file.Get(), static_cast<LONG>(offset), nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
  }

private:
  FileHandle file;
};

bool WriteAll(HANDLE file, std::string_view bytes) {
  DWORD written = 0;
  return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
}

} // namespace

std::uint32_t Win32Clock::NowMs() { return timeGetTime(); }

LocalTime Win32Clock::Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return LocalTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

void Win32Window::PostResume(std::uint32_t ticket) { PostMessageA(hwnd, UM_RESUME, ticket, 0); }

void Win32Window::PostShutdown() { PostMessageA(hwnd, UM_SHUTDOWN, 0, 0); }

MessageAnswer ShowOwnedMessageBox(HWND owner, std::string_view text, std::string_view caption, MessageButtons buttons,
                                  MessageIcon icon) {
  UINT flags = buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
  flags |= icon == MessageIcon::Exclamation ? MB_ICONEXCLAMATION
           : icon == MessageIcon::Question  ? MB_ICONQUESTION
                                            : MB_ICONINFORMATION;
  const int answer = MessageBoxA(owner, std::string(text).c_str(), std::string(caption).c_str(), flags);
  return answer == IDYES ? MessageAnswer::Yes : answer == IDNO ? MessageAnswer::No : MessageAnswer::Ok;
}

MessageBoxFunction OwnedMessageBoxes(HWND owner) {
  return [owner](std::string_view text, std::string_view caption, MessageButtons buttons, MessageIcon icon) {
    return ShowOwnedMessageBox(owner, text, caption, buttons, icon);
  };
}

MessageAnswer Win32Window::ShowMessageBox(std::string_view text, std::string_view caption, MessageButtons buttons,
                                          MessageIcon icon) {
  return ShowOwnedMessageBox(hwnd, text, caption, buttons, icon);
}

Win32Window::~Win32Window() {
  if (fileCursor != nullptr) DestroyCursor(fileCursor);
}

void Win32Window::SetTitle(std::string_view title) {
  if (hwnd != nullptr) SetWindowTextA(hwnd, std::string(title).c_str());
}

bool Win32Window::SetCursor(CursorChoice choice, std::string_view file) {
  HCURSOR loaded = nullptr;
  if (choice == CursorChoice::File) loaded = LoadCursorFromFileA(std::string(file).c_str());
  HCURSOR shown = loaded;
  if (shown == nullptr && choice != CursorChoice::Arrow) {
    shown = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_PROGRAM_CURSOR));
  }
  if (shown == nullptr) shown = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
  if (hwnd != nullptr) SetClassLongPtrA(hwnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(shown));
  if (fileCursor != nullptr) DestroyCursor(fileCursor);
  fileCursor = loaded;
  return choice != CursorChoice::File || loaded != nullptr;
}

void Win32Window::PostCommand(int id) { PostMessageA(hwnd, WM_COMMAND, static_cast<WPARAM>(id), 0); }

int Win32Window::OpenWithShell(std::string_view file, std::string_view parameters, std::string_view folder) {
  const std::string fileText(file), parameterText(parameters), folderText(folder);
  const HINSTANCE result =
      ShellExecuteA(nullptr, nullptr, fileText.c_str(), parameterText.empty() ? nullptr : parameterText.c_str(),
                    folderText.empty() ? nullptr : folderText.c_str(), SW_SHOWNORMAL);
  return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

void Win32Window::OpenVolumeControl() {
  if (HWND open = FindWindowA(nullptr, "Volume Control")) {
    ShowWindow(open, SW_RESTORE);
    SetForegroundWindow(open);
    return;
  }
  ShellExecuteA(nullptr, nullptr, "sndvol32.exe", nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Window::Repaint() {
  if (hwnd == nullptr) return;
  InvalidateRect(hwnd, nullptr, FALSE);
  UpdateWindow(hwnd);
}

std::unique_ptr<IReadFile> Win32FileSystem::OpenRead(std::string_view path) {
  HANDLE h = CreateFileA(std::string(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32ReadFile>(h);
}

bool Win32FileSystem::WriteNewFile(std::string_view path, std::string_view bytes) {
  FileHandle file(
      CreateFileA(std::string(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.Valid() && WriteAll(file.Get(), bytes);
}

bool Win32FileSystem::AppendToFile(std::string_view path, std::string_view bytes) {
  FileHandle file(
      CreateFileA(std::string(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  if (SetFilePointer(file.Get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER) return false;
  return WriteAll(file.Get(), bytes);
}

bool Win32FileSystem::WriteFileAtomically(std::string_view path, std::string_view bytes) {
  const std::string target(path);
  const std::string temporary = target + std::string(ReplacementSuffix);
  bool written = false;
  {
    FileHandle file(
        CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    written = WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get());
  }
  if (written && MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  DeleteFileA(temporary.c_str());
  return false;
}

bool Win32FileSystem::Remove(std::string_view path) { return DeleteFileA(std::string(path).c_str()) != 0; }

std::vector<std::string> Win32FileSystem::FindFiles(std::string_view folder, std::string_view extension) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((std::string(folder) + "\\*" + std::string(extension)).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.emplace_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

void Win32Window::Invalidate(int left, int top, int right, int bottom) {
  if (hwnd == nullptr) return;
  const PixelBox client = ClientBoxOf(picture, PixelBox{left, top, right, bottom});
  const RECT rect{client.left, client.top, client.right, client.bottom};
  InvalidateRect(hwnd, &rect, FALSE);
}

void Win32Window::Update() {
  if (hwnd != nullptr) UpdateWindow(hwnd);
}

bool Win32Window::ControlKeyDown() { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }

bool Win32Window::CursorPosition(int& x, int& y) {
  POINT point;
  if (hwnd == nullptr || !GetCursorPos(&point) || !ScreenToClient(hwnd, &point)) return false;
  const PixelPoint shown = ClientToPicture(picture, point.x, point.y);
  x = shown.x;
  y = shown.y;
  return true;
}

void Win32Window::MoveCursor(int x, int y, std::uint32_t pauseMs) {
  const PixelPoint client = PictureToClient(picture, x, y);
  POINT point{client.x, client.y};
  if (hwnd == nullptr || !ClientToScreen(hwnd, &point)) return;
  SetCursorPos(point.x, point.y);
  Sleep(pauseMs);
}

Win32Graphics::Win32Graphics() {
  measureDc = CreateCompatibleDC(nullptr);
  if (measureDc != nullptr) measureDcFont = SelectObject(measureDc, GetStockObject(SYSTEM_FONT));
}

Win32Graphics::~Win32Graphics() {
  if (measureDc != nullptr) {
    SelectObject(measureDc, measureDcFont);
    DeleteDC(measureDc);
  }
  if (font != nullptr) DeleteObject(font);
}

std::unique_ptr<TSurface> Win32Graphics::CreateSurface() { return DibSurface::Create(); }

HGDIOBJ Win32Graphics::CurrentFont() const { return font != nullptr ? font : GetStockObject(SYSTEM_FONT); }

FontDescription Win32Graphics::SystemFont() {
  LOGFONTA logFont{};
  GetObjectA(GetStockObject(SYSTEM_FONT), sizeof logFont, &logFont);
  FontDescription description;
  description.height = logFont.lfHeight;
  description.width = logFont.lfWidth;
  description.escapement = logFont.lfEscapement;
  description.orientation = logFont.lfOrientation;
  description.weight = logFont.lfWeight;
  description.italic = logFont.lfItalic;
  description.underline = logFont.lfUnderline;
  description.strikeOut = logFont.lfStrikeOut;
  description.charSet = logFont.lfCharSet;
  description.outPrecision = logFont.lfOutPrecision;
  description.clipPrecision = logFont.lfClipPrecision;
  description.quality = logFont.lfQuality;
  description.pitchAndFamily = logFont.lfPitchAndFamily;
  static_assert(sizeof description.faceName == sizeof logFont.lfFaceName);
  std::memcpy(description.faceName, logFont.lfFaceName, sizeof description.faceName);
  description.faceName[sizeof description.faceName - 1] = '\0';
  return description;
}

void Win32Graphics::SetMessageFont(const FontDescription& description) {
  LOGFONTA logFont{};
  logFont.lfHeight = description.height;
  logFont.lfWidth = description.width;
  logFont.lfEscapement = description.escapement;
  logFont.lfOrientation = description.orientation;
  logFont.lfWeight = description.weight;
  logFont.lfItalic = description.italic;
  logFont.lfUnderline = description.underline;
  logFont.lfStrikeOut = description.strikeOut;
  logFont.lfCharSet = description.charSet;
  logFont.lfOutPrecision = description.outPrecision;
  logFont.lfClipPrecision = description.clipPrecision;
  logFont.lfQuality = description.quality;
  logFont.lfPitchAndFamily = description.pitchAndFamily;
  std::memcpy(logFont.lfFaceName, description.faceName, sizeof logFont.lfFaceName);
  logFont.lfFaceName[sizeof logFont.lfFaceName - 1] = '\0';
  HFONT made = CreateFontIndirectA(&logFont);
  if (made == nullptr) return; // the font in use stays
  if (measureDc != nullptr) SelectObject(measureDc, made);
  if (font != nullptr) DeleteObject(font);
  font = made;
}

TextSize Win32Graphics::MeasureText(std::string_view text) {
  SIZE size{0, 0};
  if (measureDc != nullptr) GetTextExtentPoint32A(measureDc, text.data(), static_cast<int>(text.size()), &size);
  return {size.cx, size.cy};
}

void Win32Graphics::SetTextColour(TSurface& surface, std::uint32_t colorRef) {
  if (surface.Dc() != nullptr) SetTextColor(static_cast<HDC>(surface.Dc()), colorRef);
}

void Win32Graphics::PaintText(TSurface& surface, int x, int y, std::string_view text, std::uint32_t colorRef) {
  HDC dc = static_cast<HDC>(surface.Dc());
  if (dc == nullptr) return;
  const HGDIOBJ previous = SelectObject(dc, CurrentFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colorRef);
  TextOutA(dc, x, y, text.data(), static_cast<int>(text.size()));
  SelectObject(dc, previous);
}

void* Win32Modules::Load(std::string_view path) { return LoadLibraryA(std::string(path).c_str()); }

void* Win32Modules::Export(void* module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

const void* Win32Modules::LockMemory(void* handle) { return LocalLock(static_cast<HLOCAL>(handle)); }

void Win32Modules::UnlockMemory(void* handle) { LocalUnlock(static_cast<HLOCAL>(handle)); }

void Win32Modules::FreeMemory(void* handle) {
  if (handle != nullptr) LocalFree(static_cast<HLOCAL>(handle));
}

bool Win32FileSystem::Exists(std::string_view path) {
  return GetFileAttributesA(std::string(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Win32Modules::Free(void* module) {
  if (module != nullptr) FreeLibrary(static_cast<HMODULE>(module));
}

} // namespace velmo
