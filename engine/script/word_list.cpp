#include "engine/script/word_list.h"

#include "engine/base/errors.h"
#include "engine/base/sjis.h"

#include <array>

namespace velmo {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Bytes that an unquoted item copies as they are: all but the end, quotes, separators and lead
// bytes.
constexpr auto PlainInItem = [] {
  std::array<bool, 256> table{};
  for (int b = 1; b < 256; ++b) {
    table[static_cast<std::size_t>(b)] =
        !IsLeadByte(static_cast<unsigned char>(b)) && b != '"' && b != ',' && b != ' ' && b != '\t';
  }
  return table;
}();

} // namespace

void TWordList::Store(const char* item) {
  Terminate();
  if (count < PointerCount - 1) {
    ++count;
    Point(count, item);
  }
}

int TWordList::Split(const char* text) {
  Reset();
  count = 0;
  enum class State { Start, Quoted, Word };
  const char* p = text;
  for (;;) {
    while (IsBlank(*p)) ++p;
    if (*p == '\0') break;
    const char* item = WritePosition();
    State state = State::Start;
    for (;;) {
      const char c = *p;
      if (state != State::Quoted && PlainInItem[static_cast<unsigned char>(c)]) {
        p = PutRun(p, PlainInItem);
        state = State::Word;
        continue;
      }
      if (c == '\0') {
        if (state == State::Quoted) ThrowError(ErrSyntax, "引用符の記述間違い(引用符の不足)");
        break;
      }
      if (c == '"') {
        if (state == State::Word) ThrowError(ErrSyntax, "引用符の記述間違い(単語中に含まれる引用符)");
        state = state == State::Start ? State::Quoted : State::Word;
        ++p;
      } else if (state == State::Quoted && c == '\t') {
        Put(' ');
        ++p;
      } else if (state != State::Quoted && (c == ',' || IsBlank(c))) {
        ++p;
        break;
      } else {
        p += PutChar(p);
        if (state == State::Start) state = State::Word;
      }
    }
    Store(item);
  }
  return count;
}

int TWordList::SplitArchivePath(const char* path) {
  Reset();
  count = 0;
  const char* p = path;
  for (;;) {
    while (*p == '\\') ++p;
    if (*p == '\0') break;
    const char* piece = WritePosition();
    bool seenDot = false;
    while (*p != '\0') {
      if (*p == '\\' && seenDot) {
        ++p;
        break;
      }
      if (*p == '.') seenDot = true;
      p += PutChar(p);
    }
    Store(piece);
  }
  return count;
}

} // namespace velmo
