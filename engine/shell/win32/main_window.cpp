#include "engine/shell/win32/main_window.h"

#include "engine/commands/command_set.h"
#include "engine/core/frame_driver.h"
#include "engine/core/script_door.h"
#include "engine/core/settings.h"
#include "engine/graphics/screen.h"
#include "engine/platform/win32/profile_file.h"
#include "engine/script/error_log.h"
#include "engine/script/script_state.h"
#include "engine/shell/startup.h"

#include <mmsystem.h>
#include <windowsx.h>

#include <new>
#include <utility>

namespace velmo {

namespace {

// Menu commands that the right button posts; the menus handle them.
constexpr WPARAM IdmConfig = 40008;
constexpr WPARAM IdmSkipNext = 40010;
constexpr WPARAM IdmEraseMessage = 40011;
constexpr WPARAM IdmCapture = 40020;
constexpr WPARAM IdmCaptureAuto = 40034;

// The movie window's mode notification (MCIWNDM_NOTIFYMODE) and its stopped mode.
constexpr UINT McinotifyMode = WM_USER + 200;
constexpr LPARAM MciModeStop = 525;

// The last step of shutdown: the engine's objects are released and the window destroyed.
constexpr UINT UmReleaseEngine = WM_USER + 5;

constexpr DWORD WindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

std::string ModuleFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path);
  // The last backslash that is a separator, not the trail byte of a two-byte character.
  std::size_t cut = 0;
  for (std::size_t i = 0; i < folder.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(folder[i])) && i + 1 < folder.size())
      ++i;
    else if (folder[i] == '\\')
      cut = i + 1;
  }
  return folder.substr(0, cut);
}

SystemFacts ReadSystemFacts() {
  SystemFacts facts;
  facts.midiOutDevices = static_cast<int>(midiOutGetNumDevs());
  facts.waveOutDevices = static_cast<int>(waveOutGetNumDevs());
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  facts.windows9xFamily = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
  facts.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  facts.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  return facts;
}

// Deletes every file of the temp folder, then the folder (folders inside simply fail).
void RemoveTempFolder(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*.*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

} // namespace

MainWindow::MainWindow(std::string gameFolder) : programFolder(std::move(gameFolder)) {}
MainWindow::~MainWindow() = default;

bool MainWindow::RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
  windowClass.lpszClassName = WindowClassName;
  return RegisterClassA(&windowClass) != 0;
}

bool MainWindow::Create(HINSTANCE instance) {
  HWND hwnd = CreateWindowExA(0, WindowClassName, "VELMO", WindowStyle, CW_USEDEFAULT, 0, 640, 480, nullptr, nullptr,
                              instance, this);
  return hwnd != nullptr;
}

