#include "engine/shell/win32/shell_window.h"

#include "engine/base/sjis.h"
#include "engine/resources/resource_ids.h"
#include "engine/shell/win32/main_window.h"

namespace velmo {

namespace {

// The longest text the text-input dialog gives back, in bytes.
constexpr int TextInputLimit = 63;

struct TextInput {
  std::string_view title;
  std::string_view prompt;
  std::string text;
};

INT_PTR CALLBACK TextInputProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_INITDIALOG: {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    const auto* input = reinterpret_cast<const TextInput*>(lParam);
    SetWindowTextA(dialog, std::string(input->title).c_str());
    SetDlgItemTextA(dialog, IDC_TEXTINPUT_PROMPT, std::string(input->prompt).c_str());
    SendDlgItemMessageA(dialog, IDC_TEXTINPUT_EDIT, EM_LIMITTEXT, TextInputLimit, 0);
    SetDlgItemTextA(dialog, IDC_TEXTINPUT_EDIT, input->text.c_str());
    CenterDialog(dialog);
    return TRUE;
  }
  case WM_COMMAND: {
    const WORD id = LOWORD(wParam);
    if (id != IDOK && id != IDCANCEL) return FALSE;
    // The edited text is given back however the dialog ends (the close box sends IDCANCEL).
    auto* input = reinterpret_cast<TextInput*>(GetWindowLongPtrA(dialog, DWLP_USER));
    // The whole text first, then cut: the edit box may hold more bytes than a value takes (its limit
    // counts characters), and a buffer of the value's size would end inside a two-byte character.
    HWND edit = GetDlgItem(dialog, IDC_TEXTINPUT_EDIT);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
    input->text = CutAtCharBoundary(text, TextInputLimit);
    EndDialog(dialog, id == IDOK ? 1 : 0);
    return TRUE;
  }
  default:
    return FALSE;
  }
}

// Enables or grays the item of command `id` in `menu` and the pop-ups under it.
void EnableItem(HMENU menu, UINT id, bool enabled) {
  if (menu != nullptr) EnableMenuItem(menu, id, static_cast<UINT>(MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED)));
}

// Checks or unchecks the item of command `id` in `menu` and the pop-ups under it.
void CheckItem(HMENU menu, UINT id, bool checked) {
  if (menu != nullptr) CheckMenuItem(menu, id, static_cast<UINT>(MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED)));
}

} // namespace

void ShellWindow::ShowMenus(const MenuStates& states) {
  for (HMENU menu : {menuBar, FullScreenMenu()}) {
    EnableItem(menu, IDM_LOAD, states.loadEnabled);
    EnableItem(menu, IDM_SAVE, states.saveEnabled);
    EnableItem(menu, IDM_ERASEMESSAGE, states.eraseMessageEnabled);
    EnableItem(menu, IDM_SKIPNEXT, states.skipNextEnabled);
    EnableItem(menu, IDM_READSKIP, states.skipNextEnabled);
    EnableItem(menu, IDM_FLASHBACK, states.flashbackEnabled);
    CheckItem(menu, IDM_AUTOMODE, states.autoModeChecked);
    CheckItem(menu, IDM_READSKIP, states.readSkipChecked);
    EnableItem(menu, IDM_FULLSCREEN, states.fullScreenEnabled);
    EnableItem(menu, IDM_ABOUTSCENARIO, states.aboutScenarioEnabled);
    for (UINT id = IDM_WINDOW_X1; id <= IDM_WINDOW_X3; ++id) EnableItem(menu, id, states.windowScaleEnabled);
    if (menu != nullptr) {
      CheckMenuRadioItem(menu, IDM_WINDOW_X1, IDM_WINDOW_X3, static_cast<UINT>(IDM_WINDOW_X1 + states.windowScale - 1),
                         MF_BYCOMMAND);
    }
  }
  if (hwnd != nullptr && GetMenu(hwnd) != nullptr) DrawMenuBar(hwnd);
}

bool ShellWindow::AskText(std::string_view title, std::string_view prompt, std::string& text) {
  TextInput input{title, prompt, text};
  const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_TEXTINPUT), hwnd,
                                         TextInputProc, reinterpret_cast<LPARAM>(&input));
  // A dialog that could not be made leaves the text as it was.
  if (result == -1) return false;
  text = input.text;
  return result == 1;
}

bool ShellWindow::ShowDialog(EngineDialog dialog) { return main.OpenDialog(dialog); }

bool ShellWindow::SetDisplayLayout(int fullScreen) {
  const bool applied = main.ApplyDisplayMode(fullScreen);
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  return applied;
}

bool ShellWindow::LoadMenus() {
  HINSTANCE program = GetModuleHandleA(nullptr);
  menuBar = LoadMenuA(program, MAKEINTRESOURCEA(IDR_MAINMENU));
  popups = LoadMenuA(program, MAKEINTRESOURCEA(IDR_POPUPMENU));
  return menuBar != nullptr && popups != nullptr;
}

void ShellWindow::DestroyMenus() {
  if (hwnd != nullptr && IsWindow(hwnd) && GetMenu(hwnd) != nullptr) SetMenu(hwnd, nullptr);
  if (menuBar != nullptr) DestroyMenu(menuBar);
  if (popups != nullptr) DestroyMenu(popups);
  menuBar = nullptr;
  popups = nullptr;
}

} // namespace velmo
