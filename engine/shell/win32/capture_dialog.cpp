#include "engine/shell/win32/capture_dialog.h"

#include "engine/core/engine.h"
#include "engine/core/script_door.h"
#include "engine/platform/platform.h"
#include "engine/save/screen_capture.h"

#include <commdlg.h>

namespace velmo {

bool CaptureWithDialog(HWND owner, Engine& engine) {
  const ScriptDoor::Hold hold(engine.door);
  char file[MAX_PATH] = {};
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = "ﾋﾞｯﾄﾏｯﾌﾟ(*.bmp)\0*.bmp\0";
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file;
  dialog.nMaxFile = sizeof file;
  dialog.lpstrTitle = "取込画像の保存 ...";
  // The dialog may still move the working folder while the player browses: it is put back.
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  dialog.lpstrDefExt = "bmp";
  char folder[MAX_PATH] = {};
  const DWORD kept = GetCurrentDirectoryA(sizeof folder, folder);
  const BOOL chosen = GetSaveFileNameA(&dialog);
  if (kept > 0 && kept < sizeof folder) SetCurrentDirectoryA(folder);
  if (!chosen) return false;
  const TSurface* shown = ShownSurface(engine.screen, engine.run.state);
  return shown != nullptr && WriteCapture(engine.platform.files, engine.platform.graphics, *shown, file);
}

bool CaptureAutomatically(Engine& engine) {
  const TSurface* shown = ShownSurface(engine.screen, engine.run.state);
  return shown != nullptr &&
         !CaptureAuto(engine.platform.files, engine.platform.clock, engine.platform.graphics, *shown).empty();
}

} // namespace velmo
