// @Let (also @): assignments, one operator per group, groups re-read after each assignment.
#include "engine/base/errors.h"
#include "engine/base/parse_number.h"
#include "engine/base/sjis.h"
#include "engine/commands/script_commands.h"
#include "engine/core/engine.h"
#include "engine/script/command_line.h"
#include "engine/script/script_state.h"
#include "engine/script/word_list.h"

#include <cstring>
#include <string>

namespace velmo {

namespace {

// 32-bit arithmetic that wraps instead of overflowing.
std::int32_t Wrap(std::uint32_t v) { return static_cast<std::int32_t>(v); }
std::uint32_t U(std::int32_t v) { return static_cast<std::uint32_t>(v); }

std::int32_t Divide(std::int32_t n, std::int32_t v, bool remainder) {
  if (v == 0) ThrowError(ErrDivZero, "無し");
  // The one quotient that does not fit wraps, as the rest of the arithmetic does.
  if (n == INT32_MIN && v == -1) return remainder ? 0 : INT32_MIN;
  return remainder ? n % v : n / v;
}

// Applies one assignment group. Returns false for ++ and --, which take no operand.
bool Assign(Engine& engine, const char* name, const char* op, const char* operand) {
  TListHash& vars = engine.script.variables;
  auto number = [&] { return ParseNumber(vars.GetVar(name)); };
  const std::int32_t v = ParseNumber(operand);
  if (std::strcmp(op, "++") == 0) {
    vars.SetVarNumber(name, Wrap(U(number()) + 1u));
    return false;
  }
  if (std::strcmp(op, "--") == 0) {
    vars.SetVarNumber(name, Wrap(U(number()) - 1u));
    return false;
  }
  if (std::strcmp(op, "=") == 0)
    vars.SetVarText(name, operand);
  else if (std::strcmp(op, "+=") == 0)
    vars.SetVarNumber(name, Wrap(U(number()) + U(v)));
  else if (std::strcmp(op, "-=") == 0)
    vars.SetVarNumber(name, Wrap(U(number()) - U(v)));
  else if (std::strcmp(op, "*=") == 0)
    vars.SetVarNumber(name, Wrap(U(number()) * U(v)));
  else if (std::strcmp(op, "/=") == 0)
    vars.SetVarNumber(name, Divide(number(), v, false));
  else if (std::strcmp(op, "%=") == 0)
    vars.SetVarNumber(name, Divide(number(), v, true));
  else if (std::strcmp(op, "|=") == 0)
    vars.SetVarNumber(name, number() | v);
  else if (std::strcmp(op, "&=") == 0)
    vars.SetVarNumber(name, number() & v);
  else if (std::strcmp(op, "^=") == 0)
    vars.SetVarNumber(name, number() ^ v);
  else if (std::strcmp(op, "<<=") == 0)
    vars.SetVarNumber(name, Wrap(U(number()) << (v & 31)));
  else if (std::strcmp(op, ">>=") == 0)
    vars.SetVarNumber(name, number() >> (v & 31));
  else if (EqualsNoCase(op, "=rand")) {
    if (v == 0) ThrowError(ErrDivZero, "無し");
    vars.SetVarNumber(name, engine.script.random.Next() % v);
  } else if (EqualsNoCase(op, "=abs"))
    vars.SetVarNumber(name, v < 0 ? Wrap(0u - U(v)) : v);
  else if (EqualsNoCase(op, "=sign"))
    vars.SetVarNumber(name, v > 0 ? 1 : v < 0 ? -1 : 0);
  else if (std::strcmp(op, ".=") == 0)
    vars.SetVarText(name, std::string(vars.GetVar(name)) + operand);
  else if (EqualsNoCase(op, "=strlen"))
    vars.SetVarNumber(name, static_cast<std::int32_t>(std::strlen(operand)));
  else
    ThrowError(ErrSyntax, op);
  return true;
}

} // namespace

CommandResult CmdLet(ScriptContext& ctx) {
  // A line without references reads the same after every assignment: split it once. Without TABs
  // either, substituting changes nothing, and the line's own split serves.
  const bool hasReferences = std::strchr(ctx.text, '$') != nullptr;
  TWordList items;
  if (!ChangesWhenSubstituted(ctx.text)) {
    ctx.SplitText(items);
  } else {
    items.Split(ctx.line.Substitute(ctx.text));
  }
  for (int marker = 1;;) {
    const char* first = items.Item(marker);
    if (first[0] == '\0' || first[0] == ';') break;
    const bool tookOperand = Assign(ctx.engine, items.Item(marker + 1), items.Item(marker + 2), items.Item(marker + 3));
    marker += tookOperand ? 4 : 3;
    if (hasReferences) items.Split(ctx.line.Substitute(ctx.text));
  }
  return CommandResult::Continue;
}

} // namespace velmo
