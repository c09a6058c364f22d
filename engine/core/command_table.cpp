#include "engine/core/command_table.h"

#include "engine/base/errors.h"
#include "engine/base/sjis.h"
#include "engine/script/command_line.h"
#include "engine/script/scenario.h"
#include "engine/script/word_list.h"

#include <cstring>

namespace velmo {

namespace {

// Lower-cases ASCII letters of `word` into `out` (two-byte characters stay as they are) and returns
// the FNV-1a hash of what it wrote; false for a word too long to be a command.
bool LowerWord(std::string_view word, char* out, std::size_t capacity, std::uint32_t& hash) {
  if (word.empty() || word.size() > capacity) return false;
  std::uint32_t h = 2166136261u;
  for (std::size_t i = 0; i < word.size(); ++i) {
    char c = word[i];
    if (IsLeadByte(c) && i + 1 < word.size()) {
      out[i] = c;
      h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
      c = word[++i];
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
    out[i] = c;
    h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  }
  hash = h;
  return true;
}

} // namespace

CommandResult ScriptContext::Redispatch(std::string_view command) {
  const std::string_view cut = CutAtCharBoundary(command, TScenario::LineSize - 1);
  std::memmove(generated, cut.data(), cut.size());
  generated[cut.size()] = '\0';
  return CommandResult::Redispatch;
}

void ScriptContext::SplitText(TWordList& items) {
  if (kept != nullptr && kept->wordsKnown) {
    items.Restore(kept->words);
    return;
  }
  items.Split(text);
  if (kept != nullptr) {
    items.Save(kept->words);
    kept->wordsKnown = true;
  }
}

void CommandTable::Add(CommandGroup group, std::span<const CommandSpec> specs) {
  for (const CommandSpec& command : specs) {
    char lower[MaxWordLength];
    std::uint32_t hash = 0;
    if (!LowerWord(command.word, lower, MaxWordLength, hash)) continue;
    const std::size_t length = std::strlen(command.word);
    for (std::size_t i = hash & (SlotCount - 1);; i = (i + 1) & (SlotCount - 1)) {
      Slot& slot = slots[i];
      if (slot.length == 0) {
        slot.length = static_cast<std::uint8_t>(length);
        std::memcpy(slot.lower, lower, length);
        slot.group = group;
        slot.command = command;
        break;
      }
      if (slot.length == length && std::memcmp(slot.lower, lower, length) == 0) {
        // A word registered twice: the earlier group wins.
        if (group < slot.group) {
          slot.group = group;
          slot.command = command;
        }
        break;
      }
    }
  }
}

const CommandSpec* CommandTable::Find(std::string_view word) const {
  char lower[MaxWordLength];
  std::uint32_t hash = 0;
  if (!LowerWord(word, lower, MaxWordLength, hash)) return nullptr;
  for (std::size_t i = hash & (SlotCount - 1);; i = (i + 1) & (SlotCount - 1)) {
    const Slot& slot = slots[i];
    if (slot.length == 0) return nullptr;
    if (slot.length == word.size() && std::memcmp(slot.lower, lower, word.size()) == 0) return &slot.command;
  }
}

CommandResult CommandTable::CallMacro(ScriptContext& ctx) const {
  if (macroHandler == nullptr) ThrowError(ErrSyntax, ctx.line.Key(1));
  return macroHandler(ctx);
}

} // namespace velmo
