#include "tools/velmo_run/headless_run.h"

#include "engine/commands/command_set.h"
#include "engine/core/frame_driver.h"
#include "engine/core/script_door.h"
#include "engine/graphics/screen.h"
#include "engine/platform/headless/ini_profile.h"
#include "engine/platform/platform.h"
#include "engine/save/screen_capture.h"
#include "engine/script/script_state.h"
#include "engine/shell/startup.h"
#include "engine/text/message_window.h"
#include "engine/text/selection.h"
#include "plugins/native/native_plugins.h"
#include "tools/velmo_run/transcript.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
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

HeadlessRun::HeadlessRun(std::string gameFolder, RunOptions runOptions, std::FILE* output)
    : folder(std::move(gameFolder)), options(std::move(runOptions)), out(output), files(folder),
      media(clock, files), platform{clock, window, files, graphics, modules, media, media, media},
      engine(platform, StandardCommands(), EngineSeams{.observer = this}), driver(engine, clock, window, media) {
  clock.nowMs = StartTimeMs;
  window.defaultYesNoAnswer = options.stopOnErrors ? MessageAnswer::Yes : MessageAnswer::No;
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

bool HeadlessRun::EndWait() {
  switch (engine.run.state) {
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
  const std::string bytes = EncodeCapture(*engine.screen.screenSurface);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (file.good()) return true;
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
  std::fprintf(out, "end %s\n", EndWord(end));
  std::fflush(out);
  if (!options.captureFile.empty()) WriteScreen(options.captureFile);
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
  // delivered ones, whose DLLs cannot be loaded here, run compiled in.
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
