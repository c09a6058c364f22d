#pragma once

#include "engine/base/errors.h"
#include "engine/core/command_table.h"
#include "engine/core/engine.h"
#include "engine/core/script_door.h"
#include "engine/core/script_observer.h"
#include "engine/graphics/screen.h"
#include "engine/platform/headless/headless_media.h"
#include "engine/platform/headless/headless_platform.h"
#include "engine/platform/platform.h"
#include "engine/plugin/plugin_set.h"
#include "engine/script/script_state.h"
#include "engine/shell/headless_driver.h"
#include "engine/text/message_window.h"
#include "engine/text/selection.h"

#include <string>
#include <string_view>
#include <vector>

namespace velmo {

// An engine on the headless platform with scenario files in memory, recording what the player
// would see. Message text is recorded, not typed out, unless `seams` puts a message window of its
// own in place. Literals in tests are Shift-JIS (the sources are compiled for code page 932).
class ScriptFixture : public IMessageWindow, public IScriptObserver {
public:
  struct ReportedError {
    std::int32_t code;
    bool fatal;
    std::string info;
    std::string fileName;
    std::int32_t line;
    std::string paragraph;
  };

  // Stand-ins in `seams` take the place of the engine's subsystems; the fixture observes the
  // script, and records message lines when no other message window is given.
  explicit ScriptFixture(EngineSeams seams = {});

  // Adds a plain scenario file; `lines` are joined with CR LF and end with one. A name whose
  // extension is scrambled (".scx") is stored scrambled.
  void AddScenario(const std::string& name, const std::vector<std::string>& lines);
  // Opens `location` in the current scenario, as a jump to an entry does, without running it.
  void Open(const std::string& location);
  // One UM_RESUME: RunState Running, then the interpreter. Returns RunScenario's result.
  int Resume();
  // Resumes as a player who clicks at once would, until the engine waits for something else, the
  // game ends or `maxResumes` resumes have run. Text is acknowledged; timed waits pass at once.
  void RunUntilIdle(int maxResumes = 1000);

  void SetMessageText(const char* text) override;
  void OnScriptError(const TBaseException& error, const ScriptPosition& where) override;
  void OnGameExit() override { gameExited = true; }
  void OnMedia(std::string_view report) override { reports.emplace_back(report); }

  std::string Var(std::string_view name) const { return engine.script.variables.GetVar(name); }

  HeadlessClock clock;
  HeadlessWindow window;
  MemoryFileSystem files;
  HeadlessGraphics graphics;
  HeadlessModules modules;
  HeadlessMedia media{clock, files};
  Platform platform{clock, window, files, graphics, modules, media, media, media};
  Engine engine;
  HeadlessDriver driver{engine, clock, window, media};

  std::vector<std::string> texts;
  std::vector<ReportedError> errors;
  std::vector<std::string> reports; // what the media commands did and the media events that fired
  bool gameExited = false;
};

} // namespace velmo
