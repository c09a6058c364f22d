// The program's menus, cursor, accelerator and text-input dialog as its resources hold them (this
// test program links the same resource script), and what the shell's window does with them.
#include "engine/shell/win32/shell_window.h"

#include "engine/shell/win32/main_window.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace velmo {
namespace {

// One item of a menu: how deep it sits under the menu, its caption (Shift-JIS), its command id (0
// for an item that opens a pop-up) and its marks. Separators are left out.
struct Item {
  int depth = 0;
  std::string caption;
  UINT id = 0;
  bool grayed = false;
  bool checked = false;
  bool rightJustified = false;
  bool operator==(const Item&) const = default;
};

void PrintTo(const Item& item, std::ostream* out) {
  *out << "{" << item.depth << ", \"";
  for (const char c : item.caption) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      *out << c;
    } else {
      constexpr char Hex[] = "0123456789ABCDEF";
      *out << "\\x" << Hex[byte >> 4] << Hex[byte & 15];
    }
  }
  *out << "\", " << item.id << (item.grayed ? ", grayed" : "") << (item.checked ? ", checked" : "")
       << (item.rightJustified ? ", right" : "") << "}";
}

// Every item of `menu` and of the pop-ups under it, in the order the player sees them.
void ReadItems(HMENU menu, int depth, std::vector<Item>& items) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    char caption[128] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = caption;
    info.cch = sizeof caption;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) {
      items.push_back({depth, "(unreadable)"});
      continue;
    }
    if ((info.fType & MFT_SEPARATOR) != 0) continue;
    items.push_back({depth, caption, info.hSubMenu != nullptr ? 0 : info.wID, (info.fState & MFS_GRAYED) != 0,
                     (info.fState & MFS_CHECKED) != 0, (info.fType & MFT_RIGHTJUSTIFY) != 0});
    if (info.hSubMenu != nullptr) ReadItems(info.hSubMenu, depth + 1, items);
  }
}

std::vector<Item> MenuItems(HMENU menu) {
  std::vector<Item> items;
  ReadItems(menu, 0, items);
  return items;
}

// The game's commands, as the menu bar shows them and the full-screen pop-up repeats them, starting
// at `depth`: on the bar システム stands at the right end, in the pop-up 全画面表示 is checked.
std::vector<Item> GameMenu(int depth, bool popUp) {
  return {
      {depth, "しおり(&B)"},
      {depth + 1, "開く(&O) ...", 40013},
      {depth + 1, "挿す(&S) ...", 40012},
      {depth + 1, "画面取込み(&C) ...", 40020},
      {depth + 1, "タイトルに戻る(&T)", 40014},
      {depth, "オプション(&O)"},
      {depth + 1, "メッセージを消す(&E)", 40011},
      {depth + 1, "読み返す(&L)", 40030, true},
      {depth + 1, "オートモード(&A)\tA", 40035},
      {depth + 1, "既読スキップ(&R)\tTab", 40036},
      {depth + 1, "全画面表示(&F)", 40018, false, popUp},
      {depth + 1, "ウィンドウの大きさ(&W)"},
      {depth + 2, "等倍 (640×480)(&1)", 40051, false, true},
      {depth + 2, "2倍 (1280×960)(&2)", 40052},
      {depth + 2, "3倍 (1920×1440)(&3)", 40053},
      {depth + 1, "環境設定(&C) ...", 40008},
      {depth, "次の選択肢へ(&N)", 40010},
      {depth, "システム(&S)", 0, false, false, !popUp},
      {depth + 1, "VELMOについて(&A) ...", 40009},
      {depth + 1, "シナリオについて(S) ...", 40031, true},
      {depth + 1, "終了(&X)", 40001},
  };
}

HMENU LoadProgramMenu(int id) { return LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)); }

TEST(ProgramResourcesTest, MenuBar101HoldsTheGameCommands) {
  HMENU bar = LoadProgramMenu(101);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(MenuItems(bar), GameMenu(0, false));
  DestroyMenu(bar);
}

