// @if, @ElsIf, @Else and @EndIf: conditional blocks and their conditions, read strictly left to
// right with no precedence.
#include "engine/base/errors.h"
#include "engine/base/escapes.h"
#include "engine/base/format.h"
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

// An operand's text form (the item expanded) and number form (that text expanded once more). The
// text stays where it is when expanding changes nothing (or is a variable's value, for an item that
// is a lone reference), else it is kept in `copy`.
struct Operand {
  std::string_view text;
  std::int32_t number;
};
Operand Evaluate(TCommandLine& scratch, const char* item, std::string& copy) {
  if (const std::optional<std::string_view> value = LoneReference(item, scratch.Variables())) {
    if (!ChangesWhenSubstituted(*value)) return {*value, ParseNumber(*value)};
  }
  if (!ChangesWhenSubstituted(item)) return {item, ParseNumber(item)};
  copy = scratch.Substitute(item);
  const std::string_view text = copy;
  if (ChangesWhenSubstituted(copy.c_str())) return {text, ParseNumber(scratch.Substitute(copy.c_str()))};
  return {text, ParseNumber(text)};
}

// A comparison of two operand items: each is expanded to its text form, and its number form is
// that text expanded once more.
int Compare(TCommandLine& scratch, const char* left, const char* op, const char* right) {
  std::string leftCopy, rightCopy;
  const Operand l = Evaluate(scratch, left, leftCopy);
  const Operand r = Evaluate(scratch, right, rightCopy);
  const std::string_view leftText = l.text, rightText = r.text;
  const std::int32_t leftNumber = l.number, rightNumber = r.number;
  if (std::strcmp(op, "==") == 0) return leftNumber == rightNumber;
  if (std::strcmp(op, "!=") == 0 || std::strcmp(op, "<>") == 0) return leftNumber != rightNumber;
  if (std::strcmp(op, "<") == 0) return leftNumber < rightNumber;
  if (std::strcmp(op, ">") == 0) return leftNumber > rightNumber;
  if (std::strcmp(op, "<=") == 0 || std::strcmp(op, "=<") == 0) return leftNumber <= rightNumber;
  if (std::strcmp(op, ">=") == 0 || std::strcmp(op, "=>") == 0) return leftNumber >= rightNumber;
  if (EqualsNoCase(op, "eq")) return leftText == rightText;
  if (EqualsNoCase(op, "ne")) return leftText != rightText;
  ThrowError(ErrSyntax, op);
}

// Evaluates the condition of an @if or @ElsIf line and acts on it: sets the block's state at
// THEN, or jumps or returns for the one-line forms.
CommandResult EvaluateCondition(ScriptContext& ctx) {
  TScenario& scenario = *ctx.engine.script.scenario;
  TWordList items;
  ctx.SplitText(items);
  std::int32_t result = 1;
  for (int x = 1;; x += 4) {
    // Past the last item nothing can complete the condition.
    if (x > items.Count()) ThrowError(ErrSyntax, "");
    const std::string_view word = items.Item(x);
    const bool done = scenario.ifState == IfState::Done;
    if (EqualsNoCase(word, "THEN")) {
      if (!done) scenario.ifState = result != 0 ? IfState::Active : IfState::Searching;
      return CommandResult::Continue;
    }
    if (EqualsNoCase(word, "GOTO")) {
      const char* label = nullptr;
      if (!done) {
        if (result != 0)
          label = items.Item(x + 1);
        else if (EqualsNoCase(items.Item(x + 2), "ELSE"))
          label = items.Item(x + 3);
        if (label != nullptr && label[0] == '\0') ThrowError(ErrMissingParam, "無し");
      }
      // The one-line form ends the block it opened; the jump then runs in the enclosing state.
      scenario.ifState = scenario.ifStack.Pop();
      if (label == nullptr) return CommandResult::Continue;
      // A label without quotes or references reads as itself in the line "@GoTo \"label\"": it is
      // jumped to at once instead of through that line.
      const std::string_view target = label;
      if (target.size() < TScenario::NameSize && target.find('"') == std::string_view::npos &&
          target.find('$') == std::string_view::npos) {
        char restored[TScenario::NameSize];
        std::memcpy(restored, target.data(), target.size() + 1);
        return GoTo(ctx.engine, std::string_view(RestoreEscapes(restored), target.size()));
      }
      return ctx.Redispatch(FormatCommand("@GoTo \"%s\"", label));
    }
    if (EqualsNoCase(word, "RETURN")) {
      if (!done) {
        if (result != 0)
          ctx.engine.script.variables.SetVarText("exit", items.Item(x + 1));
        else if (EqualsNoCase(items.Item(x + 2), "ELSE"))
          ctx.engine.script.variables.SetVarText("exit", items.Item(x + 3));
      }
      scenario.ifState = scenario.ifStack.Pop();
      return CommandResult::Continue;
    }
    if (done) continue;
    const int comparison = Compare(ctx.line, items.Item(x + 1), items.Item(x + 2), items.Item(x + 3));
    if (word.starts_with('@'))
      result = comparison;
    else if (word == "&&" || EqualsNoCase(word, "AND"))
      result *= comparison;
    else if (word == "||" || EqualsNoCase(word, "OR"))
      result += comparison;
    else
      ThrowError(ErrSyntax, word);
  }
}

} // namespace

CommandResult CmdIf(ScriptContext& ctx) {
  TScenario& scenario = *ctx.engine.script.scenario;
  scenario.ifStack.Push(scenario.ifState);
  if (scenario.ifState != IfState::Active) scenario.ifState = IfState::Done;
  return EvaluateCondition(ctx);
}

CommandResult CmdElsIf(ScriptContext& ctx) {
  TScenario& scenario = *ctx.engine.script.scenario;
  if (scenario.ifState == IfState::Active) scenario.ifState = IfState::Done;
  return EvaluateCondition(ctx);
}

CommandResult CmdElse(ScriptContext& ctx) {
  TScenario& scenario = *ctx.engine.script.scenario;
  if (scenario.ifState == IfState::Active)
    scenario.ifState = IfState::Done;
  else if (scenario.ifState == IfState::Searching)
    scenario.ifState = IfState::Active;
  return CommandResult::Continue;
}

CommandResult CmdEndIf(ScriptContext& ctx) {
  TScenario& scenario = *ctx.engine.script.scenario;
  scenario.ifState = scenario.ifStack.Pop();
  return CommandResult::Continue;
}

} // namespace velmo
