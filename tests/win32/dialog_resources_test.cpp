// The dialogs and icons of the settings sheet, the about box and the bookmark dialogs as the
// program's resources hold them (this test program links the same resource script): every control
// with its id, its text byte for byte (Shift-JIS) and whether it starts enabled, and every icon at
// the 16 x 16 pixels the lists show.
#include "engine/resources/resource_ids.h"
#include "engine/shell/bookmark_list.h"
#include "engine/shell/settings_pages.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace velmo {
namespace {

struct Control {
  int id;
  std::string text;
  bool enabled = true;
  bool operator==(const Control&) const = default;
};

void PrintTo(const Control& control, std::ostream* out) {
  *out << "{" << control.id << ", " << ::testing::PrintToString(control.text) << (control.enabled ? "" : ", disabled")
       << "}";
}

INT_PTR CALLBACK Quiet(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG ? TRUE : FALSE; }

// The dialog `id` made from its template (a page as the child of a hidden window): its caption and
// its controls with an id, in the template's order.
struct Made {
  std::string caption;
  std::vector<Control> controls;
};
Made MakeDialog(int id) {
  HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), parent, Quiet, 0);
  Made made;
  if (dialog != nullptr) {
    char text[256] = {};
    GetWindowTextA(dialog, text, sizeof text);
    made.caption = text;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      const int controlId = GetDlgCtrlID(child);
      if (controlId <= 0 || controlId == 0xFFFF) continue;
      GetWindowTextA(child, text, sizeof text);
      made.controls.push_back({controlId, text, IsWindowEnabled(child) != 0});
    }
    DestroyWindow(dialog);
  }
  DestroyWindow(parent);
  return made;
}

TEST(DialogResourcesTest, TheBookmarkDialog) {
  const Made made = MakeDialog(IDD_BOOKMARK);
  EXPECT_EQ(made.caption, "しおりの選択 ...");
  const std::vector<Control> expected = {{BookmarkListId, "", true},        {BookmarkPreviousId, "▲ 前頁", false},
                                         {BookmarkNextId, "▼ 次頁", false}, {BookmarkDeleteId, "× 削除", false},
                                         {BookmarkDecideId, "決定", false}, {BookmarkBackId, "戻る", true}};
  EXPECT_EQ(made.controls, expected);
}

TEST(DialogResourcesTest, TheSettingsPages) {
  const struct {
    SettingsPageId page;
    const char* tab;
    std::vector<Control> controls;
  } pages[] = {
      {SettingsPageId::Behaviour,
       "動作",
       {{1008, "画面切替え時のｱﾆﾒｰｼｮﾝを行う (&T)"},
        {1054, "特殊効果を使用する (&E)"},
        {1055, "ｶｰｿﾙを選択肢に自動的に移動する (&A)"},
        {1072, "外部ﾌﾟﾛｸﾞﾗﾑ/ﾕｰｻﾞ定義関数の実行を警告する(&W)"}}},
      {SettingsPageId::Message, "ﾒｯｾｰｼﾞ", {{1078, ""}, {1079, "■■■■■■■■■■■■■■"}}},
      {SettingsPageId::Font,
       "ﾌｫﾝﾄ",
       {{1083, "ﾕｰｻﾞ設定のﾌｫﾝﾄを優先的に使用する (&U)"},
        {1084, "ﾌｫﾝﾄの縁をなめらかに表示する(&A)", false},
        {1006, ""},
        {1066, "等幅ﾌｫﾝﾄのみを選択する (&D)"}}},
      {SettingsPageId::Mouse,
       "ﾏｳｽ",
       {{30001, "無効 (&D)"},
        {30002, "次の選択肢へ (&N)"},
        {30003, "ﾒｯｾｰｼﾞを消す (&E)"},
        {30004, "環境設定 (&C) ..."},
        {30005, "画面取込み (&S) ..."},
        {30006, "画面取込み(自動) (&A)"}}},
      {SettingsPageId::Multimedia,
       "ﾏﾙﾁﾒﾃﾞｨｱ",
       {{1012, "効果音 (&PCM)"},
        {1014, "音声 (P&CM)"},
        {1011, "音楽 (&MIDI)"},
        {1013, "音楽 (C&D-DA)"},
        {1088, ""},
        {1019, "動画 (&ActiveMovie)"},
        {1015, "MM&X拡張命令", false},
        {1070, "ﾏﾙﾁﾒﾃﾞｨｱﾐｷｻ (&F)"},
        {1075, "音量調整 (&V) ..."}}},
      {SettingsPageId::Plugins, "ﾌﾟﾗｸﾞｲﾝ", {{1000, ""}}},
  };
  for (const auto& page : pages) {
    const Made made = MakeDialog(static_cast<int>(page.page));
    EXPECT_EQ(made.caption, page.tab);
    EXPECT_EQ(made.controls, page.controls) << page.tab;
  }
}

TEST(DialogResourcesTest, TheAboutBox) {
  const Made made = MakeDialog(IDD_ABOUT);
  EXPECT_EQ(made.caption, "VELMO について ...");
  ASSERT_EQ(made.controls.size(), 2u);
  EXPECT_EQ(made.controls[0].id, IDC_ABOUT_VERSION);
  EXPECT_EQ(made.controls[1].id, IDC_ABOUT_LINK);
}

TEST(DialogResourcesTest, EveryIconOfTheListsIsThereAtSixteenPixels) {
  for (const int id : {IDI_BOOKMARK_EMPTY, IDI_BOOKMARK_READONLY, IDI_PLUGIN, IDI_PLUGIN_EFFECT, IDI_PLUGIN_PROCEDURE,
                       IDI_BOOKMARK_BLUE, IDI_BOOKMARK_YELLOW, IDI_BOOKMARK_RED}) {
    auto icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
    ASSERT_NE(icon, nullptr) << id;
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info)) << id;
    BITMAP mask = {};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 16) << id;
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

} // namespace
} // namespace velmo