TEST(ProgramResourcesTest, Menu110HoldsTheFullScreenBookmarkPlugInAndDummyPopUps) {
  HMENU popups = LoadProgramMenu(110);
  ASSERT_NE(popups, nullptr);
  std::vector<Item> expected = {{0, "POPUP_FULLSCREEN"}};
  for (const Item& item : GameMenu(1, true)) expected.push_back(item);
  const std::vector<Item> rest = {
      {0, "POPUP_BOOKMARK"}, // the bookmark list's
      {1, "決定", 1},
      {1, "削除", 3},
      {1, "しおり"},
      {2, "青", 40026},
      {2, "黄", 40027},
      {2, "赤", 40028},
      {0, "POPUP_PLUGIN"}, // the plug-in list's
      {1, "設定 ...", 40032},
      {1, "このﾌﾟﾗｸﾞｲﾝについて ...", 40033},
      {0, "DUMMY"}, // what only @CallDialog posts
      {1, "@CallDialogで使用", 40019},
  };
  expected.insert(expected.end(), rest.begin(), rest.end());
  EXPECT_EQ(MenuItems(popups), expected);
  DestroyMenu(popups);
}

TEST(ProgramResourcesTest, TheCursorAndAltSAreThere) {
  EXPECT_NE(LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(106)), nullptr);
  HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(142));
  ASSERT_NE(table, nullptr);
  ACCEL entries[4] = {};
  ASSERT_EQ(CopyAcceleratorTableA(table, entries, 4), 1);
  EXPECT_EQ(entries[0].fVirt & (FVIRTKEY | FALT | FCONTROL | FSHIFT), FVIRTKEY | FALT);
  EXPECT_EQ(entries[0].key, 'S');
  EXPECT_EQ(entries[0].cmd, 40034);
  DestroyAcceleratorTable(table);
}

INT_PTR CALLBACK IdleDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

TEST(ProgramResourcesTest, Dialog131IsTheTextInputWithItsPromptEditAndButtons) {
  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(131), nullptr, IdleDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  char text[128] = {};
  GetWindowTextA(dialog, text, sizeof text);
  EXPECT_STREQ(text, "テキスト入力");
  struct Control {
    int id;
    const char* className;
    const char* text;
  };
  const Control controls[] = {
      {1076, "Static", "値または文字列を入力して下さい．"},
      {601, "Edit", ""},
      {1, "Button", "OK"},
      {2, "Button", "ｷｬﾝｾﾙ"},
  };
  for (const Control& control : controls) {
    SCOPED_TRACE(control.id);
    HWND item = GetDlgItem(dialog, control.id);
    ASSERT_NE(item, nullptr);
    GetClassNameA(item, text, sizeof text);
    EXPECT_EQ(lstrcmpiA(text, control.className), 0) << text;
    GetWindowTextA(item, text, sizeof text);
    EXPECT_STREQ(text, control.text);
  }
  int count = 0;
  EnumChildWindows(dialog, CountChild, reinterpret_cast<LPARAM>(&count));
  EXPECT_EQ(count, 4);
  DestroyWindow(dialog);
}

class ShellWindowTest : public ::testing::Test {
protected:
  MainWindow owner;
  ShellWindow window{owner};
};

// Each flag grays its own command and no other, in the menu bar and in the full-screen pop-up, and
// enables it again; 読み返す stays grayed and 全画面表示 stays checked in the pop-up.
TEST_F(ShellWindowTest, ShowMenusGraysAndEnablesEachCommandInTheBarAndThePopUp) {
  ASSERT_TRUE(window.LoadMenus());
  struct Flag {
    bool MenuStates::*field;
    UINT id;
  };
  const Flag flags[] = {
      {&MenuStates::loadEnabled, 40013},         {&MenuStates::saveEnabled, 40012},
      {&MenuStates::eraseMessageEnabled, 40011}, {&MenuStates::skipNextEnabled, 40010},
      {&MenuStates::fullScreenEnabled, 40018},   {&MenuStates::aboutScenarioEnabled, 40031},
  };
  const HMENU menus[] = {window.MenuBar(), window.FullScreenMenu()};
  for (const Flag& changed : flags) {
    for (const bool enabled : {false, true}) {
      MenuStates states;
      for (const Flag& flag : flags) states.*flag.field = true;
      states.*changed.field = enabled;
      window.ShowMenus(states);
      for (int m = 0; m < 2; ++m) {
        for (const Flag& flag : flags) {
          SCOPED_TRACE(testing::Message()
                       << "changed " << changed.id << " to " << enabled << ", menu " << m << ", item " << flag.id);
          const bool grayed = flag.id == changed.id && !enabled;
          EXPECT_EQ((GetMenuState(menus[m], flag.id, MF_BYCOMMAND) & MF_GRAYED) != 0, grayed);
        }
        EXPECT_NE(GetMenuState(menus[m], 40030, MF_BYCOMMAND) & MF_GRAYED, 0u);
      }
      EXPECT_NE(GetMenuState(window.FullScreenMenu(), 40018, MF_BYCOMMAND) & MF_CHECKED, 0u);
    }
  }
}

