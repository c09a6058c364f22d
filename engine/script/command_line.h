#pragma once

#include "engine/script/list_hash.h"
#include "engine/script/token_list.h"

#include <cstddef>
#include <cstring>
#include <optional>
#include <string_view>

namespace velmo {

// One scenario line split into its command word and parameter tokens, with $-references expanded
// from the variable store. Token i (1-based) keeps its key in pointer 2i-2 and its value in 2i-1;
// token 1 is the command word with an empty value. A bare token (written without '=') has key
// and value at the same pointer; a named token has two texts.
class TCommandLine : public TTokenList {
public:
  explicit TCommandLine(const TListHash& variables) : vars(variables) {}

  // Splits `line` and returns the token count, command word included (at least 2; at most 64).
  // Raises ErrSyntax for a misplaced or unclosed quote and for a malformed reference.
  int Parse(const char* line) override;

  // `line` with every reference expanded and every TAB removed, written into this object's
  // buffer (valid until the next Parse or Substitute). Leaves no tokens.
  const char* Substitute(const char* line);

  // A parsed line kept for later: what Parse split, with its counts.
  struct Parsed {
    Snapshot tokens;
    int count = 0;
    int written = 0;
  };
  void Save(Parsed& out) const {
    TTokenList::Save(out.tokens);
    out.count = count;
    out.written = written;
  }
  // Puts a line parsed before back, as if Parse had split it again.
  void Restore(const Parsed& in) {
    TTokenList::Restore(in.tokens);
    count = in.count;
    written = in.written;
  }

  int Count() const { return count; }
  // The tokens the line itself holds, command word included: 1 for a line with only a command
  // word, whose token 2 is then the empty text but no parameter. Parameters are looked for among
  // these.
  int Written() const { return written; }
  const char* Key(int i) const { return i >= 1 ? Item(2 * i - 2) : EmptyText(); }
  const char* Value(int i) const { return i >= 1 ? Item(2 * i - 1) : EmptyText(); }
  bool IsBare(int i) const { return Key(i) == Value(i); }
  // The variables references expand from.
  const TListHash& Variables() const { return vars; }

private:
  void CopyReference(const char*& p);

  const TListHash& vars;
  int count = 0;
  int written = 0;
};

// True if token i is the parameter `name` at positional slot `slot`: bare at position slot + 1
// (slot 0: the parameter can only be named), or with a key equal to `name` ignoring case.
bool IsParam(const TCommandLine& line, int i, std::string_view name, int slot);

// The value of the parameter `name` of a parsed line: the last token that either is bare and
// stands at position slot + 1 (slot 0: the parameter can only be named) or whose key equals
// `name` ignoring case. nullptr when no token matches.
const char* FindParam(const TCommandLine& line, std::string_view name, int slot);

// True if token i is bare and its text equals `word`, ignoring case.
bool IsFlagWord(const TCommandLine& line, int i, std::string_view word);

// One parameter token of a parsed line, as command handlers walk them: token `Index()`, 2 for the
// first parameter.
class ParamToken {
public:
  ParamToken(const TCommandLine& parsed, int i) : line(&parsed), index(i) {}

  int Index() const { return index; }
  const char* Key() const { return line->Key(index); }
  const char* Value() const { return line->Value(index); }
  bool Empty() const { return Value()[0] == '\0'; }
  bool IsBare() const { return line->IsBare(index); }
  // The parameter `name` at positional slot `slot` (IsParam).
  bool Is(std::string_view name, int slot = 0) const { return IsParam(*line, index, name, slot); }
  // A bare token that is `word` (IsFlagWord).
  bool IsFlag(std::string_view word) const { return IsFlagWord(*line, index, word); }

private:
  const TCommandLine* line;
  int index;
};

// The parameter tokens a line holds (2 .. Written()), in order, for a range-based for.
class ParamTokens {
public:
  class Iterator {
  public:
    Iterator(const TCommandLine& parsed, int i) : line(&parsed), index(i) {}
    ParamToken operator*() const { return ParamToken(*line, index); }
    Iterator& operator++() {
      ++index;
      return *this;
    }
    bool operator!=(const Iterator& other) const { return index != other.index; }

  private:
    const TCommandLine* line;
    int index;
  };

  explicit ParamTokens(const TCommandLine& parsed) : line(parsed) {}
  Iterator begin() const { return Iterator(line, 2); }
  Iterator end() const { return Iterator(line, line.Written() < 2 ? 2 : line.Written() + 1); }

private:
  const TCommandLine& line;
};
inline ParamTokens Params(const TCommandLine& line) { return ParamTokens(line); }

// Expands the reference at src (which points at a '$') into `out` (TListHash::ValueSize bytes)
// and returns the number of source bytes it took: the '$', the name and a closing '}'.
// Forms: $name, ${name}, $$name (the name is the value of $name) and references nested inside
// braces, as in ${save[${i}]}. A missing variable expands to "".
std::size_t ExpandReference(const char* src, const TListHash& variables, char* out);

// Whether Substitute would change `text`: it expands references and drops TABs. The text may end
// at its NUL or at its view's end (a value buffer that a plug-in filled to its last byte).
inline bool ChangesWhenSubstituted(const char* text) { return std::strpbrk(text, "$\t") != nullptr; }
inline bool ChangesWhenSubstituted(std::string_view text) {
  for (const char c : text) {
    if (c == '$' || c == '\t') return true;
  }
  return false;
}

// The expansion of `item` when it is one plain reference and nothing else ("$name": a name of
// single-byte characters without braces or further references), as Substitute would write it but
// without copying it; nullopt for any other item. The view stays valid until the variable changes.
std::optional<std::string_view> LoneReference(const char* item, const TListHash& variables);

} // namespace velmo
