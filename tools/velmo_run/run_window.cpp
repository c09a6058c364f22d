#include "tools/velmo_run/run_window.h"

#include "engine/core/engine.h"
#include "engine/resources/resource_ids.h"
#include "engine/save/save_data.h"
#include "engine/script/error_log.h"
#include "engine/shell/bookmark_list.h"
#include "engine/shell/menu_commands.h"
#include "tools/velmo_run/transcript.h"

#include <charconv>
#include <cstdint>

namespace velmo {

namespace {

// The kind of a box by its caption, as the transcript names it; nullptr for a box that is not
// the game's (a script error).
const char* BoxKind(std::string_view caption, std::string_view text, MessageButtons buttons) {
  if (caption == "VELMO") return buttons == MessageButtons::YesNo ? "yesno" : "ok";
  if (caption == ExitQuestionCaption) return "exit";
  if (caption == TitleQuestionCaption) return "title";
  if (caption == SaveBoxCaption) return buttons == MessageButtons::YesNo ? "overwrite" : "saved";
  if (caption == DeleteBoxCaption) return "delete";
  if (caption == UnsafeCommandCaption) {
    return text.find("@UserProc") != std::string_view::npos ? "userproc" : "shellexec";
  }
  return nullptr;
}

bool IsNumber(std::string_view text, std::int32_t& number) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc() && end == text.data() + text.size();
}

} // namespace

void Transcript::Line(std::string_view text) {
  if (printTime) std::fprintf(out, "%lu ", static_cast<unsigned long>(clock.nowMs - startMs));
  std::fprintf(out, "%.*s\n", static_cast<int>(text.size()), text.data());
}

std::string RunWindow::NextAnswer(std::string_view fallback) {
  if (answersLeft.empty()) return std::string(fallback);
  std::string answer = std::move(answersLeft.front());
  answersLeft.pop_front();
  return answer;
}

void RunWindow::PrintDialog(std::string_view kind, std::string_view text, std::string_view answer) {
  transcript.Line(std::string("dialog ")
                      .append(kind)
                      .append(" ")
                      .append(BoxTranscriptText(text))
                      .append(" -> ")
                      .append(TranscriptText(answer)));
}

MessageAnswer RunWindow::ShowMessageBox(std::string_view text, std::string_view caption, MessageButtons buttons,
                                        MessageIcon icon) {
  const char* kind = BoxKind(caption, text, buttons);
  if (kind == nullptr) return HeadlessWindow::ShowMessageBox(text, caption, buttons, icon);
  messageBoxes.push_back(MessageBoxCall{std::string(text), std::string(caption), buttons, icon});
  if (buttons == MessageButtons::Ok) {
    NextAnswer("ok");
    PrintDialog(kind, text, "ok");
    return MessageAnswer::Ok;
  }
  // Yes is the default button of every question.
  const std::string answer = NextAnswer("yes");
  const bool yes = answer == "yes" || answer == "ok";
  PrintDialog(kind, text, yes ? "yes" : "no");
  return yes ? MessageAnswer::Yes : MessageAnswer::No;
}

void RunWindow::SetTitle(std::string_view text) {
  HeadlessWindow::SetTitle(text);
  transcript.Line("title " + TranscriptText(text));
}

