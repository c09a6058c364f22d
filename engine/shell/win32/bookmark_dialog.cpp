#include "engine/shell/win32/bookmark_dialog.h"

#include "engine/platform/win32/win32_platform.h"
#include "engine/resources/resource_ids.h"
#include "engine/shell/win32/list_view.h"
#include "engine/shell/win32/main_window.h"

#include <commctrl.h>

#include <exception>
#include <memory>
#include <string>

namespace velmo {

namespace {

static_assert(IDC_BOOKMARK_LIST == BookmarkListId && IDC_BOOKMARK_DELETE == BookmarkDeleteId &&
              IDC_BOOKMARK_PREVIOUS == BookmarkPreviousId && IDC_BOOKMARK_NEXT == BookmarkNextId &&
              IDOK == BookmarkDecideId && IDCANCEL == BookmarkBackId &&
              IDM_BOOKMARK_BLUE == BookmarkMarkCommandBase + 2 && IDM_BOOKMARK_RED == BookmarkMarkCommandBase + 4);

// The position of POPUP_BOOKMARK in menu 110, and of the sub-menu しおり in it.
constexpr int BookmarkPopupPosition = 1;
constexpr int MarkMenuPosition = 4;

UINT MenuState(UINT by, bool enabled) { return static_cast<UINT>(by | (enabled ? MF_ENABLED : MF_GRAYED)); }

struct BookmarkDialog {
  Engine& engine;
  BookmarkDialogKind kind;
  std::unique_ptr<BookmarkList> list;
  HWND dialog = nullptr;
  HWND view = nullptr;
  HMENU menus = nullptr; // menu 110, loaded for the dialog's life
  bool filling = false;  // the rows are being made: their notifications are not the player's
  bool saved = false;

  HMENU Popup() const { return menus != nullptr ? GetSubMenu(menus, BookmarkPopupPosition) : nullptr; }

  void Open() {
    CenterDialog(dialog);
    list = std::make_unique<BookmarkList>(engine, kind, OwnedMessageBoxes(dialog));
    SetWindowTextA(dialog, list->Caption());
    view = GetDlgItem(dialog, IDC_BOOKMARK_LIST);
    SetUpListView(view, {{"しおり", 50}, {"日付", 100}, {"コメント", 200}},
                  SmallIconList({ProgramSmallIcon(IDI_BOOKMARK_EMPTY), ProgramSmallIcon(IDI_BOOKMARK_READONLY),
                                 ProgramSmallIcon(IDI_BOOKMARK_BLUE), ProgramSmallIcon(IDI_BOOKMARK_YELLOW),
                                 ProgramSmallIcon(IDI_BOOKMARK_RED)},
                                IDI_BOOKMARK_EMPTY));
    HINSTANCE program = GetModuleHandleA(nullptr);
    menus = LoadMenuA(program, MAKEINTRESOURCEA(IDR_POPUPMENU));
    Fill();
    SetFocus(view);
  }

