#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace velmo {

class Engine;
class TCommandLine;
class TWordList;
struct TScenarioLine;

// What a command handler did with its line.
enum class CommandResult {
  Continue,   // finished: the interpreter goes on with the next line
  Stop,       // the run stops here (a wait began, or a jump posted UM_RESUME)
  Redispatch, // the handler wrote a generated line to run in place of this one
};

// What a handler is given: the engine, the parsed line and its raw text.
struct ScriptContext {
  Engine& engine;
  TCommandLine& line;
  const char* text;
  char* generated;               // TScenario::LineSize bytes for a generated line
  TScenarioLine* kept = nullptr; // the file's kept line, when the line was read from the file

  // Runs `command` next, as if it had been read, without reading the file or counting a line.
  CommandResult Redispatch(std::string_view command);
  // `text` split into `items` as TWordList::Split splits it; a line of the file is split once.
  void SplitText(TWordList& items);
};

using CommandHandler = CommandResult (*)(ScriptContext&);

struct CommandSpec {
  const char* word;
  CommandHandler handler;
  // Runs whatever the conditional state (@Rem and the @if family); every other command is
  // skipped without evaluating anything while the state is not Active.
  bool runsWhenSkipping = false;
  // Reads its line's own text (`ScriptContext::text`) and never the split tokens: a line whose
  // split cannot fail need not be split for it.
  bool readsOwnText = false;
};

// The order in which command words are tried: earlier groups win when a word is registered twice.
enum class CommandGroup {
  Script,        // @Rem, @Let, @Wait, @Timer, @Error, @Macro, @EnableSkip, the @if family, jumps, @On
  SelectionText, // selections and text commands
  LayerScreen,   // layer and screen commands
  Media,         // sound, music, CD and movie commands
  TitleSystem,   // title, bookmark and system commands
  Mixer,         // @SetMixer
  Events,        // @OnEvent
};

// Command words and their handlers. Each subsystem adds its commands; words compare ignoring
// case.
class CommandTable {
public:
  void Add(CommandGroup group, std::span<const CommandSpec> specs);
  // The command `word` stands for (ignoring case), or nullptr.
  const CommandSpec* Find(std::string_view word) const;
  // The handler of macro calls ("@@name" lines); without one they are syntax errors.
  void SetMacroHandler(CommandHandler handler) { macroHandler = handler; }
  CommandResult CallMacro(ScriptContext& ctx) const;

private:
  // Open addressing over the words in lower case, hashed while they are lowered: a lookup reads
  // the word once. Never more than a quarter full.
  static constexpr std::size_t SlotCount = 1024;
  static constexpr std::size_t MaxWordLength = 31; // longer words are no command
  struct Slot {
    std::uint8_t length = 0; // 0: empty
    char lower[MaxWordLength];
    CommandGroup group{};
    CommandSpec command{};
  };
  std::vector<Slot> slots = std::vector<Slot>(SlotCount);
  CommandHandler macroHandler = nullptr;
};

} // namespace velmo
