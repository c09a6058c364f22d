#include "engine/shell/startup.h"

#include "engine/script/error_log.h"
#include "engine/shell/engine.h"

namespace velmo {

void StartEngine(Engine& engine, std::string_view programFolder, std::string_view tempFolder) {
  TListHash& vars = engine.variables;
  vars.SetVarText("velSystemVer", SystemVersion);
  vars.SetVarText("velBuildVer", BuildVersion);
  vars.SetVarText("velScriptVer", ScriptVersion);
  vars.SetVarText("sysCurPath", programFolder);
  vars.SetVarText("sysTmpPath", tempFolder);
  WriteLogHeader(engine.platform, vars);
  // Plug-ins that could not be loaded are recorded, without interrupting the player.
  for (const TException& failure : engine.pluginFailures) {
    LogScriptError(engine.platform, failure, ScriptPosition{"", 0, ""});
  }
  engine.pluginFailures.clear();
  engine.scenario->Open(StartupScenario);
  engine.platform.window.PostResume();
}

void ShutdownEngine(Engine& engine) { WriteLogFooter(engine.platform); }

} // namespace velmo