  // The rows of the list from the model, the selection it keeps, and the controls.
  void Fill() {
    filling = true;
    ListView_DeleteAllItems(view);
    for (int i = 0; i < BookmarkRowsPerPage; ++i) {
      const BookmarkRow& row = list->Rows()[static_cast<std::size_t>(i)];
      AddListRow(view, i, row.IconIndex(), {row.label, row.date, row.comment});
    }
    if (list->Selected() >= 0) {
      ListView_SetItemState(view, list->Selected(), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      ListView_EnsureVisible(view, list->Selected(), FALSE);
    }
    filling = false;
    ShowControls();
  }

  void Enable(int id, bool enabled) {
    HWND control = GetDlgItem(dialog, id);
    // A button that goes gray must not keep the keyboard focus.
    if (!enabled && GetFocus() == control) SetFocus(view);
    EnableWindow(control, enabled ? TRUE : FALSE);
  }

  void ShowControls() {
    const BookmarkControls controls = list->Controls();
    Enable(IDOK, controls.decideEnabled);
    Enable(IDC_BOOKMARK_DELETE, controls.deleteEnabled);
    Enable(IDC_BOOKMARK_PREVIOUS, controls.previousEnabled);
    Enable(IDC_BOOKMARK_NEXT, controls.nextEnabled);
    HMENU popup = Popup();
    if (popup == nullptr) return;
    EnableMenuItem(popup, IDOK, MenuState(MF_BYCOMMAND, controls.decideEnabled));
    EnableMenuItem(popup, IDC_BOOKMARK_DELETE, MenuState(MF_BYCOMMAND, controls.deleteEnabled));
    EnableMenuItem(popup, MarkMenuPosition, MenuState(MF_BYPOSITION, controls.deleteEnabled));
    HMENU marks = GetSubMenu(popup, MarkMenuPosition);
    for (int id = IDM_BOOKMARK_BLUE; id <= IDM_BOOKMARK_RED; ++id) {
      CheckMenuItem(marks, static_cast<UINT>(id), MF_BYCOMMAND | MF_UNCHECKED);
    }
    if (controls.checkedMarkCommand != 0) {
      CheckMenuRadioItem(marks, IDM_BOOKMARK_BLUE, IDM_BOOKMARK_RED, static_cast<UINT>(controls.checkedMarkCommand),
                         MF_BYCOMMAND);
    }
  }

  // The row the list selects now, by mouse or keyboard.
  void FollowSelection() {
    list->Select(ListView_GetNextItem(view, -1, LVNI_SELECTED));
    ShowControls();
  }

  void OnNotify(const NMHDR& header, LPARAM lParam) {
    if (header.idFrom != IDC_BOOKMARK_LIST) return;
    switch (header.code) {
    case LVN_ITEMCHANGED: {
      const auto& change = *reinterpret_cast<const NMLISTVIEW*>(lParam);
      if (!filling && (change.uChanged & LVIF_STATE) != 0) FollowSelection();
      break;
    }
    case NM_DBLCLK: {
      const int row = reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem;
      FollowSelection();
      if (list->DoubleClickDecides(row)) PostMessageA(dialog, WM_COMMAND, IDOK, 0);
      break;
    }
    case NM_CLICK:
      FollowSelection();
      break;
    case NM_RCLICK: {
      const int row = reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem;
      FollowSelection();
      if (list->Selected() == row && list->RightClickShowsMenu(row) && Popup() != nullptr) {
        POINT cursor;
        GetCursorPos(&cursor);
        // Its command comes to the dialog as a WM_COMMAND.
        TrackPopupMenu(Popup(), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, dialog, nullptr);
      }
      break;
    }
    default:
      break;
    }
  }

  void OnCommand(int id) {
    if (id == IDCANCEL) {
      EndDialog(dialog, saved ? 1 : 0);
      return;
    }
    const BookmarkOutcome outcome = list->Command(id);
    Fill();
    switch (outcome) {
    case BookmarkOutcome::Loaded:
      EndDialog(dialog, 1);
      break;
    case BookmarkOutcome::Terminate:
      EndDialog(dialog, saved ? 1 : 0);
      break;
    case BookmarkOutcome::Saved:
      saved = true;
      break;
    case BookmarkOutcome::Stay:
      break;
    }
  }
};

INT_PTR CALLBACK BookmarkDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<BookmarkDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  // Nothing leaves a dialog procedure by an exception: what cannot be done closes the dialog.
  try {
    switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      self = reinterpret_cast<BookmarkDialog*>(lParam);
      self->dialog = dialog;
      self->Open();
      return FALSE; // the focus is on the list
    case WM_NOTIFY:
      if (self != nullptr) self->OnNotify(*reinterpret_cast<const NMHDR*>(lParam), lParam);
      return TRUE;
    case WM_COMMAND:
      if (self == nullptr || HIWORD(wParam) > 1) return FALSE;
      self->OnCommand(LOWORD(wParam));
      return TRUE;
    case WM_DESTROY:
      if (self != nullptr && self->menus != nullptr) {
        DestroyMenu(self->menus);
        self->menus = nullptr;
      }
      return FALSE;
    default:
      return FALSE;
    }
  } catch (const std::exception&) {
    EndDialog(dialog, 0);
    return TRUE;
  }
}

} // namespace

bool RunBookmarkDialog(HWND owner, Engine& engine, BookmarkDialogKind kind) {
  if (!BookmarkDialogOpens(engine, kind)) return false;
  BookmarkDialog state{engine, kind, nullptr};
  const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_BOOKMARK), owner,
                                         BookmarkDialogProc, reinterpret_cast<LPARAM>(&state));
  return result == 1;
}

} // namespace velmo
