#pragma once

#include "engine/script/list_hash.h"
#include "engine/script/token_list.h"

#include <cstddef>
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

  int Count() const { return count; }
  // The tokens the line itself holds, command word included: 1 for a line with only a command
  // word, whose token 2 is then the empty text but no parameter. Parameters are looked for among
  // these.
  int Written() const { return written; }
  const char* Key(int i) const { return i >= 1 ? Item(2 * i - 2) : EmptyText(); }
  const char* Value(int i) const { return i >= 1 ? Item(2 * i - 1) : EmptyText(); }
  bool IsBare(int i) const { return Key(i) == Value(i); }

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

// Expands the reference at src (which points at a '$') into `out` (TListHash::ValueSize bytes)
// and returns the number of source bytes it took: the '$', the name and a closing '}'.
// Forms: $name, ${name}, $$name (the name is the value of $name) and references nested inside
// braces, as in ${save[${i}]}. A missing variable expands to "".
std::size_t ExpandReference(const char* src, const TListHash& variables, char* out);

} // namespace velmo
