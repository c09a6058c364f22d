#include "engine/core/command_table.h"

#include "engine/base/errors.h"
#include "engine/base/sjis.h"
#include "engine/script/command_line.h"
#include "engine/script/scenario.h"

#include <cstring>

namespace velmo {

namespace {

constexpr std::size_t MaxWordLength = 63;

// Lower-cases ASCII letters, keeping two-byte characters as they are. Returns false for a word
// too long to be a command.
bool LowerWord(std::string_view word, char* out, std::size_t& length) {
  if (word.size() > MaxWordLength) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    char c = word[i];
    if (IsLeadByte(c) && i + 1 < word.size()) {
      out[i] = c;
      out[i + 1] = word[i + 1];
      ++i;
      continue;
    }
    out[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  length = word.size();
  return true;
}

} // namespace

CommandResult ScriptContext::Redispatch(std::string_view command) {
  const std::string_view kept = CutAtCharBoundary(command, TScenario::LineSize - 1);
  std::memmove(generated, kept.data(), kept.size());
  generated[kept.size()] = '\0';
  return CommandResult::Redispatch;
}

void CommandTable::Add(CommandGroup group, std::span<const CommandSpec> specs) {
  for (const CommandSpec& command : specs) {
    char lower[MaxWordLength + 1] = {};
    std::size_t length = 0;
    if (!LowerWord(command.word, lower, length)) continue;
    auto [it, added] = entries.try_emplace(std::string(lower, length), Entry{group, command});
    if (!added && group < it->second.group) it->second = Entry{group, command};
  }
}

const CommandSpec* CommandTable::Find(std::string_view word) const {
  char lower[MaxWordLength + 1] = {};
  std::size_t length = 0;
  if (!LowerWord(word, lower, length)) return nullptr;
  auto it = entries.find(std::string_view(lower, length));
  return it != entries.end() ? &it->second.command : nullptr;
}

CommandResult CommandTable::CallMacro(ScriptContext& ctx) const {
  if (macroHandler == nullptr) ThrowError(ErrSyntax, ctx.line.Key(1));
  return macroHandler(ctx);
}

} // namespace velmo