void MainWindow::Show(int showCommand) {
  PlaceWindow();
  ShowWindow(window.hwnd, showCommand);
  UpdateWindow(window.hwnd);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->window.hwnd = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = window.hwnd;
  // The window outlives the engine at both ends: it is created before the engine objects and
  // destroyed after them.
  if (message == WM_CREATE) return OnCreate() ? 0 : -1;
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  if (engine == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
  switch (message) {
  case WM_PAINT:
    OnPaint();
    return 0;
  case WM_KEYDOWN:
    if (wParam == KeyEnter || wParam == KeySpace) {
      POINT cursor;
      GetCursorPos(&cursor);
      ScreenToClient(hwnd, &cursor);
      OnLeftButton(cursor.x, cursor.y);
    } else if (wParam == KeyEscape) {
      PostMessageA(hwnd, WM_RBUTTONDOWN, 0, 0);
    } else {
      OnKey(*engine, static_cast<int>(wParam));
    }
    return 0;
  case WM_SYSCOMMAND:
    if ((wParam & 0xFFF0) == SC_CLOSE) {
      if (ConfirmExit()) PostMessageA(hwnd, UM_SHUTDOWN, 0, 0);
      return 0;
    }
    break;
  case WM_MOUSEMOVE:
    OnMouseMove(*engine, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return 0;
  case WM_LBUTTONDOWN:
    OnLeftButton(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return 0;
  case WM_RBUTTONDOWN:
    OnRightButton();
    return 0;
  case MM_MCINOTIFY:
    // A play that failed ends as one that finished (a machine without a sound server fails every
    // play); one that was stopped or replaced is over already.
    if (wParam == MCI_NOTIFY_SUCCESSFUL || wParam == MCI_NOTIFY_FAILURE) {
      OnMciNotify(*engine, static_cast<std::uint32_t>(lParam),
                  wParam == MCI_NOTIFY_SUCCESSFUL ? PlayEnd::Finished : PlayEnd::Failed);
    }
    return 0;
  case McinotifyMode:
    if (lParam == MciModeStop) OnMovieNotify(*engine);
    return 0;
  case UM_STARTUP:
    StartEngine(*engine, programFolder, tempFolder);
    return 0;
  case UM_RESUME:
    if (!shuttingDown) OnResume(*engine, static_cast<std::uint32_t>(wParam));
    return 0;
  case UM_SHUTDOWN:
    // Through the script door: never under a running command or an open box.
    engine->door.Deliver([this] { OnShutdown(); });
    return 0;
  case UmReleaseEngine:
    engine.reset();
    DestroyWindow(hwnd);
    return 0;
  default:
    break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool MainWindow::OnCreate() {
  try {
    engine = std::make_unique<Engine>(platform, StandardCommands());
  } catch (const std::bad_alloc&) {
    ReportCreateFailure(platform, "TScenario");
    return false;
  }
  ReadSettings();
  if (const char* failed = CreateEngineObjects(*engine, programFolder + "system")) {
    ReportCreateFailure(platform, failed);
    ChangeDisplaySettingsA(nullptr, 0);
    WriteSettingsAndCleanUp();
    engine.reset();
    return false;
  }
  return true;
}

void MainWindow::ReadSettings() {
  engine->script.random.Seed(timeGetTime());
  if (programFolder.empty()) programFolder = ModuleFolder();
  SetCurrentDirectoryA(programFolder.c_str());
  engine->runsFromCd = programFolder.size() >= 3 && GetDriveTypeA(programFolder.substr(0, 3).c_str()) == DRIVE_CDROM;
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  tempFolder = std::string(temp) + "VELMO\\";
  CreateDirectoryA(tempFolder.c_str(), nullptr);
  settingsPath = programFolder + "system\\VELMO.ini";

  ProfileFile profile(settingsPath);
  const SettingsEffects effects = LoadSettings(profile, ReadSystemFacts(), engine->settings);
  if (effects.raiseProcessPriority) {
    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
  }
}

void MainWindow::WriteSettingsAndCleanUp() {
  RECT rect = {};
  GetWindowRect(window.hwnd, &rect);
  {
    ProfileFile profile(settingsPath);
    SaveSettings(profile, engine->settings, rect.left, rect.top);
  }
  RemoveTempFolder(tempFolder);
}

void MainWindow::PlaceWindow() {
  if (engine == nullptr) return;
  RECT outer, client, work;
  GetWindowRect(window.hwnd, &outer);
  GetClientRect(window.hwnd, &client);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int width = (outer.right - outer.left) - (client.right - client.left) + 640;
  const int height = (outer.bottom - outer.top) - (client.bottom - client.top) + 480;
  int x = engine->settings.positionX;
  int y = engine->settings.positionY;
  if (x < 0 || y < 0 || x + width > work.right || y + height > work.bottom) {
    x = ((work.right - work.left) - width) / 2;
    y = ((work.bottom - work.top) - height) / 2;
  }
  SetWindowPos(window.hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOREDRAW);
}

void MainWindow::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window.hwnd, &paint);
  const TSurface* shown = engine->run.state == RunState::MessageHidden ? engine->screen.baseSurface.get()
                                                                       : engine->screen.screenSurface.get();
  if (shown != nullptr) BitBlt(dc, 0, 0, 640, 480, static_cast<HDC>(shown->Dc()), 0, 0, SRCCOPY);
  EndPaint(window.hwnd, &paint);
}

void MainWindow::OnLeftButton(int x, int y) {
  if (!shuttingDown) OnLeftClick(*engine, x, y);
}

void MainWindow::OnRightButton() {
  WPARAM command = 0;
  switch (OnRightClick(*engine)) {
  case RightClickAction::SkipToOption:
    command = IdmSkipNext;
    break;
  case RightClickAction::EraseMessage:
    command = IdmEraseMessage;
    break;
  case RightClickAction::Config:
    command = IdmConfig;
    break;
  case RightClickAction::Capture:
    command = IdmCapture;
    break;
  case RightClickAction::CaptureAuto:
    command = IdmCaptureAuto;
    break;
  case RightClickAction::FullScreenMenu:
  case RightClickAction::None:
    break;
  }
  if (command != 0) PostMessageA(window.hwnd, WM_COMMAND, command, 0);
}

void CenterDialog(HWND dialog) {
  RECT parent, own;
  GetWindowRect(GetParent(dialog), &parent);
  GetWindowRect(dialog, &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  SetWindowPos(dialog, nullptr, (parent.left + parent.right - width) / 2, (parent.top + parent.bottom - height) / 2, 0,
               0, SWP_NOSIZE | SWP_NOZORDER);
  InvalidateRect(dialog, nullptr, TRUE);
  UpdateWindow(dialog);
  SetForegroundWindow(dialog);
}

bool MainWindow::ConfirmExit() {
  const ScriptDoor::Hold hold(engine->door);
  return window.ShowMessageBox("シナリオを中断してＶＥＬＭＯを終了します.\nよろしいですか？",
                               "プログラムの終了 - VELMO", MessageButtons::YesNo,
                               MessageIcon::Exclamation) == MessageAnswer::Yes;
}

void MainWindow::OnShutdown() {
  if (shuttingDown) return;
  shuttingDown = true;
  engine->run.state = RunState::Terminating;
  ShutdownEngine(*engine);
  ChangeDisplaySettingsA(nullptr, 0);
  WriteSettingsAndCleanUp();
  // The engine's objects go once nothing of the engine is on the call stack any more.
  PostMessageA(window.hwnd, UmReleaseEngine, 0, 0);
}

void MainWindow::TickIfDue(std::uint32_t nowMs) {
  if (engine == nullptr || static_cast<std::int32_t>(nowMs - nextTickMs) < 0) return;
  FrameTick(*engine, nowMs);
  if (engine != nullptr) nextTickMs = NextTickTime(*engine, nowMs);
}

std::uint32_t MainWindow::MsUntilTick(std::uint32_t nowMs) const {
  const auto remaining = static_cast<std::int32_t>(nextTickMs - nowMs);
  return remaining > 0 ? static_cast<std::uint32_t>(remaining) : 0;
}

} // namespace velmo
