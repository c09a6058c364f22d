#pragma once

#include "engine/core/engine.h"
#include "engine/core/script_observer.h"
#include "engine/platform/headless/headless_media.h"
#include "engine/platform/headless/headless_platform.h"
#include "engine/shell/headless_driver.h"
#include "tools/velmo_run/run_window.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmo {

struct RunOptions {
  std::vector<int> choices;           // entries to take at successive selections
  bool stopOnErrors = false;          // the answer to the recoverable-error question
  std::uint64_t maxLines = 100000000; // 0: no limit
  bool printVariables = false;
  std::string captureFile;                 // the shown picture when the run ends, as a BMP file ("": none)
  std::string framesFolder;                // the shown picture after every @UpdateScreen and @Effect ("": none)
  std::optional<LocalTime> localTime;      // the local time the whole run sees; none: the machine's
  std::vector<std::string> answers;        // for boxes and dialogs in order (Shift-JIS texts)
  std::vector<std::string> actions;        // the player's actions at successive waits
  bool printTime = false;                  // every line starts with the virtual milliseconds since the start
  std::vector<std::string> missingDevices; // "wave", "midi", "cd", "mixer", "movie": the machine lacks them
};

// Whether `action` is one velmo-run can take at a wait: click, rclick, skipnext, erase, title,
// exit, "load N" or "save N" (N a bookmark number from 1).
bool IsPlayerAction(std::string_view action);

// The virtual multimedia clock, with the machine's local time unless the run fixed one.
class RunClock : public HeadlessClock {
public:
  LocalTime Now() override;
  bool fixedLocalTime = false;
};

enum class RunEnd { Shutdown, Fatal, Exit, MaxLines, Stuck };

// Plays a game folder with the portable core on the headless platform, as a player who clicks
// at every wait would, and writes the transcript to `out`. Time is virtual: a wait lasts no real
// time. The run ends when the game shuts down, at a fatal error, at the outermost @Exit, after
// `maxLines` lines, or when the game waits for something that cannot come.
class HeadlessRun : public IScriptObserver {
public:
  HeadlessRun(std::string gameFolder, RunOptions options, std::FILE* out);

  RunEnd Run();
  static const char* EndWord(RunEnd end);
  static int ExitStatus(RunEnd end);

  // IScriptObserver: message text, errors and what the media do go into the transcript.
  void OnMessageText(const char* text) override;
  void OnScriptError(const TBaseException& error, const ScriptPosition& where) override;
  void OnGameExit() override { gameExited = true; }
  void OnBookmarkSaved(std::int32_t number, std::string_view entry) override;
  void OnBookmarkLoaded(std::int32_t number, std::string_view entry, bool existed) override;
  void OnTitleEntry(std::string_view entry) override;
  // A game's plug-in procedure is never run here: the transcript names it.
  bool OnUserProc(std::string_view name, std::string_view parameters) override;
  void OnMedia(std::string_view report) override;

  Engine& GetEngine() { return engine; }

private:
  // What a waiting engine gets next: at a wait that had no action yet, the next action of
  // --actions, else what a player who clicks at once does; false when nothing can end the wait.
  bool EndWait();
  // Takes the next action of --actions (the caller checked there is one).
  void TakeAction();
  void Finish(RunEnd end);
  // Steps the transition or effect on the virtual clock until it has been shown; false when it
  // never ends.
  bool RunTransition();
  // Types the text out on the virtual clock until it waits or is done.
  bool RunTextOutput();
  // Writes the selection's entries, takes the next entry of --choose (else the default, else
  // the first) and chooses it.
  bool Choose();
  // Lets virtual time run until the play, movie or fade the engine waits for has ended; false
  // when nothing it waits for is under way.
  bool RunMediaWait();
  // A timed wait: the media events due before its deadline come at their times, and one of them
  // may end the wait early.
  bool RunTimedWait();
  // Writes the shown picture as a BMP file, as the program captures it; false (with a message)
  // when it cannot.
  bool WriteScreen(const std::string& path);
  // Writes one transcript line (with the virtual time first when asked for).
  void Line(const std::string& text);

  std::string folder;
  RunOptions options;
  std::FILE* out;
  RunClock clock; // starts at StartTimeMs, as a machine's clock is not at 0 when a game starts
  Transcript transcript;
  RunWindow window;
  DiskFileSystem files;
  DiskFileSystem hostFiles{""}; // paths of the machine, for the pictures velmo-run is asked to write
  HeadlessGraphics graphics;
  HeadlessModules modules;
  HeadlessMedia media;
  Platform platform;
  Engine engine;
  HeadlessDriver driver;
  bool fatalReported = false;
  bool gameExited = false;
  bool shutDown = false;
  int fruitlessResumes = 0;
  std::size_t errorsReported = 0;
  int framesWritten = 0;
  std::size_t choicesTaken = 0;
  std::size_t actionsTaken = 0;
  std::uint32_t actionWait = ~0u; // the wait the last action was taken at
};

} // namespace velmo
