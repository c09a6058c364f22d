#pragma once

#include "engine/platform/platform.h"
#include "engine/save/save_data.h"

#include <array>
#include <cstdint>
#include <string>

namespace velmo {

class Engine;
class TBaseException;

// The bookmark dialogs without their window: "しおりを開く - VELMO" (load) and "しおりを挿す - VELMO"
// (save). Ten slots a page, MaxBookmarkPage pages; each row shows its slot's mark, date and comment.
// The Win32 dialog (template 102), velmo-run and the tests drive the same object: they tell it the
// selection, carry out its commands and show what it says is enabled.

enum class BookmarkDialogKind { Load, Save };

inline constexpr int BookmarkRowsPerPage = 10;
inline constexpr const char* LoadBookmarkCaption = "しおりを開く - VELMO";
inline constexpr const char* SaveBookmarkCaption = "しおりを挿す - VELMO";
// The boxes of the save dialog and of deleting ("%d" is the slot).
inline constexpr const char* OverwriteQuestionText = "%d 番のしおりに上書きします.\n\nよろしいですか？";
inline constexpr const char* SavedText = "%d 番にしおりを挿しました.";
inline constexpr const char* SaveBoxCaption = "しおりを挿す";
inline constexpr const char* DeleteQuestionText = "%d 番のしおりを削除します.\n\nよろしいですか？";
inline constexpr const char* DeleteBoxCaption = "しおりの削除";
// The date column of an empty slot.
inline constexpr const char* EmptySlotDate = "--/--  --:--";

// The dialog's controls and menu commands (template 102 and the POPUP_BOOKMARK menu of 110).
inline constexpr int BookmarkDecideId = 1;   // 決定
inline constexpr int BookmarkBackId = 2;     // 戻る
inline constexpr int BookmarkDeleteId = 3;   // × 削除
inline constexpr int BookmarkPreviousId = 4; // ▲ 前頁
inline constexpr int BookmarkNextId = 5;     // ▼ 次頁
inline constexpr int BookmarkListId = 1000;
// The colour commands are 40024 + the mark: 40026 青, 40027 黄, 40028 赤.
inline constexpr int BookmarkMarkCommandBase = 40024;

// One row of the list.
struct BookmarkRow {
  std::int32_t slot = 0;
  unsigned char mark = 0; // the first byte of the slot's value 1: 0 empty, 1 read-only, 2-4 colours
  std::string label;      // " %2d" of the slot
  std::string date;       // value 1 after its mark byte, or EmptySlotDate
  std::string comment;    // value 2; empty for an empty slot
  // The icon of the row in the list's image list: the mark (100, 101, 138, 140, 141); a mark the
  // format does not know (a damaged file) shows as blue.
  int IconIndex() const { return mark <= 4 ? mark : 2; }
};

// What the buttons and the context menu offer for the selection.
struct BookmarkControls {
  bool decideEnabled = false;   // button 1, and item 1 of the context menu
  bool deleteEnabled = false;   // button 3, item 3 and the sub-menu しおり of the context menu
  bool previousEnabled = false; // button 4
  bool nextEnabled = false;     // button 5
  int checkedMarkCommand = 0;   // the radio item of the selected slot's colour (40026-40028), or 0
  bool operator==(const BookmarkControls&) const = default;
};

// What a command left the dialog to do.
enum class BookmarkOutcome {
  Stay,      // the dialog stays open (its list may have changed)
  Saved,     // a bookmark was written (and confirmed): the dialog stays open
  Loaded,    // a bookmark was loaded: the dialog closes with 1
  Terminate, // the player ended the program after a failed write: the dialog closes with 0
};

// Whether the dialog opens at all: the save dialog never on a game run from a CD, which has
// nowhere to keep a bookmark.
bool BookmarkDialogOpens(const Engine& engine, BookmarkDialogKind kind);

class BookmarkList {
public:
  // Boxes (questions, confirmations, the script-error box of a failed write) are shown by `box`.
  BookmarkList(Engine& engine, BookmarkDialogKind kind, MessageBoxFunction box);

  BookmarkDialogKind Kind() const { return kind; }
  const char* Caption() const { return kind == BookmarkDialogKind::Load ? LoadBookmarkCaption : SaveBookmarkCaption; }
  int Page() const { return page; }
  int PageCount() const;
  const std::array<BookmarkRow, BookmarkRowsPerPage>& Rows() const { return rows; }

  // Reads the shown page's ten slots again (a slot without a file is made empty, two 0 bytes) and
  // clears the selection, as the list's rows are made anew.
  void Refill();
  // The row the list selects now, by mouse or keyboard; -1 for none.
  void Select(int row);
  int Selected() const { return selected; }
  BookmarkControls Controls() const;

  // A double click on `row` carries out 決定 when the row could be decided.
  bool DoubleClickDecides(int row) const;
  // A right click on `row` opens the context menu (the load dialog: only on a slot that holds one).
  bool RightClickShowsMenu(int row) const;

  // The commands. Each reads the selected slot's mark from its file again, whatever the buttons
  // showed: a read-only slot is never overwritten, deleted or re-coloured, an empty one never
  // loaded, and nothing is saved on a game run from a CD.
  BookmarkOutcome Decide();
  BookmarkOutcome Delete();
  BookmarkOutcome SetMark(BookmarkMark mark);
  // Command `id` of the dialog or its context menu (1, 3, 4, 5, 40026-40028); 2 (戻る) is the
  // window's.
  BookmarkOutcome Command(int id);
  void PreviousPage();
  void NextPage();
  // Shows the page of `slot` and selects its row; false when no page of the dialog shows it.
  bool SelectSlot(std::int32_t slot);

private:
  unsigned char ReadMark(std::int32_t slot);
  // A failed write of the slot's file, reported as a script error; Terminate when the player ends
  // the program.
  BookmarkOutcome ReportFailure(std::int32_t code, std::int32_t slot);
  BookmarkOutcome Report(const TBaseException& error);
  BookmarkOutcome RunCommand(int id);
  bool Ask(const char* format, std::int32_t slot, const char* caption, MessageIcon icon);

  Engine& engine;
  BookmarkDialogKind kind;
  MessageBoxFunction box;
  int page = 0;
  int selected = -1;
  std::array<BookmarkRow, BookmarkRowsPerPage> rows{};
};

} // namespace velmo