void RunWindow::ShowMenus(const MenuStates& states) {
  HeadlessWindow::ShowMenus(states);
  // Each item whose state changed, with the word for its new state: enabled or grayed, and for
  // the marked ones checked or unchecked.
  const struct {
    int id;
    bool before;
    bool now;
    const char* on;
    const char* off;
  } items[] = {
      {IDM_LOAD, shownMenus.loadEnabled, states.loadEnabled, "enabled", "grayed"},
      {IDM_SAVE, shownMenus.saveEnabled, states.saveEnabled, "enabled", "grayed"},
      {IDM_ERASEMESSAGE, shownMenus.eraseMessageEnabled, states.eraseMessageEnabled, "enabled", "grayed"},
      {IDM_FLASHBACK, shownMenus.flashbackEnabled, states.flashbackEnabled, "enabled", "grayed"},
      {IDM_SKIPNEXT, shownMenus.skipNextEnabled, states.skipNextEnabled, "enabled", "grayed"},
      {IDM_FULLSCREEN, shownMenus.fullScreenEnabled, states.fullScreenEnabled, "enabled", "grayed"},
      {IDM_ABOUTSCENARIO, shownMenus.aboutScenarioEnabled, states.aboutScenarioEnabled, "enabled", "grayed"},
      {IDM_AUTOMODE, shownMenus.autoModeChecked, states.autoModeChecked, "checked", "unchecked"},
      {IDM_READSKIP, shownMenus.readSkipChecked, states.readSkipChecked, "checked", "unchecked"},
  };
  for (const auto& item : items) {
    if (item.before != item.now)
      transcript.Line("menu " + std::to_string(item.id) + " " + (item.now ? item.on : item.off));
  }
  shownMenus = states;
}

bool RunWindow::AskText(std::string_view caption, std::string_view prompt, std::string& text) {
  textDialogs.push_back(TextDialogCall{std::string(caption), std::string(prompt), text});
  const std::string answer = NextAnswer("ok");
  const bool ok = answer != "cancel";
  if (answer != "ok" && answer != "cancel") text = answer;
  std::string answered = ok ? "ok" : "cancel";
  if (!text.empty()) answered.append(" ").append(text);
  PrintDialog("text", prompt, answered);
  return ok;
}

bool RunWindow::ShowDialog(EngineDialog dialog) {
  dialogs.push_back(dialog);
  switch (dialog) {
  case EngineDialog::LoadBookmark:
  case EngineDialog::SaveBookmark: {
    // The program's dialog, in which the player picks the slot of a bookmark number and chooses
    // 決定 once; anything else, or a slot on no page of the dialog, closes it. Its boxes (the
    // overwrite question, the confirmation, a failed write) are answered as the others are.
    const bool load = dialog == EngineDialog::LoadBookmark;
    const std::string answer = NextAnswer("cancel");
    std::int32_t number = 0;
    if (engine == nullptr || !IsNumber(answer, number)) {
      PrintDialog(load ? "load" : "save", load ? LoadBookmarkCaption : SaveBookmarkCaption, "cancel");
      return false;
    }
    BookmarkList list(*engine, load ? BookmarkDialogKind::Load : BookmarkDialogKind::Save,
                      [this](std::string_view text, std::string_view caption, MessageButtons buttons,
                             MessageIcon icon) { return ShowMessageBox(text, caption, buttons, icon); });
    const bool chosen = list.SelectSlot(number);
    PrintDialog(load ? "load" : "save", list.Caption(), chosen ? answer : "cancel");
    if (!chosen) return false;
    const BookmarkOutcome outcome = list.Decide();
    return outcome == (load ? BookmarkOutcome::Loaded : BookmarkOutcome::Saved);
  }
  case EngineDialog::Settings:
    PrintDialog("config", "環境設定 - VELMO", NextAnswer("cancel") == "ok" ? "ok" : "cancel");
    return false;
  case EngineDialog::About:
    NextAnswer("ok");
    PrintDialog("about", "VELMOについて", "ok");
    return false;
  }
  return false;
}

int RunWindow::OpenWithShell(std::string_view file, std::string_view parameters, std::string_view folder) {
  HeadlessWindow::OpenWithShell(file, parameters, folder);
  // Nothing is started: the engine gets what the system answers for a missing program.
  std::string line = TranscriptText(file);
  if (!parameters.empty()) line.append(" ").append(TranscriptText(parameters));
  transcript.Line("shell " + line + " -> " + std::to_string(shellResult));
  return shellResult;
}

void RunWindow::OpenVolumeControl() {
  HeadlessWindow::OpenVolumeControl();
  PrintDialog("mixer", "Volume Control", NextAnswer("ok") == "cancel" ? "cancel" : "ok");
}

} // namespace velmo
