// The main window itself, made in the test's own process on a game folder of the test's own.
#include "engine/shell/win32/main_window.h"

#include "engine/core/engine.h"
#include "engine/platform/win32/win32_platform.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <mmsystem.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace velmo {
namespace {

class MainWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    instance = GetModuleHandleA(nullptr);
    MainWindow::RegisterWindowClass(instance);
  }
  std::string GameFolder() const { return folder.path.string() + "\\"; }

  // Takes messages until the loop would end (WM_QUIT) or none come for a while.
  static bool RunUntilQuit() {
    MSG message;
    for (int idle = 0; idle < 200;) {
      if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        Sleep(10);
        ++idle;
        continue;
      }
      if (message.message == WM_QUIT) return true;
      DispatchMessageA(&message);
    }
    return false;
  }

  // Dispatches what is posted now, without waiting for more.
  static void TakeWaitingMessages() {
    MSG message;
    for (int i = 0; i < 100 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageA(&message);
  }
  // A scrambled scenario file (the .scx form: each byte's halves exchanged).
  static void WriteScenario(const std::filesystem::path& file, std::string text) {
    for (char& c : text)
      c = static_cast<char>(((static_cast<unsigned char>(c) & 0x0F) << 4) | (static_cast<unsigned char>(c) >> 4));
    std::ofstream(file, std::ios::binary) << text;
  }

  HINSTANCE instance = nullptr;
  TempFolder folder;
};

TEST_F(MainWindowTest, IsAFixedWindowTitledVelmoWithAClientAreaOf640By480) {
  MainWindow main(GameFolder());
  ASSERT_TRUE(main.Create(instance));
  main.Show(SW_SHOWNOACTIVATE);
  HWND hwnd = main.Handle();
  char text[64] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  EXPECT_STREQ(text, "VELMO");
  GetClassNameA(hwnd, text, sizeof text);
  EXPECT_STREQ(text, "VELMO_WindowClass");
  RECT client;
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right - client.left, 640);
  EXPECT_EQ(client.bottom - client.top, 480);
  const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
  PostMessageA(hwnd, UM_SHUTDOWN, 0, 0);
  EXPECT_TRUE(RunUntilQuit());
}

TEST_F(MainWindowTest, ShutdownWritesTheSettingsAndEndsTheMessageLoop) {
  MainWindow main(GameFolder());
  ASSERT_TRUE(main.Create(instance));
  HWND hwnd = main.Handle();
  PostMessageA(hwnd, UM_SHUTDOWN, 0, 0);
  EXPECT_TRUE(RunUntilQuit());
  EXPECT_FALSE(IsWindow(hwnd));
  const std::string settings = ReadBytes(folder.path / "system" / "VELMO.ini");
  EXPECT_NE(settings.find("[MESSAGE]"), std::string::npos);
  EXPECT_NE(settings.find("Speed=5"), std::string::npos);
}

TEST_F(MainWindowTest, ATickIsDueAtOnceWhenTheScriptChangesWhatTheEngineWaitsFor) {
  WriteScenario(folder.path / "system" / "startup.scx", "@Wait TIME=5000\r\n@Exit\r\n");
  MainWindow main(GameFolder());
  ASSERT_TRUE(main.Create(instance));
  main.TickIfDue(timeGetTime()); // nothing started yet: the next tick is 50 ms away
  EXPECT_GT(main.MsUntilTick(timeGetTime()), 20u);
  PostMessageA(main.Handle(), UM_STARTUP, 0, 0);
  TakeWaitingMessages();
  // The script now waits in TimedWait: its first tick comes on the next pass of the loop.
  EXPECT_EQ(main.MsUntilTick(timeGetTime()), 0u);
  PostMessageA(main.Handle(), UM_SHUTDOWN, 0, 0);
  EXPECT_TRUE(RunUntilQuit());
}

