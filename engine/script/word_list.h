#pragma once

#include "engine/script/token_list.h"

namespace velmo {

// A list of items split from one text; items are numbered 1..127 and every item beyond the last
// is "". Used for list values ("0,0,640,480"), PARAM argument lists and whole-line commands, and,
// through SplitArchivePath, for paths that lead into archive files.
class TWordList : public TTokenList {
public:
  TWordList() = default;
  explicit TWordList(const char* text) { Split(text); }

  // A word list is filled by Split or SplitArchivePath; Parse does nothing.
  int Parse(const char*) override { return 0; }

  // Items separated by commas, blanks or TABs; quotes enclose blanks and commas (a TAB inside
  // quotes becomes a blank). "a ,b" gives a, "" and b. Raises ErrSyntax for a quote inside an
  // item or a missing closing quote. Returns the number of items.
  int Split(const char* text);

  // Pieces of a path, cut at each backslash that follows a '.' within the current piece:
  // "data.pak\cg\pic.bmp" gives "data.pak" and "cg\pic.bmp". Leading backslashes of a piece are
  // skipped. Returns the number of pieces.
  int SplitArchivePath(const char* path);

  int Count() const { return count; }

  // A split kept for later, put back instead of splitting the same text again.
  struct Kept {
    Snapshot items;
    int count = 0;
  };
  void Save(Kept& out) const {
    TTokenList::Save(out.items);
    out.count = count;
  }
  void Restore(const Kept& in) {
    TTokenList::Restore(in.items);
    count = in.count;
  }

private:
  void Store(const char* item);

  int count = 0;
};

} // namespace velmo
