#pragma once

#include "engine/platform/headless/headless_platform.h"

#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <string_view>

namespace velmo {

class Engine;

// velmo-run's transcript: one event per line, with the virtual milliseconds since the start of the
// run first when --time asks for them.
class Transcript {
public:
  Transcript(std::FILE* output, HeadlessClock& runClock, std::uint32_t runStartMs)
      : out(output), clock(runClock), startMs(runStartMs) {}
  void Line(std::string_view text);

  std::FILE* const out;
  bool printTime = false;

private:
  HeadlessClock& clock; // reading the time is not const in the clock interface
  std::uint32_t startMs;
};

// velmo-run's window: the boxes and dialogs a game opens, its window title and menu states go into
// the transcript, and the boxes and dialogs are answered from --answers in order (then with their
// default button). No program and no document is ever opened. Other boxes (the script-error
// question) are answered as the headless window answers them.
class RunWindow : public HeadlessWindow {
public:
  explicit RunWindow(Transcript& runTranscript) : transcript(runTranscript) {}

  MessageAnswer ShowMessageBox(std::string_view text, std::string_view caption, MessageButtons buttons,
                               MessageIcon icon) override;
  void SetTitle(std::string_view text) override;
  void ShowMenus(const MenuStates& states) override;
  bool AskText(std::string_view caption, std::string_view prompt, std::string& text) override;
  bool ShowDialog(EngineDialog dialog) override;
  int OpenWithShell(std::string_view file, std::string_view parameters, std::string_view folder) override;
  void OpenVolumeControl() override;

  // The answers still to give: "yes", "no", "ok", "cancel", a bookmark number for the bookmark
  // dialogs, or a text (Shift-JIS) for the text-input dialog.
  std::deque<std::string> answersLeft;
  // The engine whose bookmarks the bookmark dialogs load and save; set once it exists.
  Engine* engine = nullptr;

private:
  // The next answer, or `fallback` (the default button) when none is left.
  std::string NextAnswer(std::string_view fallback);
  void PrintDialog(std::string_view kind, std::string_view text, std::string_view answer);

  Transcript& transcript;
  MenuStates shownMenus;
};

} // namespace velmo