TEST_F(MainWindowTest, AClickAtAPageEndHasTheNextMessageLineTypedAtOnce) {
  // Two message lines in a row: the interpreter's run between them leaves TextOutput as it found
  // it, yet begins a new wait, and the text steps' interval must not delay its first character.
  WriteScenario(folder.path / "system" / "startup.scx", "@Text WAIT=40\r\nA\\w\r\nB\\w\r\n@Exit\r\n");
  MainWindow main(GameFolder());
  ASSERT_TRUE(main.Create(instance));
  Engine& engine = *main.GetEngine();
  PostMessageA(main.Handle(), UM_STARTUP, 0, 0);
  TakeWaitingMessages();
  // The ticks run ahead of the real clock, so that a tick they schedule is never due by itself.
  std::uint32_t now = timeGetTime() + 100000;
  for (int ticks = 0; ticks < 10 && engine.run.state != RunState::ClickWait; ++ticks) main.TickIfDue(now += 1000);
  ASSERT_EQ(engine.run.state, RunState::ClickWait);
  PostMessageA(main.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(320, 240));
  PostMessageA(main.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(320, 240));
  TakeWaitingMessages();
  // The page's end is found on a tick, which asks for the resume and schedules a text step.
  main.TickIfDue(now += 1000);
  TakeWaitingMessages();
  ASSERT_EQ(engine.run.state, RunState::TextOutput);
  EXPECT_EQ(main.MsUntilTick(timeGetTime()), 0u);
  PostMessageA(main.Handle(), UM_SHUTDOWN, 0, 0);
  EXPECT_TRUE(RunUntilQuit());
}

TEST_F(MainWindowTest, FullScreenCoversTheScreenWithoutAModeChangeAndAWindowComesBackAtAScaleThatFits) {
  std::filesystem::create_directories(folder.path / "system");
  std::ofstream(folder.path / "system" / "VELMO.ini", std::ios::binary)
      << "[WINDOW]\r\nFullScreen=1\r\nWindowScale=2\r\n";
  MainWindow main(GameFolder());
  ASSERT_TRUE(main.Create(instance));
  main.Show(SW_SHOWNOACTIVATE);
  HWND hwnd = main.Handle();
  RECT rect;
  GetWindowRect(hwnd, &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_NE(GetWindowLongA(hwnd, GWL_STYLE) & WS_POPUP, 0);
  // Without a display mode of its own the window does not stay above every other one.
  EXPECT_EQ(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

  ASSERT_TRUE(main.ApplyDisplayMode(0));
  EXPECT_EQ(GetWindowLongA(hwnd, GWL_STYLE) & WS_POPUP, 0);
  RECT client;
  GetClientRect(hwnd, &client);
  // x2 asks for 1280 x 960 pixels: a screen of 768 lines has no room for them, and x1 is shown.
  if (GetSystemMetrics(SM_CYSCREEN) < 960) {
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
  }
  PostMessageA(hwnd, UM_SHUTDOWN, 0, 0);
  EXPECT_TRUE(RunUntilQuit());
  // The scale is kept as chosen, also where it could not be shown.
  const std::string settings = ReadBytes(folder.path / "system" / "VELMO.ini");
  EXPECT_NE(settings.find("WindowScale=2"), std::string::npos);
}

// The menu bar is on the window in the windowed layout, and a script's @EnableMenu grays and
// enables its items there.
TEST_F(MainWindowTest, TheMenuBarShowsWhatTheScriptEnablesAndGrays) {
  WriteScenario(folder.path / "system" / "startup.scx",
                "@EnableMenu LOAD=FALSE SKIPNEXT=false ERASEMESSAGE=FALSE\r\n@EnableMenu ERASEMESSAGE\r\n"
                "@Wait TIME=5000\r\n");
  MainWindow main(GameFolder());
  ASSERT_TRUE(main.Create(instance));
  main.Show(SW_SHOWNOACTIVATE);
  HMENU bar = GetMenu(main.Handle());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetMenuState(bar, 40013, MF_BYCOMMAND) & MF_GRAYED, 0u);
  PostMessageA(main.Handle(), UM_STARTUP, 0, 0);
  TakeWaitingMessages();
  const struct {
    UINT id;
    bool grayed;
  } items[] = {{40013, true}, {40012, false}, {40011, false}, {40010, true}};
  for (const auto& item : items) {
    EXPECT_EQ((GetMenuState(bar, item.id, MF_BYCOMMAND) & MF_GRAYED) != 0, item.grayed) << item.id;
  }
  PostMessageA(main.Handle(), UM_SHUTDOWN, 0, 0);
  EXPECT_TRUE(RunUntilQuit());
}

} // namespace
} // namespace velmo
