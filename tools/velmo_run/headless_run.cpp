#include "tools/velmo_run/headless_run.h"

#include "engine/commands/command_set.h"
#include "engine/core/frame_driver.h"
#include "engine/core/player_modes.h"
#include "engine/core/script_door.h"
#include "engine/graphics/screen.h"
#include "engine/media/media_set.h"
#include "engine/platform/headless/ini_profile.h"
#include "engine/platform/platform.h"
#include "engine/plugin/plugin_set.h"
#include "engine/resources/resource_ids.h"
#include "engine/save/read_record.h"
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
// Frames a player watches a transition before clicking.
constexpr int PlayerClicksAfterFrames = 200;
// Ticks of a click wait that auto mode never ends.
constexpr int MaxAutoWaitTicks = 1000000;
} // namespace

LocalTime RunClock::Now() {
  if (fixedLocalTime) return localTime;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

HeadlessRun::HeadlessRun(std::string gameFolder, RunOptions runOptions, std::FILE* output)
    : folder(std::move(gameFolder)), options(std::move(runOptions)), out(output),
      transcript(output, clock, StartTimeMs), window(transcript), files(folder),
      media(clock, files, options.missingDevices), platform{clock,   window, files, graphics,
                                                            modules, media,  media, media},
      engine(platform, StandardCommands(), EngineSeams{.observer = this}), driver(engine, clock, window, media) {
  clock.nowMs = StartTimeMs;
  transcript.printTime = options.printTime;
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
  for (const char* word :
       {"click", "rclick", "skipnext", "erase", "title", "exit", "auto", "readskip", "wheelup", "wheeldown"}) {
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
  Line("action " + action);
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
  } else if (action == "auto") {
    window.PostCommand(IDM_AUTOMODE);
  } else if (action == "readskip") {
    window.PostCommand(IDM_READSKIP);
  } else if (action == "wheelup") {
    OnWheel(engine, true);
  } else if (action == "wheeldown") {
    if (OnWheel(engine, false) == InputEffect::Click) OnLeftClick(engine, 0, 0);
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

void HeadlessRun::Line(const std::string& text) { transcript.Line(text); }

void HeadlessRun::OnMessageText(const char* text) {
  Line("text " + TranscriptText(text));
  if (engine.run.readSkip && engine.run.lineRead) Line("skip read");
}

void HeadlessRun::NoteFlashback() {
  const std::int32_t looking = engine.run.state == RunState::Flashback ? engine.screen.flashback.Looking() : 0;
  if (looking == flashbackShown) return;
  flashbackShown = looking;
  Line(looking == 0 ? std::string("flashback end") : "flashback " + std::to_string(looking));
}

void HeadlessRun::OnScriptError(const TBaseException& error, const ScriptPosition& where) {
  ++errorsReported;
  if (error.fatal) fatalReported = true;
  Line("error " + std::to_string(error.code) + (error.fatal ? " fatal " : " recoverable ") +
       TranscriptText(where.fileName) + ":" + std::to_string(where.line) + " (" + TranscriptText(where.paragraph) +
       ") " + TranscriptText(error.info));
}

void HeadlessRun::OnBookmarkSaved(std::int32_t number, std::string_view entry) {
  Line("bookmark save " + std::to_string(number) + " " + TranscriptText(entry));
}

void HeadlessRun::OnBookmarkLoaded(std::int32_t number, std::string_view entry, bool existed) {
  Line("bookmark load " + std::to_string(number) + " " + (existed ? TranscriptText(entry) : "missing"));
}

void HeadlessRun::OnTitleEntry(std::string_view entry) { Line("title entry " + TranscriptText(entry)); }

bool HeadlessRun::OnUserProc(std::string_view name, std::string_view parameters) {
  std::string line = TranscriptText(name);
  if (!parameters.empty()) line.append(" ").append(TranscriptText(parameters));
  Line("userproc " + line + " -> not run");
  return false;
}

void HeadlessRun::OnMedia(std::string_view report) { Line(TranscriptText(report)); }

bool HeadlessRun::EndWait() {
  // One action at each wait (each run of the script that ends in one); the rest of a wait is
  // the quick player's.
  // Each step through the flashback is a wait of the player's own.
  if (actionsTaken < options.actions.size() && engine.run.state != RunState::Terminating &&
      (engine.door.CurrentWait() != actionWait || engine.run.state == RunState::Flashback)) {
    actionWait = engine.door.CurrentWait();
    TakeAction();
    NoteFlashback();
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
    if (engine.settings.autoMode != 0) return RunAutoWait();
    // The player has read the page and clicks.
    OnLeftClick(engine, 0, 0);
    return true;
  case RunState::Flashback:
    // The player goes forward page by page, back to the page on screen.
    OnLeftClick(engine, 0, 0);
    NoteFlashback();
    return true;
  case RunState::SelectWait:
    return Choose();
  case RunState::TimedWait:
    return RunTimedWait();
  case RunState::TransitionStep:
  case RunState::TransitionLast:
  case RunState::TransitionEnd:
    return RunTransition();
  case RunState::VoiceWait:
  case RunState::MusicWait:
  case RunState::SoundWait:
  case RunState::CDWait:
  case RunState::MovieWait:
  case RunState::MixerWait:
    return RunMediaWait();
  default:
    return false;
  }
}

bool HeadlessRun::RunMediaWait() {
  const RunState waiting = engine.run.state;
  const MediaSet& set = engine.media;
  // What the wait waits for, while it is under way: the wave channel for a voice and a sound.
  auto underWay = [&] {
    switch (waiting) {
    case RunState::VoiceWait:
    case RunState::SoundWait:
      return set.wave.Playing();
    case RunState::MusicWait:
      return set.music.Playing();
    case RunState::CDWait:
      return set.cd.Playing();
    case RunState::MovieWait:
      return set.movie.Playing();
    default:
      return set.mixer.Fading();
    }
  };
  while (window.posted.empty() && engine.run.state == waiting) {
    const std::optional<std::uint32_t> due = media.NextDue();
    if (!due || !underWay()) return false;
    clock.nowMs = *due;
    driver.DeliverMedia();
  }
  return true;
}

bool HeadlessRun::RunTimedWait() {
  RunControl& run = engine.run;
  const std::uint32_t start = clock.NowMs();
  auto waited = [&] { return "wait timed " + std::to_string(clock.NowMs() - start); };
  if (run.waitDeadline == 0) {
    // No deadline: only a click handler, or a media event handler at the end of a play, can take
    // over. The player clicks; a play ends in its time.
    if (engine.script.EventSet(UserClick)) {
      OnLeftClick(engine, 0, 0);
      return true;
    }
    const MediaSet& set = engine.media;
    auto handled = [&](int slot, bool playing) { return playing && engine.script.EventSet(slot); };
    while (window.posted.empty() && run.state == RunState::TimedWait) {
      const std::optional<std::uint32_t> due = media.NextDue();
      if (!due || !(handled(WaveNotify, set.wave.Playing()) || handled(MidiNotify, set.music.Playing()) ||
                    handled(CddaNotify, set.cd.Playing()) || handled(MovieNotify, set.movie.Playing()))) {
        return false;
      }
      clock.nowMs = *due;
      driver.DeliverMedia();
    }
    return true;
  }
  // What the media do before the deadline comes at its time; a media event may end the wait.
  if (!RunMediaToDeadline(RunState::TimedWait)) {
    Line(waited());
    return true;
  }
  Line(waited());
  run.waitDeadline = 0;
  engine.door.RequestResume();
  return true;
}

bool HeadlessRun::RunTextOutput() {
  // A page holds at most the message buffer's characters; a step draws at least one of them.
  for (int steps = 0; window.posted.empty() && engine.run.state == RunState::TextOutput; ++steps) {
    if (steps > static_cast<int>(MessageWindow::BufferSize) * 2) return false;
    driver.Tick();
  }
  return true;
}

bool HeadlessRun::RunMediaToDeadline(RunState waiting) {
  RunControl& run = engine.run;
  for (;;) {
    const std::optional<std::uint32_t> due = media.NextDue();
    if (!due || static_cast<std::int32_t>(*due - run.waitDeadline) >= 0) break;
    if (static_cast<std::int32_t>(*due - clock.NowMs()) > 0) clock.nowMs = *due;
    driver.DeliverMedia();
    if (!window.posted.empty() || run.state != waiting) return false;
  }
  if (static_cast<std::int32_t>(run.waitDeadline - clock.NowMs()) > 0) clock.nowMs = run.waitDeadline;
  return true;
}

bool HeadlessRun::RunAutoWait() {
  const std::uint32_t start = clock.NowMs();
  std::uint32_t endTick = start;
  for (int ticks = 0; window.posted.empty() && engine.run.state == RunState::ClickWait; ++ticks) {
    if (ticks == MaxAutoWaitTicks) return false;
    driver.Tick();
    endTick = clock.NowMs();
  }
  Line("wait auto " + std::to_string(endTick - start));
  return true;
}

bool HeadlessRun::Choose() {
  const Selection& selection = engine.selection;
  for (int n = 0; n < selection.Count(); ++n) {
    const SelectionEntry& entry = selection.Entry(n);
    if (entry.lookLayer < 0) {
      Line("option " + std::to_string(n) + " " + TranscriptText(entry.text.c_str()));
    } else {
      Line("button " + std::to_string(n) + " " + std::to_string(entry.left) + "," + std::to_string(entry.top) + "," +
           std::to_string(entry.width) + "," + std::to_string(entry.height));
    }
  }
  int n = selection.Default() >= 0 ? selection.Default() : 0;
  if (choicesTaken < options.choices.size()) n = options.choices[choicesTaken++];
  if (n == RunOptions::LetTimeRunOut && engine.run.waitDeadline != 0) {
    // The player takes nothing: the clock runs to the deadline and the ticks after it end the
    // selection.
    const std::uint32_t start = clock.NowMs();
    if (!RunMediaToDeadline(RunState::SelectWait)) return true;
    Line("select timed out " + std::to_string(clock.NowMs() - start));
    for (int ticks = 0; window.posted.empty(); ++ticks) {
      if (ticks == 100) return false;
      driver.Tick();
    }
    return true;
  }
  if (n < 0 || n >= selection.Count()) {
    std::fprintf(stderr, "velmo-run: the selection has no entry %d\n", n);
    return false;
  }
  Line("choose " + std::to_string(n));
  TakeChoice(engine, SelectionChoice{n, selection.Entry(n).kind, n});
  return true;
}

bool HeadlessRun::RunTransition() {
  // The frames come at their own pace; the one that ends the transition posts UM_RESUME. A
  // transition that goes on and on (the particle ones never end by themselves) gets the player's
  // click, which cuts it short where the script lets clicks skip transitions.
  for (int frames = 0; window.posted.empty(); ++frames) {
    if (frames == MaxTransitionFrames) return false;
    if (frames == PlayerClicksAfterFrames) {
      Line("transition click");
      OnLeftClick(engine, 0, 0);
    }
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
      Line("var " + TranscriptText(vars.Name(i)) + "=" + TranscriptText(vars.Value(i)));
    }
  }
  // The memo file and the record of read text are kept at every end of the run, as the program
  // keeps them at shutdown.
  if (!shutDown && !engine.saveData.SaveMemo()) std::fprintf(stderr, "velmo-run: cannot write %s\n", MemoFileName);
  if (!shutDown && !engine.readRecord.Save()) {
    std::fprintf(stderr, "velmo-run: cannot write %s\n", ReadRecordFileName);
  }
  if (!options.captureFile.empty() && WriteScreen(options.captureFile)) {
    Line("capture " + options.captureFile);
  }
  Line(std::string("end ") + EndWord(end));

  std::fflush(out);
}

RunEnd HeadlessRun::Run() {
  // The game's settings, when it has a settings file.
  if (std::unique_ptr<IReadFile> ini = files.OpenRead("system\\VELMO.ini")) {
    IniProfile profile(ReadToEnd(*ini));
    LoadSettings(profile, SystemFacts{}, engine.settings);
    ReadingModesFromSettings(engine);
    window.ShowMenus(engine.menus);
  }
  std::error_code error;
  // The plug-ins of the game's system folder, as the program loads them at start-up; the
  // delivered ones, whose DLLs cannot be loaded here, run compiled in. The picture loader reads
  // the files the engine names in the game's folder, as its DLL does in the program's.
  velmoimg::SetFileReader([root = folder](std::string_view path, std::vector<std::uint8_t>& bytes) {
    std::unique_ptr<IReadFile> file = DiskFileSystem(root).OpenRead(path);
    if (file == nullptr) return false;
    const std::string read = ReadToEnd(*file);
    bytes.insert(bytes.end(), read.begin(), read.end());
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
