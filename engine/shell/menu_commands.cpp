#include "engine/shell/menu_commands.h"

#include "engine/commands/save_commands.h"
#include "engine/core/engine.h"
#include "engine/core/frame_driver.h"
#include "engine/core/interpreter.h"
#include "engine/core/player_modes.h"
#include "engine/core/script_door.h"
#include "engine/platform/platform.h"
#include "engine/resources/resource_ids.h"
#include "engine/script/script_state.h"
#include "engine/shell/bookmark_list.h"
#include "engine/shell/settings_pages.h"

#include <string>

namespace velmo {

namespace {

// A question of the menus; the script door is held while it is open.
bool Confirm(Engine& engine, const char* text, const char* caption, MessageIcon icon) {
  const ScriptDoor::Hold box(engine.door);
  return engine.platform.window.ShowMessageBox(text, caption, MessageButtons::YesNo, icon) == MessageAnswer::Yes;
}

bool OpenDialog(Engine& engine, EngineDialog dialog) {
  const ScriptDoor::Hold open(engine.door);
  return engine.platform.window.ShowDialog(dialog);
}

void SkipToNextSelection(Engine& engine) {
  if (!engine.menus.skipNextEnabled) return;
  RunControl& run = engine.run;
  run.skipToOption = !run.skipToOption && run.skipMode != SkipMode::Off;
  if (ReturnToPage(engine)) {
    // The click that goes on with the page; a selection shown again is left for the player, so that
    // the click does not choose whatever lies under the cursor.
    if (run.state != RunState::SelectWait) OnLeftClick(engine, -1, -1);
  }
  if (run.state == RunState::ClickWait) OnLeftClick(engine, -1, -1);
}

void EraseMessage(Engine& engine) {
  RunControl& run = engine.run;
  // The pages looked back at are pictures: there is no message window to hide.
  if (run.state == RunState::Flashback) return;
  // Shown again, the page goes on with a wait that ended while it was hidden.
  if (ReturnToPage(engine)) return;
  if (run.state != RunState::TransitionStep && run.state != RunState::TransitionLast) {
    run.savedState = run.state;
    run.state = RunState::MessageHidden;
  }
  engine.platform.window.Repaint();
}

void ToggleFullScreen(Engine& engine) {
  std::int32_t& fullScreen = engine.settings.fullScreen;
  const std::int32_t before = fullScreen;
  if (fullScreen == 0 || fullScreen == 1) fullScreen = 1 - fullScreen;
  if (!engine.platform.window.SetDisplayLayout(fullScreen)) fullScreen = before;
}

// The window's scale x1 to x3: kept in the settings and checked in the menus; a window is laid out
// again at once, a full screen keeps its picture and the scale serves when it becomes a window.
void SetWindowScale(Engine& engine, int scale) {
  if (!engine.menus.windowScaleEnabled) return;
  engine.settings.windowScale = scale;
  engine.menus.windowScale = scale;
  engine.platform.window.ShowMenus(engine.menus);
  if (engine.settings.fullScreen == 0) engine.platform.window.SetDisplayLayout(0);
}

} // namespace

void RunMenuCommand(Engine& engine, int id) {
  if (engine.run.state == RunState::Terminating) return;
  IWindow& window = engine.platform.window;
  switch (id) {
  case IDM_EXIT:
    if (Confirm(engine, ExitQuestionText, ExitQuestionCaption, MessageIcon::Exclamation)) {
      window.PostShutdown();
    }
    break;
  case IDM_CONFIG:
    OpenDialog(engine, EngineDialog::Settings);
    // Whatever the answer: a page may have switched a device off at once (no CD drive).
    StopDisabledMedia(engine);
    break;
  case IDM_ABOUT:
    OpenDialog(engine, EngineDialog::About);
    break;
  case IDM_SKIPNEXT:
    SkipToNextSelection(engine);
    break;
  case IDM_ERASEMESSAGE:
    EraseMessage(engine);
    break;
  case IDM_SAVE:
    if (BookmarkDialogOpens(engine, BookmarkDialogKind::Save)) OpenDialog(engine, EngineDialog::SaveBookmark);
    break;
  case IDM_LOAD:
    if (OpenDialog(engine, EngineDialog::LoadBookmark)) ResumeLoadedBookmark(engine);
    break;
  case IDM_TITLE:
    if (Confirm(engine, TitleQuestionText, TitleQuestionCaption, MessageIcon::Question)) {
      ReturnToTitle(engine);
    }
    break;
  case IDM_TITLE_NOASK:
    ReturnToTitle(engine);
    break;
  case IDM_FULLSCREEN:
    ToggleFullScreen(engine);
    break;
  case IDM_FLASHBACK:
    FlashbackBack(engine);
    break;
  case IDM_AUTOMODE:
    SetAutoMode(engine, engine.settings.autoMode == 0);
    break;
  case IDM_READSKIP:
    ToggleReadSkip(engine);
    break;
  case IDM_WINDOW_X1:
  case IDM_WINDOW_X2:
  case IDM_WINDOW_X3:
    SetWindowScale(engine, id - IDM_WINDOW_X1 + 1);
    break;
  case IDM_ABOUTSCENARIO:
    if (!engine.settings.aboutThisScenario.empty()) {
      window.OpenWithShell(
          std::string(engine.script.variables.GetVar("sysCurPath")) + engine.settings.aboutThisScenario, "", "");
    }
    break;
  default:
    break;
  }
}

bool IsMenuCommand(int id) {
  switch (id) {
  case IDM_EXIT:
  case IDM_CONFIG:
  case IDM_ABOUT:
  case IDM_SKIPNEXT:
  case IDM_ERASEMESSAGE:
  case IDM_SAVE:
  case IDM_LOAD:
  case IDM_TITLE:
  case IDM_TITLE_NOASK:
  case IDM_FULLSCREEN:
  case IDM_WINDOW_X1:
  case IDM_WINDOW_X2:
  case IDM_WINDOW_X3:
  case IDM_ABOUTSCENARIO:
  case IDM_FLASHBACK:
  case IDM_AUTOMODE:
  case IDM_READSKIP:
    return true;
  default:
    return false;
  }
}

int RightButtonCommand(RightClickAction action) {
  switch (action) {
  case RightClickAction::SkipToOption:
    return IDM_SKIPNEXT;
  case RightClickAction::EraseMessage:
    return IDM_ERASEMESSAGE;
  case RightClickAction::Config:
    return IDM_CONFIG;
  case RightClickAction::Capture:
    return IDM_CAPTURE;
  case RightClickAction::CaptureAuto:
    return IDM_CAPTURE_AUTO;
  case RightClickAction::FullScreenMenu:
  case RightClickAction::None:
    break;
  }
  return 0;
}

void ApplySettingsToMenus(Engine& engine, const SettingsEffects& effects) {
  engine.menus.aboutScenarioEnabled = effects.enableAboutScenario;
  ReadingModesFromSettings(engine);
  engine.menus.fullScreenEnabled = !effects.grayFullScreenCommand;
  // A screen with no room for a window has no use for its scale either.
  engine.menus.windowScaleEnabled = !effects.grayFullScreenCommand;
  engine.menus.windowScale = engine.settings.windowScale;
  // A game on a CD has nowhere to keep a bookmark.
  engine.menus.saveEnabled = !engine.runsFromCd;
  engine.platform.window.ShowMenus(engine.menus);
}

WindowPlace PlaceWindow(int outerWidth, int outerHeight, int positionX, int positionY, int workLeft, int workTop,
                        int workRight, int workBottom) {
  const std::int64_t right = std::int64_t{positionX} + outerWidth;
  const std::int64_t bottom = std::int64_t{positionY} + outerHeight;
  if (positionX >= 0 && positionY >= 0 && right <= workRight && bottom <= workBottom) return {positionX, positionY};
  return {((workRight - workLeft) - outerWidth) / 2, ((workBottom - workTop) - outerHeight) / 2};
}

int FindFullScreenMode(const std::vector<DisplayMode>& modes) {
  for (std::size_t i = 0; i < modes.size(); ++i) {
    if (modes[i].width == 640 && modes[i].height == 480) return static_cast<int>(i);
  }
  return -1;
}

DisplayColors JudgeDisplayColors(bool paletteBased, int numColors, int colorResolution) {
  if (paletteBased || numColors >= 0) return DisplayColors::TooFew;
  if (colorResolution != 0 && colorResolution < 24) return DisplayColors::Doubtful;
  return DisplayColors::Enough;
}

} // namespace velmo
