#pragma once

#include <windows.h>

#include <commctrl.h>

#include <initializer_list>
#include <string>

namespace velmo {

// The report-style lists of the engine's dialogs (the bookmark slots, the plug-ins).

struct ListColumn {
  const char* title;
  int width; // pixels
};

// Full-row selection, left-aligned columns, and `smallIcons` as the rows' icons (the list frees it
// when it is destroyed).
void SetUpListView(HWND view, std::initializer_list<ListColumn> columns, HIMAGELIST smallIcons);
// Row `row` with icon `image`: its first cell is the item's text, the others its columns'.
void AddListRow(HWND view, int row, int image, std::initializer_list<std::string> cells);

// A 16 x 16 icon of the program's resources; nullptr when it has none of that id.
HICON ProgramSmallIcon(int id);
// An image list of 16 x 16 icons in the order given, each taken over (destroyed once copied);
// `fallback` stands in for a missing one.
HIMAGELIST SmallIconList(std::initializer_list<HICON> icons, int fallback);

} // namespace velmo
