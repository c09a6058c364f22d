#pragma once

#include <windows.h>

namespace velmo {

class Engine;

// The settings sheet "環境設定 - VELMO" over `owner` (PropertySheetA, OK and Cancel only): the pages
// 動作, ﾒｯｾｰｼﾞ, ﾌｫﾝﾄ, ﾏｳｽ (not in full screen with a mode change), ﾏﾙﾁﾒﾃﾞｨｱ and ﾌﾟﾗｸﾞｲﾝ, carried out
// by the portable page objects. True when the player chose OK: the pages that were shown have
// written their settings.
bool RunSettingsSheet(HWND owner, Engine& engine);

// The about box (dialog 502), centred on `owner`; it closes through its close box only.
void RunAboutBox(HWND owner, Engine& engine);

// The web page the about box's link opens.
inline constexpr const char* AboutLinkUrl = "https://velmo.example/";

} // namespace velmo
