#include "tools/velmo_run/headless_run.h"

#include "engine/commands/command_set.h"
#include "engine/core/frame_driver.h"
#include "engine/core/script_door.h"
#include "engine/graphics/screen.h"
#include "engine/platform/headless/ini_profile.h"
#include "engine/platform/platform.h"
#include "engine/plugin/plugin_set.h"
#include "engine/resources/resource_ids.h"
#include "engine/save/save_data.h"
#include "engine/save/screen_capture.h"
#include "engine/script/script_state.h"
#include "engine/shell/menu_commands.h"
#include "engine/shell/startup.h"
#include "engine/text/message_window.h"
#include "engine/text/selection.h"
#include "plugins/native/native_plugins.h"
#include "tools/velmo_run/transcript.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <utility>

namespace velmo {

namespace {
// The multimedia clock when the game starts: one minute after the machine did.
constexpr std::uint32_t StartTimeMs = 60000;
// A transition still running after this many frames never ends (a plug-in that keeps answering
// "more").
constexpr int MaxTransitionFrames = 100000;
} // namespace

LocalTime RunClock::Now() {
  if (fixedLocalTime) return localTime;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

HeadlessRun::HeadlessRun(std::string gameFolder, RunOptions runOptions, std::FILE* output)
    : folder(std::move(gameFolder)), options(std::move(runOptions)), out(output), window(output),
      files(folder), platform{clock, window, files, graphics, modules},
      engine(platform, StandardCommands(), EngineSeams{.observer = this}), driver(engine, clock, window) {
  clock.nowMs = StartTimeMs;
  engine.plugins.host.SkipUnseenBuiltInFrames();
  if (options.localTime) {
    clock.localTime = *options.localTime;
    clock.fixedLocalTime = true;
  }
  window.defaultYesNoAnswer = options.stopOnErrors ? MessageAnswer::Yes : MessageAnswer::No;
  window.answersLeft.assign(options.answers.begin(), options.answers.end());
  window.engine = &engine;
}

bool IsPlayerAction(std::string_view action) {
  for (const char* word : {"click", "rclick", "skipnext", "erase", "title", "exit"}) {
    if (action == word) return true;
  }
  for (const std::string_view word : {std::string_view("load "), std::string_view("save ")}) {
    if (action.substr(0, word.size()) != word) continue;
    const std::string_view number = action.substr(word.size());
    return !number.empty() && number.size() <= 9 && number.find_first_not_of("0123456789") == std::string_view::npos &&
           number.find_first_not_of('0') != std::string_view::npos;
  }
  return false;
}

void HeadlessRun::TakeAction() {
  const std::string& action = options.actions[actionsTaken++];
  std::fprintf(out, "action %s\n", action.c_str());
  if (action == "click") {
    OnLeftClick(engine, 0, 0);
  } else if (action == "rclick") {
    if (const int command = RightButtonCommand(OnRightClick(engine))) window.PostCommand(command);
  } else if (action == "skipnext") {
    window.PostCommand(IDM_SKIPNEXT);
  } else if (action == "erase") {
    window.PostCommand(IDM_ERASEMESSAGE);
  } else if (action == "title") {
    window.PostCommand(IDM_TITLE);
  } else if (action == "exit") {
    window.PostCommand(IDM_EXIT);
  } else {
    // "load N", "save N": the menu's dialog, where the player picks bookmark N.
    window.answersLeft.push_front(action.substr(5));
    window.PostCommand(action[0] == 'l' ? IDM_LOAD : IDM_SAVE);
  }
}

const char* HeadlessRun::EndWord(RunEnd end) {
  switch (end) {
  case RunEnd::Shutdown:
    return "shutdown";
  case RunEnd::Fatal:
    return "fatal";
  case RunEnd::Exit:
    return "exit";
  case RunEnd::MaxLines:
    return "max-lines";
  case RunEnd::Stuck:
    break;
  }
  return "stuck";
}

int HeadlessRun::ExitStatus(RunEnd end) {
  switch (end) {
  case RunEnd::Shutdown:
  case RunEnd::Exit:
    return 0;
  case RunEnd::Fatal:
    return 1;
  case RunEnd::MaxLines:
    return 3;
  case RunEnd::Stuck:
    break;
  }
  return 4;
}

void HeadlessRun::OnMessageText(const char* text) { std::fprintf(out, "text %s\n", TranscriptText(text).c_str()); }

void HeadlessRun::OnScriptError(const TBaseException& error, const ScriptPosition& where) {
  ++errorsReported;
  if (error.fatal) fatalReported = true;
  std::fprintf(out, "error %ld %s %s:%ld (%s) %s\n", static_cast<long>(error.code),
               error.fatal ? "fatal" : "recoverable", TranscriptText(where.fileName).c_str(),
               static_cast<long>(where.line), TranscriptText(where.paragraph).c_str(),
               TranscriptText(error.info).c_str());
}

void HeadlessRun::OnBookmarkSaved(std::int32_t number, std::string_view entry) {
  std::fprintf(out, "bookmark save %ld %s\n", static_cast<long>(number), TranscriptText(entry).c_str());
}

void HeadlessRun::OnBookmarkLoaded(std::int32_t number, std::string_view entry, bool existed) {
  std::fprintf(out, "bookmark load %ld %s\n", static_cast<long>(number),
               existed ? TranscriptText(entry).c_str() : "missing");
}

void HeadlessRun::OnTitleEntry(std::string_view entry) {
  std::fprintf(out, "title entry %s\n", TranscriptText(entry).c_str());
}

bool HeadlessRun::OnUserProc(std::string_view name, std::string_view parameters) {
  std::string line = TranscriptText(name);
  if (!parameters.empty()) line.append(" ").append(TranscriptText(parameters));
  std::fprintf(out, "userproc %s -> not run\n", line.c_str());
  return false;
}

bool HeadlessRun::EndWait() {
  // One action at each wait (each run of the script that ends in one); the rest of a wait is
  // the quick player's.
  if (actionsTaken < options.actions.size() && engine.run.state != RunState::Terminating &&
      engine.door.CurrentWait() != actionWait) {
    actionWait = engine.door.CurrentWait();
    TakeAction();
    return true;
  }
  switch (engine.run.state) {
  case RunState::MessageHidden:
    // The player shows the message window again.
    OnLeftClick(engine, 0, 0);
    return true;
  case RunState::TextOutput:
    return RunTextOutput();
  case RunState::ClickWait:
    // The player has read the page and clicks.
    OnLeftClick(engine, 0, 0);
    return true;
  case RunState::SelectWait:
    return Choose();
  case RunState::TimedWait:
    if (engine.run.waitDeadline != 0) {
      const auto remaining = static_cast<std::int32_t>(engine.run.waitDeadline - clock.NowMs());
      const std::uint32_t lasted = remaining > 0 ? static_cast<std::uint32_t>(remaining) : 0;
      clock.Advance(lasted);
      std::fprintf(out, "wait timed %lu\n", static_cast<unsigned long>(lasted));
      engine.run.waitDeadline = 0;
      engine.door.RequestResume();
      return true;
    }
    // No deadline: only a click handler can take over; the player clicks.
    if (engine.script.EventSet(UserClick)) {
      OnLeftClick(engine, 0, 0);
      return true;
    }
    return false;
  case RunState::TransitionStep:
  case RunState::TransitionLast:
  case RunState::TransitionEnd:
    return RunTransition();
  default:
    return false;
  }
}

bool HeadlessRun::RunTextOutput() {
  // A page holds at most the message buffer's characters; a step draws at least one of them.
  for (int steps = 0; window.posted.empty() && engine.run.state == RunState::TextOutput; ++steps) {
    if (steps > static_cast<int>(MessageWindow::BufferSize) * 2) return false;
    driver.Tick();
  }
  return true;
}

bool HeadlessRun::Choose() {
  const Selection& selection = engine.selection;
  for (int n = 0; n < selection.Count(); ++n) {
    const SelectionEntry& entry = selection.Entry(n);
    if (entry.lookLayer < 0) {
      std::fprintf(out, "option %d %s\n", n, TranscriptText(entry.text.c_str()).c_str());
    } else {
      std::fprintf(out, "button %d %ld,%ld,%ld,%ld\n", n, static_cast<long>(entry.left), static_cast<long>(entry.top),
                   static_cast<long>(entry.width), static_cast<long>(entry.height));
    }
  }
  int n = selection.Default() >= 0 ? selection.Default() : 0;
  if (choicesTaken < options.choices.size()) n = options.choices[choicesTaken++];
  if (n < 0 || n >= selection.Count()) {
    std::fprintf(stderr, "velmo-run: the selection has no entry %d\n", n);
    return false;
  }
  std::fprintf(out, "choose %d\n", n);
  TakeChoice(engine, SelectionChoice{n, selection.Entry(n).kind, n});
  return true;
}

bool HeadlessRun::RunTransition() {
  // The frames come at their own pace; the one that ends the transition posts UM_RESUME.
  for (int frames = 0; window.posted.empty(); ++frames) {
    if (frames == MaxTransitionFrames) return false;
    driver.Tick();
  }
  if (!options.framesFolder.empty()) {
    char name[16];
    std::snprintf(name, sizeof name, "%04d.bmp", ++framesWritten);
    WriteScreen((std::filesystem::path(options.framesFolder) / name).string());
  }
  return true;
}

bool HeadlessRun::WriteScreen(const std::string& path) {
  const TSurface* shown = ShownSurface(engine.screen, engine.run.state);
  if (shown != nullptr && WriteCapture(hostFiles, graphics, *shown, path)) return true;
  std::fprintf(stderr, "velmo-run: cannot write %s\n", path.c_str());
  return false;
}

void HeadlessRun::Finish(RunEnd end) {
  if (options.printVariables) {
    const TListHash& vars = engine.script.variables;
    for (std::int32_t i = 0; i <= vars.LastIndex(); ++i) {
      std::fprintf(out, "var %s=%s\n", TranscriptText(vars.Name(i)).c_str(), TranscriptText(vars.Value(i)).c_str());
    }
  }
  // The memo file is kept at every end of the run, as the program keeps it at shutdown.
  if (!shutDown && !engine.saveData.SaveMemo()) std::fprintf(stderr, "velmo-run: cannot write %s\n", MemoFileName);
  if (!options.captureFile.empty() && WriteScreen(options.captureFile)) {
    std::fprintf(out, "capture %s\n", options.captureFile.c_str());
  }
  std::fprintf(out, "end %s\n", EndWord(end));
  std::fflush(out);
}

RunEnd HeadlessRun::Run() {
  // The game's settings, when it has a settings file.
  if (std::unique_ptr<IReadFile> ini = files.OpenRead("system\\VELMO.ini")) {
    std::string text;
    char block[4096];
    for (std::size_t n; (n = ini->Read(block, sizeof block)) > 0;) text.append(block, n);
    IniProfile profile(text);
    LoadSettings(profile, SystemFacts{}, engine.settings);
  }
  std::error_code error;
  // The plug-ins of the game's system folder, as the program loads them at start-up; the
  // delivered ones, whose DLLs cannot be loaded here, run compiled in. The picture loader reads
  // the files the engine names in the game's folder, as its DLL does in the program's.
  velmoimg::SetFileReader([root = folder](std::string_view path, std::vector<std::uint8_t>& bytes) {
    std::unique_ptr<IReadFile> file = DiskFileSystem(root).OpenRead(path);
    if (file == nullptr) return false;
    char block[65536];
    for (std::size_t n; (n = file->Read(block, sizeof block)) > 0;) bytes.insert(bytes.end(), block, block + n);
    return true;
  });
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(folder) / "system", error)) {
    const std::string name = entry.path().filename().string();
    for (const NativePluginExport& e : FindNativePlugin(name)) modules.modules[name].exports[e.name] = e.address;
  }
  CreateEngineObjects(engine, "system");
  const std::string temp = (std::filesystem::temp_directory_path(error) / "VELMO").string() + "/";
  StartEngine(engine, folder + "/", temp);
  RunEnd end = RunEnd::Stuck;
  for (;;) {
    const std::uint64_t linesBefore = engine.script.linesRead;
    const std::size_t errorsBefore = errorsReported;
    const HeadlessDriver::Dispatched dispatched = driver.DispatchOne();
    if (dispatched == HeadlessDriver::Dispatched::Nothing) {
      if (!EndWait()) break;
      continue;
    }
    if (dispatched == HeadlessDriver::Dispatched::Shutdown) {
      ShutdownEngine(engine);
      shutDown = true;
      end = gameExited ? RunEnd::Exit : fatalReported ? RunEnd::Fatal : RunEnd::Shutdown;
      break;
    }
    // A run that fails before reading a line (a scenario file that cannot be opened) fails
    // the same way at every resume: twice in a row is a game that cannot go on.
    if (errorsReported != errorsBefore && engine.script.linesRead == linesBefore) {
      if (++fruitlessResumes >= 2) break;
    } else {
      fruitlessResumes = 0;
    }
    if (options.maxLines != 0 && engine.script.linesRead >= options.maxLines &&
        engine.run.state != RunState::Terminating) {
      end = RunEnd::MaxLines;
      break;
    }
  }
  Finish(end);
  return end;
}

} // namespace velmo
