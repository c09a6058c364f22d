#include "engine/shell/win32/list_view.h"

namespace velmo {

void SetUpListView(HWND view, std::initializer_list<ListColumn> columns, HIMAGELIST smallIcons) {
  ListView_SetExtendedListViewStyle(view, LVS_EX_FULLROWSELECT);
  int index = 0;
  for (const ListColumn& c : columns) {
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = c.width;
    column.pszText = const_cast<char*>(c.title);
    column.iSubItem = index;
    SendMessageA(view, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
    ++index;
  }
  ListView_SetImageList(view, smallIcons, LVSIL_SMALL);
}

void AddListRow(HWND view, int row, int image, std::initializer_list<std::string> cells) {
  int column = 0;
  for (const std::string& text : cells) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    if (column == 0) {
      item.mask = LVIF_TEXT | LVIF_IMAGE;
      item.iItem = row;
      item.iImage = image;
      SendMessageA(view, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    } else {
      SendMessageA(view, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
    ++column;
  }
}

HICON ProgramSmallIcon(int id) {
  return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
}

HIMAGELIST SmallIconList(std::initializer_list<HICON> icons, int fallback) {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR4 | ILC_MASK, static_cast<int>(icons.size()), 0);
  for (HICON icon : icons) {
    HICON shown = icon != nullptr ? icon : ProgramSmallIcon(fallback);
    ImageList_AddIcon(list, shown);
    if (shown != nullptr) DestroyIcon(shown);
  }
  return list;
}

} // namespace velmo
