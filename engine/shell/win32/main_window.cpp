#include "engine/shell/win32/main_window.h"

#include "engine/commands/command_set.h"
#include "engine/core/frame_driver.h"
#include "engine/core/script_door.h"
#include "engine/core/settings.h"
#include "engine/graphics/screen.h"
#include "engine/platform/win32/profile_file.h"
#include "engine/resources/resource_ids.h"
#include "engine/save/screen_capture.h"
#include "engine/script/error_log.h"
#include "engine/script/script_state.h"
#include "engine/shell/menu_commands.h"
#include "engine/shell/startup.h"
#include "engine/shell/win32/bookmark_dialog.h"
#include "engine/shell/win32/capture_dialog.h"
#include "engine/shell/win32/scaled_picture.h"
#include "engine/shell/win32/settings_sheet.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <windowsx.h>

#include <new>
#include <optional>
#include <utility>
#include <vector>

namespace velmo {

namespace {

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
  // At start a full screen that cannot be had leaves the window as it was made.
  if (engine != nullptr) ApplyDisplayMode(engine->settings.fullScreen);
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
  // Input, a resume or a notification that changes what the engine waits for makes the next tick
  // due at once.
  const std::optional<WaitMark> before =
      self->engine != nullptr ? std::optional<WaitMark>(CurrentWaitMark(*self->engine)) : std::nullopt;
  const LRESULT result = self->HandleMessage(message, wParam, lParam);
  if (self->engine != nullptr && CurrentWaitMark(*self->engine) != before) self->nextTickMs = timeGetTime();
  return result;
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
    OnInputEffect(OnKey(*engine, static_cast<int>(wParam)));
    return 0;
  case WM_MOUSEWHEEL:
    // A notch is WHEEL_DELTA; finer wheels send parts of one, which add up.
    wheelTurned += GET_WHEEL_DELTA_WPARAM(wParam);
    while (wheelTurned >= WHEEL_DELTA || wheelTurned <= -WHEEL_DELTA) {
      const bool up = wheelTurned > 0;
      wheelTurned += up ? -WHEEL_DELTA : WHEEL_DELTA;
      OnInputEffect(OnWheel(*engine, up));
    }
    return 0;
  case WM_COMMAND:
    if (OnCommand(LOWORD(wParam))) return 0;
    break;
  case WM_SYSCOMMAND:
    // The close box asks as the menu's 終了 does.
    if ((wParam & 0xFFF0) == SC_CLOSE) {
      OnCommand(IDM_EXIT);
      return 0;
    }
    break;
  case WM_ENDSESSION:
    if (wParam) OnEndSession();
    return 0;
  case WM_MOUSEMOVE: {
    const PixelPoint at = ClientToPicture(window.picture, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    OnMouseMove(*engine, at.x, at.y);
    return 0;
  }
  case WM_LBUTTONDOWN: {
    const PixelPoint at = ClientToPicture(window.picture, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    OnLeftButton(at.x, at.y);
    return 0;
  }
  case WM_DISPLAYCHANGE:
    // The monitor took another size: a full screen covers it again.
    if (fullScreenLayout) CoverMonitor(FullScreenChangesDisplayMode(engine->settings));
    break;
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
    UndoCreate();
    DestroyWindow(hwnd);
    return 0;
  default:
    break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool MainWindow::OnCreate() {
  if (!CheckDisplayColors()) return false;
  // Without its menu resources the window still plays, with no menus to show.
  window.LoadMenus();
  try {
    engine = std::make_unique<Engine>(platform, StandardCommands());
  } catch (const std::bad_alloc&) {
    ReportCreateFailure(platform, "TScenario");
    UndoCreate();
    return false;
  }
  ReadSettings();
  if (const char* failed = CreateEngineObjects(*engine, programFolder + "system")) {
    ReportCreateFailure(platform, failed);
    WriteSettingsAndCleanUp();
    engine.reset();
    UndoCreate();
    return false;
  }
  return true;
}

void MainWindow::UndoCreate() {
  window.SetCursor(CursorChoice::Arrow, "");
  window.DestroyMenus();
}

bool MainWindow::CheckDisplayColors() {
  InitCommonControls();
  HDC screen = GetDC(nullptr);
  const bool palette = (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0;
  const int numColors = GetDeviceCaps(screen, NUMCOLORS);
  const int colorResolution = GetDeviceCaps(screen, COLORRES);
  ReleaseDC(nullptr, screen);
  switch (JudgeDisplayColors(palette, numColors, colorResolution)) {
  case DisplayColors::TooFew:
    window.ShowMessageBox(TooFewColorsText, "VELMO", MessageButtons::Ok, MessageIcon::Exclamation);
    return false;
  case DisplayColors::Doubtful:
    return window.ShowMessageBox(DoubtfulColorsText, "VELMO", MessageButtons::YesNo, MessageIcon::Exclamation) ==
           MessageAnswer::Yes;
  case DisplayColors::Enough:
    break;
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
  ApplySettingsToMenus(*engine, effects);
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

void MainWindow::PlaceWindow(int x, int y) {
  if (engine == nullptr) return;
  RECT outer, client, work;
  GetWindowRect(window.hwnd, &outer);
  GetClientRect(window.hwnd, &client);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int frameWidth = (outer.right - outer.left) - (client.right - client.left);
  const int frameHeight = (outer.bottom - outer.top) - (client.bottom - client.top);
  const int scale = FittingWindowScale(engine->settings.windowScale, frameWidth, frameHeight, work.right - work.left,
                                       work.bottom - work.top);
  window.picture = WindowPicture(scale);
  const int width = frameWidth + window.picture.width;
  const int height = frameHeight + window.picture.height;
  const WindowPlace place = velmo::PlaceWindow(width, height, x, y, work.left, work.top, work.right, work.bottom);
  SetWindowPos(window.hwnd, nullptr, place.x, place.y, width, height, SWP_NOZORDER | SWP_NOREDRAW);
  windowPlaced = true;
}

void MainWindow::CoverMonitor(bool topmost) {
  const RECT monitor = MonitorOf(window.hwnd);
  const int width = monitor.right - monitor.left;
  const int height = monitor.bottom - monitor.top;
  window.picture = FullScreenPicture(width, height, engine->settings.fullScreenScaling != 0);
  SetWindowPos(window.hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, monitor.left, monitor.top, width, height,
               SWP_FRAMECHANGED);
  InvalidateRect(window.hwnd, nullptr, FALSE);
}

bool MainWindow::ApplyDisplayMode(int fullScreen) {
  HWND hwnd = window.hwnd;
  const LONG visible = GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE;
  if (fullScreen == 0) {
    // A change of scale keeps the window where it stands; leaving full screen (or the first
    // layout) puts it where the settings say.
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    const bool keepPlace = windowPlaced && !fullScreenLayout;
    fullScreenLayout = false;
    RestoreDisplay();
    SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(WindowStyle) | visible);
    SetMenu(hwnd, window.MenuBar());
    SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW | SWP_FRAMECHANGED);
    UpdateWindow(hwnd);
    if (keepPlace) {
      PlaceWindow(rect.left, rect.top);
    } else {
      PlaceWindow(engine->settings.positionX, engine->settings.positionY);
    }
    InvalidateRect(nullptr, nullptr, TRUE);
    return true;
  }
  // Only a full screen the settings ask a display mode for changes it; any other gives back a mode
  // it changed before.
  const bool changeMode = fullScreen == 1 && engine->settings.changeDisplayMode != 0;
  if (changeMode && !displayModeChanged) {
    // The first 640 x 480 mode the system lists, whatever its colours; a mode the system then
    // refuses counts as none.
    std::vector<DisplayMode> modes;
    std::vector<DEVMODEA> devices;
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &mode); ++i) {
      modes.push_back(DisplayMode{static_cast<int>(mode.dmPelsWidth), static_cast<int>(mode.dmPelsHeight),
                                  static_cast<int>(mode.dmBitsPerPel)});
      devices.push_back(mode);
    }
    const int found = FindFullScreenMode(modes);
    bool changed = false;
    if (found >= 0) {
      DEVMODEA chosen = devices[static_cast<std::size_t>(found)];
      chosen.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
      changed = ChangeDisplaySettingsA(&chosen, 0) == DISP_CHANGE_SUCCESSFUL;
    }
    if (!changed) {
      window.ShowMessageBox(NoDisplayModeText, "VELMO", MessageButtons::Ok, MessageIcon::Exclamation);
      return false;
    }
    displayModeChanged = true;
    // The display takes its time to settle in the new mode.
    Sleep(1000);
  } else if (!changeMode && displayModeChanged) {
    RestoreDisplay();
  }
  if (!screenSaverHeld) {
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, nullptr, 0);
    screenSaverHeld = true;
  }
  SetMenu(hwnd, nullptr);
  SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(WS_POPUP) | visible);
  UpdateWindow(hwnd);
  // In a display mode of its own the window stays above all others; borderless over the desktop
  // it is an ordinary window that other programs may come in front of.
  CoverMonitor(changeMode);
  fullScreenLayout = true;
  return true;
}

void MainWindow::RestoreDisplay() {
  if (displayModeChanged) {
    ChangeDisplaySettingsA(nullptr, 0);
    displayModeChanged = false;
    Sleep(1000);
  }
  if (screenSaverHeld) {
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
    screenSaverHeld = false;
  }
}

bool MainWindow::OpenDialog(EngineDialog dialog) {
  switch (dialog) {
  case EngineDialog::Settings:
    return RunSettingsSheet(window.hwnd, *engine);
  case EngineDialog::About:
    RunAboutBox(window.hwnd, *engine);
    return true;
  case EngineDialog::LoadBookmark:
    return RunBookmarkDialog(window.hwnd, *engine, BookmarkDialogKind::Load);
  case EngineDialog::SaveBookmark:
    return RunBookmarkDialog(window.hwnd, *engine, BookmarkDialogKind::Save);
  }
  return false;
}

void MainWindow::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window.hwnd, &paint);
  const TSurface* shown = ShownSurface(engine->screen, engine->run.state);
  RECT client = {};
  GetClientRect(window.hwnd, &client);
  PaintScaledPicture(dc, paint.rcPaint, client.right, client.bottom, window.picture, shown);
  EndPaint(window.hwnd, &paint);
}

