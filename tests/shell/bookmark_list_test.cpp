// The bookmark dialogs without a window: the slots of a page and their files, the marks and their
// icons, what the buttons and the context menu offer for a selection made by mouse or keyboard,
// the page buttons, read-only and empty slots, the overwrite question and the confirmation after
// a write that succeeded, a failed write reported as a script error, deleting, the colour marks,
// and the rule for games run from a CD.
#include "engine/shell/bookmark_list.h"

#include "engine/base/nibbles.h"
#include "engine/resources/resource_ids.h"
#include "engine/save/save_data.h"
#include "engine/shell/menu_commands.h"
#include "tests/support/script_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmo {
namespace {

// A bookmark file holding `values` (value 1 first), as the engine stores them.
std::string Stored(const std::vector<std::string>& values) {
  std::string bytes;
  for (const std::string& value : values) {
    for (const char c : value) bytes += SwapNibbles(c);
    bytes += '\0';
  }
  return bytes;
}

// Value 1 of a bookmark with `mark`.
std::string Stamp(BookmarkMark mark, const char* date = "12/ 7  13:05") {
  return std::string(1, static_cast<char>(mark)) + date;
}

class BookmarkListTest : public ::testing::Test {
protected:
  BookmarkListTest() {
    f.AddScenario("main.scn", {"@SetBookmarkEntry \"#resume\" \"the comment\"", "waiting here", "// resume", "back"});
    f.Open("main.scn");
    f.Resume();
  }

  void Slot(std::int32_t slot, BookmarkMark mark, const char* comment = "a comment") {
    f.files.files[SaveFileName(slot)] = Stored({Stamp(mark), comment, "main.scn#resume", "value 4"});
  }
  std::string File(std::int32_t slot) { return f.files.files[SaveFileName(slot)]; }
  unsigned char StoredMark(std::int32_t slot) {
    const std::string bytes = File(slot);
    return bytes.empty() ? 0 : static_cast<unsigned char>(SwapNibbles(bytes[0]));
  }

  BookmarkList List(BookmarkDialogKind kind) {
    return BookmarkList(f.engine, kind,
                        [this](std::string_view text, std::string_view caption, MessageButtons buttons,
                               MessageIcon icon) { return f.window.ShowMessageBox(text, caption, buttons, icon); });
  }

