#include "engine/script/command_line.h"

#include "engine/base/errors.h"
#include "engine/base/sjis.h"

#include <array>
#include <cstring>

namespace velmo {

namespace {

constexpr const char* QuoteError = "引用符の記述間違い";
constexpr const char* ReferenceError = "変数名の記述間違い";
constexpr std::size_t MaxNameLength = 255;
// References nested deeper than this are not a script anyone writes; refusing them keeps the
// recursion's stack use bounded whatever the line holds.
constexpr int MaxReferenceDepth = 64;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Bytes that a word of a command line copies without a second look: everything but the end of
// the text, quotes, separators, '=', '$' and Shift-JIS lead bytes (which bring their trail byte).
constexpr auto OrdinaryInWord = [] {
  std::array<bool, 256> table{};
  for (int b = 1; b < 256; ++b) {
    table[static_cast<std::size_t>(b)] = !IsLeadByte(static_cast<unsigned char>(b)) && b != '"' && b != ' ' &&
                                         b != '\t' && b != ',' && b != '=' && b != '$';
  }
  return table;
}();

// Bytes that the command word copies as they are: all but the end, blanks and lead bytes.
constexpr auto PlainInWord = [] {
  std::array<bool, 256> table{};
  for (int b = 1; b < 256; ++b) {
    table[static_cast<std::size_t>(b)] = !IsLeadByte(static_cast<unsigned char>(b)) && b != ' ' && b != '\t';
  }
  return table;
}();

// Bytes that Substitute copies as they are: all but the end, TAB, '$' and lead bytes.
constexpr auto PlainInSubstitute = [] {
  std::array<bool, 256> table{};
  for (int b = 1; b < 256; ++b) {
    table[static_cast<std::size_t>(b)] = !IsLeadByte(static_cast<unsigned char>(b)) && b != '\t' && b != '$';
  }
  return table;
}();

std::size_t ExpandAt(const char* src, const TListHash& vars, char* out, int depth) {
  if (depth > MaxReferenceDepth) ThrowError(ErrStackOverflow, "ExpandReference");
  char name[MaxNameLength + 1];
  std::size_t length = 0;
  bool nameFull = false; // once cut, the name takes no more characters
  auto append = [&](const char* bytes, std::size_t n) {
    if (nameFull) return;
    std::string_view kept = CutAtCharBoundary(std::string_view(bytes, n), MaxNameLength - length);
    std::memcpy(name + length, kept.data(), kept.size());
    length += kept.size();
    nameFull = kept.size() < n;
  };
  bool braces = false;
  std::size_t i = 1;
  for (;;) {
    const char c = src[i];
    if (c == '\0' || IsBlank(c) || c == ',') break;
    if (IsLeadByte(c) && src[i + 1] != '\0') {
      append(src + i, 2);
      i += 2;
    } else if (c == '{') {
      if (braces) ThrowError(ErrSyntax, ReferenceError);
      braces = true;
      ++i;
    } else if (c == '}') {
      if (braces) ++i;
      break;
    } else if (c == '$') {
      if (!braces && i != 1) break; // the next reference begins here
      char nested[TListHash::ValueSize];
      i += ExpandAt(src + i, vars, nested, depth + 1);
      append(nested, std::strlen(nested));
    } else {
      // The common case: a single-byte character of the name.
      if (!nameFull && length < MaxNameLength)
        name[length++] = c;
      else
        nameFull = true;
      ++i;
    }
  }
  const char* value = vars.GetVar(std::string_view(name, length));
  const std::size_t valueLength = strnlen(value, TListHash::ValueSize - 1);
  std::memcpy(out, value, valueLength);
  out[valueLength] = '\0';
  return i;
}

} // namespace

std::size_t ExpandReference(const char* src, const TListHash& variables, char* out) {
  return ExpandAt(src, variables, out, 0);
}

std::optional<std::string_view> LoneReference(const char* item, const TListHash& variables) {
  if (item[0] != '$') return std::nullopt;
  std::size_t length = 0;
  for (const char* p = item + 1; *p != '\0'; ++p, ++length) {
    const char c = *p;
    if (IsBlank(c) || c == ',' || c == '{' || c == '}' || c == '$' || IsLeadByte(c)) return std::nullopt;
  }
  if (length == 0 || length > MaxNameLength) return std::nullopt;
  const char* value = variables.GetVar(std::string_view(item + 1, length));
  return std::string_view(value, strnlen(value, TListHash::ValueSize - 1));
}

void TCommandLine::CopyReference(const char*& p) {
  char expansion[TListHash::ValueSize];
  p += ExpandReference(p, vars, expansion);
  PutText(expansion);
}

int TCommandLine::Parse(const char* line) {
  Reset();
  count = written = 0;
  const char* p = line;
  while (IsBlank(*p)) ++p;

  // The command word: no quotes, '=' or references.
  Point(0, WritePosition());
  while (*p != '\0' && !IsBlank(*p)) {
    if (PlainInWord[static_cast<unsigned char>(*p)])
      p = PutRun(p, PlainInWord);
    else
      p += PutChar(p);
  }
  Terminate();
  int filled = 2;

  enum class State { Start, Quoted, Word };
  for (;;) {
    while (IsBlank(*p)) ++p;
    if (*p == '\0') break;

    State state = State::Start;
    bool seenEquals = false;
    bool closedQuote = false; // the last thing scanned was a closing quote
    const char* key = WritePosition();
    const char* value = key;
    for (;;) {
      const char c = *p;
      // The common case first: a byte that means nothing here is copied as it is.
      if (state == State::Word && !closedQuote && OrdinaryInWord[static_cast<unsigned char>(c)]) {
        p = PutRun(p, OrdinaryInWord);
        continue;
      }
      if (c == '\0') {
        if (state == State::Quoted) ThrowError(ErrSyntax, QuoteError);
        break;
      }
      if (c == '"') {
        if (state == State::Word) ThrowError(ErrSyntax, QuoteError);
        closedQuote = state == State::Quoted;
        state = state == State::Start ? State::Quoted : State::Word;
        ++p;
        continue;
      }
      if (state != State::Quoted) {
        if (IsBlank(c) && state == State::Start) { // blanks between '=' and its value
          ++p;
          continue;
        }
        if (IsBlank(c) || c == ',') {
          ++p;
          break;
        }
        if (c == '=' && !seenEquals) {
          if (state == State::Word) { // KEY=VALUE: the key ends here
            closedQuote = false;
            Terminate();
            value = WritePosition();
            state = State::Start;
            seenEquals = true;
            ++p;
            continue;
          }
          // KEY = VALUE: the bare token before this '=' becomes this token's key.
          if (filled >= 4 && filled <= PointerCount && pointers[filled - 2] == pointers[filled - 1]) {
            filled -= 2;
            key = pointers[filled];
            value = WritePosition();
            seenEquals = true;
            ++p;
            continue;
          }
          // Nothing to take as the key: the '=' is an ordinary character.
        }
        // A quoted text is a whole word or a whole value: nothing may follow it in the token.
        if (closedQuote) ThrowError(ErrSyntax, QuoteError);
      }
      if (c == '$') {
        CopyReference(p);
      } else {
        p += PutChar(p);
      }
      if (state == State::Start) state = State::Word;
    }
    Terminate();
    if (filled < PointerCount) {
      Point(filled, key);
      Point(filled + 1, value);
    }
    filled += 2;
  }
  written = (filled > PointerCount ? PointerCount : filled) / 2;
  count = written < 2 ? 2 : written;
  return count;
}

const char* TCommandLine::Substitute(const char* line) {
  Reset();
  count = written = 0;
  const char* start = WritePosition();
  const char* p = line;
  while (*p != '\0') {
    if (PlainInSubstitute[static_cast<unsigned char>(*p)]) {
      p = PutRun(p, PlainInSubstitute);
    } else if (*p == '\t') {
      ++p;
    } else if (*p == '$') {
      CopyReference(p);
    } else {
      p += PutChar(p);
    }
  }
  Terminate();
  return start;
}

bool IsParam(const TCommandLine& line, int i, std::string_view name, int slot) {
  return (line.IsBare(i) && slot > 0 && i == slot + 1) || EqualsNoCase(line.Key(i), name);
}

const char* FindParam(const TCommandLine& line, std::string_view name, int slot) {
  const char* found = nullptr;
  for (int i = 2; i <= line.Written(); ++i) {
    if (IsParam(line, i, name, slot)) found = line.Value(i);
  }
  return found;
}

bool IsFlagWord(const TCommandLine& line, int i, std::string_view word) {
  return line.IsBare(i) && EqualsNoCase(line.Value(i), word);
}

} // namespace velmo
