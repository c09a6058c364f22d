#pragma once

#include "engine/shell/bookmark_list.h"

#include <windows.h>

namespace velmo {

class Engine;

// The bookmark dialog of `kind` (template 102) over `owner`, modal, carried out by the portable
// BookmarkList: the list of ten slots with their mark icons, the page buttons, delete, the colour
// marks and the context menu POPUP_BOOKMARK. The load dialog ends after a bookmark was loaded
// (true); the save dialog stays until 戻る and answers whether it saved one.
bool RunBookmarkDialog(HWND owner, Engine& engine, BookmarkDialogKind kind);

} // namespace velmo
