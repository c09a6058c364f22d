#pragma once

#include "engine/platform/platform.h"
#include "engine/platform/win32/win32_platform.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace velmo {

class MainWindow;

// The main window as the core sees it, with what only the program's own window has: the menus it
// owns (the menu bar 101 and the pop-ups of 110), the text-input dialog 131, and the engine's
// dialogs and display layouts, which the main window carries out.
class ShellWindow final : public Win32Window {
public:
  explicit ShellWindow(MainWindow& owner) : main(owner) {}
  ~ShellWindow() override { DestroyMenus(); }
  ShellWindow(const ShellWindow&) = delete;
  ShellWindow& operator=(const ShellWindow&) = delete;

  void ShowMenus(const MenuStates& states) override;
  bool AskText(std::string_view title, std::string_view prompt, std::string& text) override;
  bool ShowDialog(EngineDialog dialog) override;
  // The layout, then the window shown normally and painted.
  bool SetDisplayLayout(int fullScreen) override;

  // Loads the menu bar and the pop-ups from the program's resources; false when one is missing.
  bool LoadMenus();
  // Takes the menu bar off the window and destroys both menus.
  void DestroyMenus();
  HMENU MenuBar() const { return menuBar; }
  // The pop-up shown on the right button in full screen: the first of menu 110.
  HMENU FullScreenMenu() const { return popups != nullptr ? GetSubMenu(popups, 0) : nullptr; }

private:
  MainWindow& main;
  HMENU menuBar = nullptr;
  HMENU popups = nullptr;
};

} // namespace velmo