// How the player ends the text-input dialog.
enum class Ending { Ok, Cancel, CloseBox };

// What a helper thread saw of the text-input dialog before it ended it.
struct Seen {
  std::atomic<bool> found{false};
  std::string prompt;
  std::string edit;
  RECT rect = {};
};

// Waits for the dialog titled `title`, notes what it shows, types `typed` into its edit box and
// ends it as `ending` says.
void AnswerTextDialog(const char* title, const std::string& typed, Ending ending, Seen& seen) {
  HWND dialog = nullptr;
  for (int i = 0; i < 500 && dialog == nullptr; ++i) {
    dialog = FindWindowA(nullptr, title);
    if (dialog == nullptr) Sleep(10);
  }
  if (dialog == nullptr) return;
  char text[256] = {};
  GetDlgItemTextA(dialog, 1076, text, sizeof text);
  seen.prompt = text;
  GetDlgItemTextA(dialog, 601, text, sizeof text);
  seen.edit = text;
  GetWindowRect(dialog, &seen.rect);
  seen.found = true;
  SetDlgItemTextA(dialog, 601, typed.c_str());
  switch (ending) {
  case Ending::Ok:
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    break;
  case Ending::Cancel:
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    break;
  case Ending::CloseBox:
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    break;
  }
}

// The dialog shows the prompt and the text it is given, centred over the main window; the edited
// text comes back however it ends (at most 63 bytes, never half a character), and only OK says yes.
TEST_F(ShellWindowTest, AskTextShowsThePromptAndGivesTheEditedTextBackHoweverItEnds) {
  HWND parent = CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 50, 700, 500, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  window.hwnd = parent;
  struct Case {
    Ending ending;
    std::string typed;
    bool accepted;
    std::string given;
  };
  const std::string wide(32, 'x');
  std::string kana;
  for (int i = 0; i < 32; ++i) kana += "あ";
  const Case cases[] = {
      {Ending::Ok, "typed", true, "typed"}, // OK, ｷｬﾝｾﾙ, the close box
      {Ending::Cancel, "cancelled", false, "cancelled"},
      {Ending::CloseBox, "closed", false, "closed"},
      {Ending::Ok, wide + wide, true, wide + std::string(31, 'x')}, // 64 bytes
      {Ending::Ok, kana, true, kana.substr(0, 62)},                 // the 32nd character would not fit
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.typed);
    Seen seen;
    std::thread player(AnswerTextDialog, "名前 - VELMO", test.typed, test.ending, std::ref(seen));
    std::string text = "初期値";
    const bool accepted = window.AskText("名前 - VELMO", "名前を入力", text);
    player.join();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.prompt, "名前を入力");
    EXPECT_EQ(seen.edit, "初期値");
    EXPECT_EQ(accepted, test.accepted);
    EXPECT_EQ(text, test.given);
    RECT outer;
    GetWindowRect(parent, &outer);
    EXPECT_NEAR((seen.rect.left + seen.rect.right) / 2, (outer.left + outer.right) / 2, 1);
    EXPECT_NEAR((seen.rect.top + seen.rect.bottom) / 2, (outer.top + outer.bottom) / 2, 1);
  }
  window.hwnd = nullptr;
  DestroyWindow(parent);
}

} // namespace
} // namespace velmo