void MainWindow::OnLeftButton(int x, int y) {
  if (!shuttingDown) OnLeftClick(*engine, x, y);
}

void MainWindow::OnInputEffect(InputEffect effect) {
  switch (effect) {
  case InputEffect::Click: {
    // A click where the cursor is, as the button would make it (in picture coordinates).
    int x = -1, y = -1;
    window.CursorPosition(x, y);
    OnLeftButton(x, y);
    break;
  }
  case InputEffect::RightButton:
    PostMessageA(window.hwnd, WM_RBUTTONDOWN, 0, 0);
    break;
  case InputEffect::None:
    break;
  }
}

void MainWindow::OnRightButton() {
  const RightClickAction action = OnRightClick(*engine);
  if (action == RightClickAction::FullScreenMenu) {
    // Its command comes as a WM_COMMAND once the menu is closed; nothing runs while it is open.
    const ScriptDoor::Hold hold(engine->door);
    POINT cursor;
    GetCursorPos(&cursor);
    TrackPopupMenu(window.FullScreenMenu(), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window.hwnd, nullptr);
    return;
  }
  if (const int command = RightButtonCommand(action)) window.PostCommand(command);
}

bool MainWindow::OnCommand(WORD id) {
  // Commands come through the script door: never in the middle of a running command or while a
  // box of the engine is open.
  switch (id) {
  case IDM_CAPTURE:
    engine->door.Deliver([this] {
      if (!shuttingDown) CaptureWithDialog(window.hwnd, *engine);
    });
    return true;
  case IDM_CAPTURE_AUTO:
    engine->door.Deliver([this] {
      if (!shuttingDown) CaptureAutomatically(*engine);
    });
    return true;
  default:
    if (!IsMenuCommand(id)) return false;
    engine->door.Deliver([this, id] {
      if (!shuttingDown) RunMenuCommand(*engine, id);
    });
    return true;
  }
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

void MainWindow::EndEngine() {
  shuttingDown = true;
  engine->run.state = RunState::Terminating;
  ShutdownEngine(*engine);
  RestoreDisplay();
  WriteSettingsAndCleanUp();
}

void MainWindow::OnShutdown() {
  if (shuttingDown) return;
  EndEngine();
  // The engine's objects go once nothing of the engine is on the call stack any more.
  PostMessageA(window.hwnd, UmReleaseEngine, 0, 0);
}

void MainWindow::OnEndSession() {
  // The process ends when this returns: no script runs any more, and what the player keeps is
  // written now.
  if (!shuttingDown) EndEngine();
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
