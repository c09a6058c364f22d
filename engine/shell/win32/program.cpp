// velmo32.exe: one instance, one window, and a message loop that also drives time.
#include "engine/resources/resource_ids.h"
#include "engine/shell/win32/main_window.h"

#include <mmsystem.h>

namespace {

// The system's mutex handle, released when the program ends.
class Mutex {
public:
  explicit Mutex(HANDLE h) : handle(h) {}
  ~Mutex() {
    if (handle != nullptr) CloseHandle(handle);
  }
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;

private:
  HANDLE handle;
};

// Takes at most one message per pass (an accelerator key becomes its command) and ticks the frame
// driver when its time has come. While nothing is due the loop waits for the next message or the
// next tick instead of spinning, with the system timer at 1 ms so that text steps and transition
// frames keep their pace.
int RunMessageLoop(velmo::MainWindow& main, HACCEL accelerators) {
  timeBeginPeriod(1);
  MSG message;
  for (;;) {
    if (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!GetMessageA(&message, nullptr, 0, 0)) break;
      if (accelerators == nullptr || !TranslateAcceleratorA(main.Handle(), accelerators, &message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
    }
    const DWORD now = timeGetTime();
    main.TickIfDue(now);
    if (main.Handle() == nullptr) continue;
    const DWORD wait = main.MsUntilTick(timeGetTime());
    if (wait > 0) MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  timeEndPeriod(1);
  return static_cast<int>(message.wParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  Mutex mutex(CreateMutexA(nullptr, FALSE, velmo::WindowMutexName));
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    if (HWND first = FindWindowA(velmo::WindowClassName, nullptr)) {
      ShowWindow(first, SW_RESTORE);
      SetForegroundWindow(first);
    }
    return 0;
  }
  if (!velmo::MainWindow::RegisterWindowClass(instance)) return 0;
  velmo::MainWindow main;
  if (!main.Create(instance)) return 0;
  main.Show(showCommand);
  HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATOR));
  PostMessageA(main.Handle(), velmo::UM_STARTUP, 0, 0);
  return RunMessageLoop(main, accelerators);
}
