#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

namespace velmo {

class Engine;
class TCommandLine;

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
  char* generated; // TScenario::LineSize bytes for a generated line

  // Runs `command` next, as if it had been read, without reading the file or counting a line.
  CommandResult Redispatch(std::string_view command);
};

using CommandHandler = CommandResult (*)(ScriptContext&);

struct CommandSpec {
  const char* word;
  CommandHandler handler;
  // Runs whatever the conditional state (@Rem and the @if family); every other command is
  // skipped without evaluating anything while the state is not Active.
  bool runsWhenSkipping = false;
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
  const CommandSpec* Find(std::string_view word) const;
  // The handler of macro calls ("@@name" lines); without one they are syntax errors.
  void SetMacroHandler(CommandHandler handler) { macroHandler = handler; }
  CommandResult CallMacro(ScriptContext& ctx) const;

private:
  struct Entry {
    CommandGroup group;
    CommandSpec command;
  };
  struct WordHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view word) const { return std::hash<std::string_view>{}(word); }
  };
  std::unordered_map<std::string, Entry, WordHash, std::equal_to<>> entries; // by the word in lower case
  CommandHandler macroHandler = nullptr;
};

} // namespace velmo
