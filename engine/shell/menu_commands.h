#pragma once

#include "engine/core/frame_driver.h"
#include "engine/core/settings.h"

#include <cstdint>
#include <vector>

namespace velmo {

class Engine;

// Carries out the menu command `id` (from the menu bar, the full-screen pop-up, the accelerator,
// the right button or @CallDialog), as the window procedure hands it over through the script door.
// Its boxes and dialogs hold the door while they are open. Ids the engine does not know do nothing.
void RunMenuCommand(Engine& engine, int id);
// The questions before leaving the game and before returning to the title.
inline constexpr const char* ExitQuestionText = "シナリオを中断してＶＥＬＭＯを終了します.\nよろしいですか？";
inline constexpr const char* ExitQuestionCaption = "プログラムの終了 - VELMO";
inline constexpr const char* TitleQuestionText = "シナリオを中断してタイトル画面に戻ります.\nよろしいですか？";
inline constexpr const char* TitleQuestionCaption = "タイトルに戻る - VELMO";

// Whether RunMenuCommand carries out `id`; the window leaves other ids to the system.
bool IsMenuCommand(int id);

// The menu command the right button (or Esc) posts for `action`; 0 for none (and for the
// full-screen pop-up, whose items post their own).
int RightButtonCommand(RightClickAction action);

// What reading the settings means for the menus: the about-scenario item is offered when the
// settings name a file, full screen and the window scale are grayed on a screen with no room for a
// window, the window scale of the settings is checked.
void ApplySettingsToMenus(Engine& engine, const SettingsEffects& effects);

// The window's place: where a window of `outerWidth` x `outerHeight` goes for the WINDOW position
// (positionX, positionY) on a work area of `workLeft`, `workTop`, `workRight`, `workBottom`: there,
// unless it would stand off the work area (a negative corner, or past its right or bottom edge),
// then centred on the work area.
struct WindowPlace {
  int x = 0;
  int y = 0;
};
WindowPlace PlaceWindow(int outerWidth, int outerHeight, int positionX, int positionY, int workLeft, int workTop,
                        int workRight, int workBottom);

// A display mode as the system lists it.
struct DisplayMode {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
};
// The mode full screen switches to: the first of 640 x 480 pixels in the system's order, whatever
// its colour depth; -1 when there is none.
int FindFullScreenMode(const std::vector<DisplayMode>& modes);

// What the program makes of the display's colours at start: a palette display or one of 256
// colours or fewer (`numColors` not negative) cannot show the game; fewer than 24 bits of colour
// resolution (when the display tells it) may show it badly, and the player is asked.
enum class DisplayColors { Enough, Doubtful, TooFew };
DisplayColors JudgeDisplayColors(bool paletteBased, int numColors, int colorResolution);
inline constexpr const char* TooFewColorsText =
    "このﾌﾟﾛｸﾞﾗﾑは 256色以下の環境では動作しません.\nHigh Color環境以上での実行を強く推奨します.";
inline constexpr const char* DoubtfulColorsText =
    "現在の画面ﾓｰﾄﾞでは描画に問題が生じる恐れがあります.\nHigh "
    "Color環境以上での実行を強く推奨します.\n\nこのままプログラムを起動しますか？";
inline constexpr const char* NoDisplayModeText = "有効な画面ﾓｰﾄﾞが見つかりませんでした.";

} // namespace velmo
