#include "engine/shell/startup.h"

#include "engine/core/engine.h"
#include "engine/core/script_door.h"
#include "engine/graphics/screen.h"
#include "engine/platform/platform.h"
#include "engine/plugin/plugin_set.h"
#include "engine/save/read_record.h"
#include "engine/save/save_data.h"
#include "engine/script/error_log.h"
#include "engine/script/script_state.h"

namespace velmo {

const char* CreateEngineObjects(Engine& engine, std::string_view systemFolder) {
  engine.plugins.loadFailures = engine.plugins.list.LoadAll(engine.platform.files, systemFolder);
  if (!engine.screen.HasSurfaces()) return "TSurface";
  if (!engine.screen.MakeFlashbackSurfaces(engine.settings.maxFlashbackBuf)) return "TSurface";
  return nullptr;
}

void StartEngine(Engine& engine, std::string_view programFolder, std::string_view tempFolder) {
  TListHash& vars = engine.script.variables;
  vars.SetVarText("velSystemVer", SystemVersion);
  vars.SetVarText("velBuildVer", BuildVersion);
  vars.SetVarText("velScriptVer", ScriptVersion);
  vars.SetVarText("sysCurPath", programFolder);
  vars.SetVarText("sysTmpPath", tempFolder);
  engine.tempFolder = tempFolder;
  engine.saveData.LoadMemo();
  engine.readRecord.Load();
  WriteLogHeader(engine.platform, vars);
  // Plug-ins that could not be loaded are recorded, without interrupting the player.
  for (const TException& failure : engine.plugins.loadFailures) {
    LogScriptError(engine.platform, failure, ScriptPosition{"", 0, ""});
  }
  engine.plugins.loadFailures.clear();
  engine.script.Scenario().Open(StartupScenario);
  engine.door.RequestResume();
}

void ShutdownEngine(Engine& engine) {
  // Nobody is left to ask at shutdown: a memo file that cannot be written is noted in the log.
  if (!engine.saveData.SaveMemo()) {
    LogScriptError(engine.platform, TException(ErrFileIO, MemoFileName), ScriptPosition{"", 0, ""});
  }
  if (!engine.readRecord.Save()) {
    LogScriptError(engine.platform, TException(ErrFileIO, ReadRecordFileName), ScriptPosition{"", 0, ""});
  }
  WriteLogFooter(engine.platform);
}

} // namespace velmo
