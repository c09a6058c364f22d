#pragma once

#include "engine/platform/headless/headless_platform.h"
#include "engine/script/errors.h"
#include "engine/shell/engine.h"

#include <string>
#include <string_view>
#include <vector>

namespace velmo {

// An engine on the headless platform with scenario files in memory, recording what the player
// would see. Literals in tests are Shift-JIS (the sources are compiled for code page 932).
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

  ScriptFixture();

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

  std::string Var(std::string_view name) const { return engine.variables.GetVar(name); }

  HeadlessClock clock;
  HeadlessWindow window;
  MemoryFileSystem files;
  HeadlessGraphics graphics;
  HeadlessModules modules;
  Platform platform{clock, window, files, graphics, modules};
  Engine engine{platform};

  std::vector<std::string> texts;
  std::vector<ReportedError> errors;
  bool gameExited = false;
};

} // namespace velmo
