#include "engine/shell/bookmark_list.h"

#include "engine/base/errors.h"
#include "engine/base/format.h"
#include "engine/core/engine.h"
#include "engine/core/script_observer.h"
#include "engine/script/error_log.h"
#include "engine/script/script_state.h"

#include <algorithm>
#include <utility>

namespace velmo {

namespace {

// The page is a byte.
constexpr int MaxPages = 256;

constexpr bool Empty(unsigned char mark) { return mark == 0; }
constexpr bool ReadOnly(unsigned char mark) { return mark == static_cast<unsigned char>(BookmarkMark::ReadOnly); }
// Marks the player may change: the colours (and whatever a damaged file holds above them).
constexpr bool Coloured(unsigned char mark) { return mark > static_cast<unsigned char>(BookmarkMark::ReadOnly); }

} // namespace

bool BookmarkDialogOpens(const Engine& engine, BookmarkDialogKind kind) {
  return kind == BookmarkDialogKind::Load || !engine.runsFromCd;
}

BookmarkList::BookmarkList(Engine& owner, BookmarkDialogKind dialogKind, MessageBoxFunction boxFunction)
    : engine(owner), kind(dialogKind), box(std::move(boxFunction)) {
  Refill();
}

int BookmarkList::PageCount() const { return std::clamp<std::int32_t>(engine.settings.maxBookmarkPage, 1, MaxPages); }

unsigned char BookmarkList::ReadMark(std::int32_t slot) {
  TListHash& variables = engine.script.variables;
  // A file shorter than two values leaves what it lacks empty, not the previous slot's values.
  variables.SetVarText("__temp[0]", "");
  variables.SetVarText("__temp[1]", "");
  ReadValues(engine.platform.files, variables, SaveFileName(slot), {"__temp"}, 0, 1);
  return static_cast<unsigned char>(variables.GetVar("__temp[0]")[0]);
}

void BookmarkList::Refill() {
  const TListHash& variables = engine.script.variables;
  for (int i = 0; i < BookmarkRowsPerPage; ++i) {
    BookmarkRow& row = rows[static_cast<std::size_t>(i)];
    row.slot = page * BookmarkRowsPerPage + i + 1;
    row.mark = ReadMark(row.slot);
    row.label = FormatText(" %2ld", static_cast<long>(row.slot));
    if (Empty(row.mark)) {
      row.date = EmptySlotDate;
      row.comment.clear();
    } else {
      row.date = std::string(variables.GetVar("__temp[0]")).substr(1);
      row.comment = variables.GetVar("__temp[1]");
    }
  }
  selected = -1;
}

void BookmarkList::Select(int row) { selected = row >= 0 && row < BookmarkRowsPerPage ? row : -1; }

BookmarkControls BookmarkList::Controls() const {
  BookmarkControls controls;
  controls.previousEnabled = page > 0;
  controls.nextEnabled = page < PageCount() - 1;
  if (selected < 0) return controls;
  const unsigned char mark = rows[static_cast<std::size_t>(selected)].mark;
  controls.decideEnabled = DoubleClickDecides(selected);
  controls.deleteEnabled = Coloured(mark);
  if (mark >= static_cast<unsigned char>(BookmarkMark::Blue) && mark <= static_cast<unsigned char>(BookmarkMark::Red)) {
    controls.checkedMarkCommand = BookmarkMarkCommandBase + mark;
  }
  return controls;
}

bool BookmarkList::DoubleClickDecides(int row) const {
  if (row < 0 || row >= BookmarkRowsPerPage) return false;
  const unsigned char mark = rows[static_cast<std::size_t>(row)].mark;
  if (kind == BookmarkDialogKind::Load) return !Empty(mark);
  return !ReadOnly(mark) && BookmarkDialogOpens(engine, kind);
}

bool BookmarkList::RightClickShowsMenu(int row) const {
  if (row < 0 || row >= BookmarkRowsPerPage) return false;
  return kind == BookmarkDialogKind::Save || !Empty(rows[static_cast<std::size_t>(row)].mark);
}

bool BookmarkList::Ask(const char* format, std::int32_t slot, const char* caption, MessageIcon icon) {
  return box(FormatText(format, static_cast<int>(slot)), caption, MessageButtons::YesNo, icon) == MessageAnswer::Yes;
}

BookmarkOutcome BookmarkList::ReportFailure(std::int32_t code, std::int32_t slot) {
  return Report(TException(code, SaveFileName(slot)));
}

BookmarkOutcome BookmarkList::Report(const TBaseException& error) {
  // Reported as the script's own commands report it, at the line the script waits on.
  TScenario& scenario = engine.script.Scenario();
  const ScriptPosition where{scenario.fileName, scenario.line, scenario.paragraph};
  if (IScriptObserver* observer = engine.Observer()) observer->OnScriptError(error, where);
  if (ReportScriptError(engine.platform, error, where, engine.run.state, box) == ErrorOutcome::Terminate) {
    return BookmarkOutcome::Terminate;
  }
  return BookmarkOutcome::Stay;
}

BookmarkOutcome BookmarkList::Decide() {
  if (selected < 0) return BookmarkOutcome::Stay;
  const std::int32_t slot = rows[static_cast<std::size_t>(selected)].slot;
  const unsigned char mark = ReadMark(slot);
  if (kind == BookmarkDialogKind::Load) {
    if (Empty(mark)) {
      Refill();
      return BookmarkOutcome::Stay;
    }
    engine.saveData.LoadBookmark(slot);
    return BookmarkOutcome::Loaded;
  }
  if (ReadOnly(mark) || !BookmarkDialogOpens(engine, kind)) {
    Refill();
    return BookmarkOutcome::Stay;
  }
  if (!Empty(mark) && !Ask(OverwriteQuestionText, slot, SaveBoxCaption, MessageIcon::Question)) {
    return BookmarkOutcome::Stay;
  }
  // An overwritten bookmark keeps its colour; a new one is blue. Mark, date and values go in one
  // write, and only a write that succeeded is confirmed.
  const auto kept = Empty(mark) ? BookmarkMark::Blue : static_cast<BookmarkMark>(mark);
  const int row = selected;
  if (!engine.saveData.SaveBookmark(slot, kept)) {
    const BookmarkOutcome outcome = ReportFailure(ErrFileIO, slot);
    Refill();
    Select(row);
    return outcome;
  }
  if (Empty(mark)) {
    box(FormatText(SavedText, static_cast<int>(slot)), SaveBoxCaption, MessageButtons::Ok, MessageIcon::Information);
  }
  Refill();
  Select(row);
  return BookmarkOutcome::Saved;
}

BookmarkOutcome BookmarkList::Delete() {
  if (selected < 0) return BookmarkOutcome::Stay;
  const int row = selected;
  const std::int32_t slot = rows[static_cast<std::size_t>(row)].slot;
  if (!Coloured(ReadMark(slot))) {
    Refill();
    return BookmarkOutcome::Stay;
  }
  if (!Ask(DeleteQuestionText, slot, DeleteBoxCaption, MessageIcon::Exclamation)) return BookmarkOutcome::Stay;
  // A file that cannot be deleted stays as it was and shows so; the refill makes a missing one
  // again as an empty slot.
  engine.platform.files.Remove(SaveFileName(slot));
  Refill();
  return BookmarkOutcome::Stay;
}

BookmarkOutcome BookmarkList::SetMark(BookmarkMark mark) {
  if (selected < 0 || mark < BookmarkMark::Blue || mark > BookmarkMark::Red) return BookmarkOutcome::Stay;
  const int row = selected;
  const std::int32_t slot = rows[static_cast<std::size_t>(row)].slot;
  BookmarkOutcome outcome = BookmarkOutcome::Stay;
  if (Coloured(ReadMark(slot))) {
    switch (engine.saveData.SetBookmarkMark(slot, mark)) {
    case SaveData::MarkResult::Done:
      break;
    case SaveData::MarkResult::Missing:
      outcome = ReportFailure(ErrFileNotFound, slot);
      break;
    case SaveData::MarkResult::Failed:
      outcome = ReportFailure(ErrFileIO, slot);
      break;
    }
  }
  Refill();
  Select(row);
  return outcome;
}

BookmarkOutcome BookmarkList::Command(int id) {
  // A script error on the way (a variable that cannot take a value) is reported as the script's
  // own are, and never leaves the dialog.
  try {
    return RunCommand(id);
  } catch (const TBaseException& error) {
    return Report(error);
  }
}

BookmarkOutcome BookmarkList::RunCommand(int id) {
  switch (id) {
  case BookmarkDecideId:
    return Decide();
  case BookmarkDeleteId:
    return Delete();
  case BookmarkPreviousId:
    PreviousPage();
    break;
  case BookmarkNextId:
    NextPage();
    break;
  default:
    if (id >= BookmarkMarkCommandBase + static_cast<int>(BookmarkMark::Blue) &&
        id <= BookmarkMarkCommandBase + static_cast<int>(BookmarkMark::Red)) {
      return SetMark(static_cast<BookmarkMark>(id - BookmarkMarkCommandBase));
    }
    break;
  }
  return BookmarkOutcome::Stay;
}

void BookmarkList::PreviousPage() {
  if (page <= 0) return;
  --page;
  Refill();
}

void BookmarkList::NextPage() {
  if (page >= PageCount() - 1) return;
  ++page;
  Refill();
}

bool BookmarkList::SelectSlot(std::int32_t slot) {
  if (slot < 1 || slot > PageCount() * BookmarkRowsPerPage) return false;
  const int wanted = (slot - 1) / BookmarkRowsPerPage;
  if (wanted != page) {
    page = wanted;
    Refill();
  }
  Select((slot - 1) % BookmarkRowsPerPage);
  return true;
}

} // namespace velmo