  ScriptFixture f;
};

TEST_F(BookmarkListTest, ShowingAPageMakesItsMissingSlotFilesEmpty) {
  f.files.files.erase(std::string(MemoFileName));
  const BookmarkList list = List(BookmarkDialogKind::Load);
  for (int i = 0; i < BookmarkRowsPerPage; ++i) {
    const BookmarkRow& row = list.Rows()[static_cast<std::size_t>(i)];
    EXPECT_EQ(row.slot, i + 1);
    EXPECT_EQ(row.mark, 0);
    EXPECT_EQ(row.date, "--/--  --:--");
    EXPECT_EQ(row.comment, "");
    EXPECT_EQ(File(i + 1), std::string(2, '\0')) << i;
  }
  EXPECT_EQ(list.Rows()[0].label, "  1");
  EXPECT_EQ(list.Rows()[9].label, " 10");
  EXPECT_FALSE(f.files.Exists(SaveFileName(11)));
  EXPECT_STREQ(list.Caption(), "しおりを開く - VELMO");
  EXPECT_STREQ(List(BookmarkDialogKind::Save).Caption(), "しおりを挿す - VELMO");
}

TEST_F(BookmarkListTest, RowsShowTheMarkTheDateAndTheComment) {
  Slot(1, BookmarkMark::ReadOnly, "read only");
  Slot(2, BookmarkMark::Blue, "blue");
  Slot(3, BookmarkMark::Yellow, "yellow");
  Slot(4, BookmarkMark::Red, "赤いしおり");
  f.files.files[SaveFileName(5)] = Stored({"\x07"
                                           "damaged",
                                           "odd"});
  // A file shorter than its two values leaves the rest empty, not the row before's.
  f.files.files[SaveFileName(6)] = "";
  const BookmarkList list = List(BookmarkDialogKind::Load);
  const auto& rows = list.Rows();
  EXPECT_EQ(rows[0].mark, 1);
  EXPECT_EQ(rows[0].IconIndex(), 1);
  EXPECT_EQ(rows[0].comment, "read only");
  EXPECT_EQ(rows[1].IconIndex(), 2);
  EXPECT_EQ(rows[2].IconIndex(), 3);
  EXPECT_EQ(rows[3].IconIndex(), 4);
  EXPECT_EQ(rows[3].date, "12/ 7  13:05");
  EXPECT_EQ(rows[3].comment, "赤いしおり");
  EXPECT_EQ(rows[4].mark, 7);
  EXPECT_EQ(rows[4].IconIndex(), 2);
  EXPECT_EQ(rows[4].date, "damaged");
  EXPECT_EQ(rows[5].mark, 0);
  EXPECT_EQ(rows[5].date, "--/--  --:--");
  EXPECT_EQ(rows[5].comment, "");
}

struct ControlCase {
  BookmarkDialogKind kind;
  BookmarkMark mark;
  bool decide;
  bool remove;
  int checked;
  bool menu;
};

TEST_F(BookmarkListTest, TheSelectionDecidesWhatIsOffered) {
  const ControlCase cases[] = {
      {BookmarkDialogKind::Load, BookmarkMark::Empty, false, false, 0, false},
      {BookmarkDialogKind::Load, BookmarkMark::ReadOnly, true, false, 0, true},
      {BookmarkDialogKind::Load, BookmarkMark::Blue, true, true, IDM_BOOKMARK_BLUE, true},
      {BookmarkDialogKind::Load, BookmarkMark::Red, true, true, IDM_BOOKMARK_RED, true},
      {BookmarkDialogKind::Save, BookmarkMark::Empty, true, false, 0, true},
      {BookmarkDialogKind::Save, BookmarkMark::ReadOnly, false, false, 0, true},
      {BookmarkDialogKind::Save, BookmarkMark::Yellow, true, true, IDM_BOOKMARK_YELLOW, true},
  };
  for (const ControlCase& c : cases) {
    f.files.files.erase(SaveFileName(3));
    if (c.mark != BookmarkMark::Empty) Slot(3, c.mark);
    BookmarkList list = List(c.kind);
    EXPECT_EQ(list.Controls(), BookmarkControls{}) << "nothing selected";
    // The keyboard moves the selection as the mouse does: the list reports each row it selects.
    list.Select(0);
    list.Select(1);
    list.Select(2);
    const BookmarkControls controls = list.Controls();
    const int mark = static_cast<int>(c.mark);
    EXPECT_EQ(controls.decideEnabled, c.decide) << mark;
    EXPECT_EQ(controls.deleteEnabled, c.remove) << mark;
    EXPECT_EQ(controls.checkedMarkCommand, c.checked) << mark;
    EXPECT_EQ(list.DoubleClickDecides(2), c.decide) << mark;
    EXPECT_EQ(list.RightClickShowsMenu(2), c.menu) << mark;
    list.Select(-1);
    EXPECT_FALSE(list.Controls().decideEnabled) << mark;
    EXPECT_FALSE(list.Controls().deleteEnabled) << mark;
  }
}

TEST_F(BookmarkListTest, PageButtonsFollowMaxBookmarkPage) {
  BookmarkList single = List(BookmarkDialogKind::Load);
  EXPECT_FALSE(single.Controls().previousEnabled);
  EXPECT_FALSE(single.Controls().nextEnabled);
  single.NextPage();
  EXPECT_EQ(single.Page(), 0);

  f.engine.settings.maxBookmarkPage = 3;
  BookmarkList list = List(BookmarkDialogKind::Load);
  EXPECT_TRUE(list.Controls().nextEnabled);
  EXPECT_EQ(list.Command(BookmarkNextId), BookmarkOutcome::Stay);
  EXPECT_TRUE(list.Controls().previousEnabled);
  list.Select(4);
  list.NextPage();
  EXPECT_EQ(list.Selected(), -1);
  EXPECT_EQ(list.Rows()[0].slot, 21);
  EXPECT_EQ(list.Rows()[9].slot, 30);
  EXPECT_EQ(list.Rows()[9].label, " 30");
  EXPECT_FALSE(list.Controls().nextEnabled);
  EXPECT_TRUE(f.files.Exists(SaveFileName(30)));
  EXPECT_FALSE(f.files.Exists(SaveFileName(31)));
  list.Command(BookmarkPreviousId);
  EXPECT_EQ(list.Rows()[0].slot, 11);
  EXPECT_TRUE(list.SelectSlot(7));
  EXPECT_EQ(list.Page(), 0);
  EXPECT_EQ(list.Selected(), 6);
  EXPECT_FALSE(list.SelectSlot(31));
  EXPECT_FALSE(list.SelectSlot(0));
}

TEST_F(BookmarkListTest, LoadingTakesABookmarkAndNeverAnEmptySlot) {
  Slot(2, BookmarkMark::ReadOnly);
  BookmarkList list = List(BookmarkDialogKind::Load);
  f.engine.script.variables.SetVarText("save[4]", "before");
  list.Select(0);
  EXPECT_EQ(list.Decide(), BookmarkOutcome::Stay);
  EXPECT_EQ(f.Var("save[4]"), "before");
  // A read-only bookmark can be opened.
  list.Select(1);
  EXPECT_EQ(list.Command(BookmarkDecideId), BookmarkOutcome::Loaded);
  EXPECT_EQ(f.Var("save[4]"), "value 4");
  EXPECT_EQ(f.Var("__save[3]"), "main.scn#resume");
  EXPECT_EQ(f.Var("sysCurBookmark"), "2");
  EXPECT_TRUE(f.window.messageBoxes.empty());
}

TEST_F(BookmarkListTest, CommandsReadTheSlotAgain) {
  BookmarkList load = List(BookmarkDialogKind::Load);
  BookmarkList save = List(BookmarkDialogKind::Save);
  load.Select(0);
  save.Select(0);
  // The slot changed under the lists: the load list still shows it empty, the save list free.
  Slot(1, BookmarkMark::ReadOnly);
  EXPECT_EQ(save.Decide(), BookmarkOutcome::Stay);
  EXPECT_EQ(StoredMark(1), 1);
  EXPECT_EQ(save.Rows()[0].mark, 1); // shown as it is now
  // A bookmark deleted under the load list is not loaded.
  Slot(2, BookmarkMark::Blue);
  BookmarkList shown = List(BookmarkDialogKind::Load);
  shown.Select(1);
  EXPECT_TRUE(shown.Controls().decideEnabled);
  f.files.files[SaveFileName(2)] = std::string(2, '\0');
  EXPECT_EQ(shown.Decide(), BookmarkOutcome::Stay);
  EXPECT_EQ(f.Var("sysCurBookmark"), "");
  EXPECT_EQ(shown.Rows()[1].mark, 0);
}

TEST_F(BookmarkListTest, SavingIntoAnEmptySlotMakesItBlueAndConfirmsIt) {
  f.clock.localTime = LocalTime{2026, 12, 7, 13, 5, 0};
  BookmarkList list = List(BookmarkDialogKind::Save);
  list.Select(3);
  EXPECT_EQ(list.Command(BookmarkDecideId), BookmarkOutcome::Saved);
  EXPECT_EQ(StoredMark(4), 2);
  ASSERT_EQ(f.window.messageBoxes.size(), 1u);
  const HeadlessWindow::MessageBoxCall& box = f.window.messageBoxes[0];
  EXPECT_EQ(box.text, "4 番にしおりを挿しました.");
  EXPECT_EQ(box.caption, "しおりを挿す");
  EXPECT_EQ(box.buttons, MessageButtons::Ok);
  EXPECT_EQ(box.icon, MessageIcon::Information);
  // The dialog stays, with the slot shown as saved and still selected.
  EXPECT_EQ(list.Rows()[3].mark, 2);
  EXPECT_EQ(list.Rows()[3].date, "12/ 7  13:05");
  EXPECT_EQ(list.Rows()[3].comment, "the comment");
  EXPECT_EQ(list.Selected(), 3);
  EXPECT_EQ(f.Var("sysCurBookmark"), "4");
}

TEST_F(BookmarkListTest, OverwritingAsksFirstAndKeepsTheColour) {
  Slot(5, BookmarkMark::Red, "old");
  BookmarkList list = List(BookmarkDialogKind::Save);
  list.Select(4);
  f.window.answers = {MessageAnswer::No};
  EXPECT_EQ(list.Decide(), BookmarkOutcome::Stay);
  EXPECT_EQ(list.Rows()[4].comment, "old");
  ASSERT_EQ(f.window.messageBoxes.size(), 1u);
  EXPECT_EQ(f.window.messageBoxes[0].text, "5 番のしおりに上書きします.\n\nよろしいですか？");
  EXPECT_EQ(f.window.messageBoxes[0].caption, "しおりを挿す");
  EXPECT_EQ(f.window.messageBoxes[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(f.window.messageBoxes[0].icon, MessageIcon::Question);

  f.window.answers = {MessageAnswer::Yes};
  EXPECT_EQ(list.Decide(), BookmarkOutcome::Saved);
  EXPECT_EQ(StoredMark(5), 4);
  EXPECT_EQ(list.Rows()[4].comment, "the comment");
  // No confirmation after an overwrite.
  EXPECT_EQ(f.window.messageBoxes.size(), 2u);
}

TEST_F(BookmarkListTest, AReadOnlySlotIsNeverOverwrittenDeletedOrRecoloured) {
  Slot(1, BookmarkMark::ReadOnly);
  const std::string before = File(1);
  BookmarkList list = List(BookmarkDialogKind::Save);
  list.Select(0);
  EXPECT_EQ(list.Decide(), BookmarkOutcome::Stay);
  EXPECT_EQ(list.Delete(), BookmarkOutcome::Stay);
  list.Select(0);
  EXPECT_EQ(list.SetMark(BookmarkMark::Red), BookmarkOutcome::Stay);
  EXPECT_EQ(File(1), before);
  EXPECT_TRUE(f.window.messageBoxes.empty());
}

TEST_F(BookmarkListTest, AFailedSaveIsReportedAndNotConfirmed) {
  BookmarkList list = List(BookmarkDialogKind::Save);
  f.files.readOnly = {SaveFileName(2) + ".tmp"};
  list.Select(1);
  f.window.answers = {MessageAnswer::No}; // the player goes on
  EXPECT_EQ(list.Decide(), BookmarkOutcome::Stay);
  EXPECT_EQ(File(2), std::string(2, '\0'));
  ASSERT_EQ(f.window.messageBoxes.size(), 1u);
  EXPECT_EQ(f.window.messageBoxes[0].caption, "シナリオ実行時のエラー - VELMO");
  EXPECT_NE(f.window.messageBoxes[0].text.find("system\\save02.dat"), std::string::npos);
  ASSERT_EQ(f.errors.size(), 1u);
  EXPECT_EQ(f.errors[0].code, ErrFileIO);
  EXPECT_EQ(f.errors[0].info, "system\\save02.dat");
  EXPECT_EQ(f.errors[0].fileName, "main.scn");
  EXPECT_NE(f.engine.run.state, RunState::Terminating);
  EXPECT_EQ(f.Var("sysCurBookmark"), "");

  // The player who ends the program closes the dialog.
  f.window.answers = {MessageAnswer::Yes};
  EXPECT_EQ(list.Decide(), BookmarkOutcome::Terminate);
  EXPECT_EQ(f.engine.run.state, RunState::Terminating);
  EXPECT_EQ(f.window.shutdownPosted, 1);
}

TEST_F(BookmarkListTest, DeletingAsksAndLeavesAnEmptySlot) {
  Slot(3, BookmarkMark::Yellow);
  BookmarkList list = List(BookmarkDialogKind::Load);
  list.Select(2);
  f.window.answers = {MessageAnswer::No, MessageAnswer::Yes};
  EXPECT_EQ(list.Command(BookmarkDeleteId), BookmarkOutcome::Stay);
  EXPECT_EQ(StoredMark(3), 3);
  EXPECT_EQ(f.window.messageBoxes[0].text, "3 番のしおりを削除します.\n\nよろしいですか？");
  EXPECT_EQ(f.window.messageBoxes[0].caption, "しおりの削除");
  EXPECT_EQ(f.window.messageBoxes[0].icon, MessageIcon::Exclamation);
  list.Select(2);
  EXPECT_EQ(list.Command(BookmarkDeleteId), BookmarkOutcome::Stay);
  EXPECT_EQ(File(3), std::string(2, '\0'));
  EXPECT_EQ(list.Rows()[2].mark, 0);
  EXPECT_EQ(list.Selected(), -1);
}

TEST_F(BookmarkListTest, ColourMarksChangeOnlyTheMark) {
  Slot(1, BookmarkMark::Blue);
  BookmarkList list = List(BookmarkDialogKind::Load);
  list.Select(0);
  EXPECT_EQ(list.Command(IDM_BOOKMARK_YELLOW), BookmarkOutcome::Stay);
  EXPECT_EQ(StoredMark(1), 3);
  EXPECT_EQ(list.Rows()[0].comment, "a comment");
  EXPECT_EQ(list.Selected(), 0);
  EXPECT_EQ(list.Controls().checkedMarkCommand, IDM_BOOKMARK_YELLOW);
  // An empty slot has no colour to change.
  list.Select(1);
  list.Command(IDM_BOOKMARK_RED);
  EXPECT_EQ(File(2), std::string(2, '\0'));
  // A mark that cannot be written is reported.
  f.files.readOnly = {SaveFileName(1) + ".tmp"};
  list.Select(0);
  f.window.answers = {MessageAnswer::No};
  EXPECT_EQ(list.Command(IDM_BOOKMARK_BLUE), BookmarkOutcome::Stay);
  EXPECT_EQ(StoredMark(1), 3);
  ASSERT_EQ(f.errors.size(), 1u);
  EXPECT_EQ(f.errors[0].code, ErrFileIO);
}

TEST_F(BookmarkListTest, AGameRunFromACdSavesNothing) {
  f.engine.runsFromCd = true;
  EXPECT_FALSE(BookmarkDialogOpens(f.engine, BookmarkDialogKind::Save));
  EXPECT_TRUE(BookmarkDialogOpens(f.engine, BookmarkDialogKind::Load));
  RunMenuCommand(f.engine, IDM_SAVE);
  EXPECT_TRUE(f.window.dialogs.empty());
  RunMenuCommand(f.engine, IDM_LOAD);
  EXPECT_EQ(f.window.dialogs, std::vector<EngineDialog>{EngineDialog::LoadBookmark});
  // Even a list made anyway writes nothing.
  BookmarkList list = List(BookmarkDialogKind::Save);
  list.Select(0);
  EXPECT_FALSE(list.Controls().decideEnabled);
  EXPECT_EQ(list.Decide(), BookmarkOutcome::Stay);
  EXPECT_EQ(File(1), std::string(2, '\0'));
}

} // namespace
} // namespace velmo
