// The bookmark commands: where play resumes (@SetTitleEntry, @SetBookmarkEntry), and writing and
// reading bookmark files (@SaveBookmark, @LoadBookmark).
#include "engine/commands/save_commands.h"

#include "engine/base/errors.h"
#include "engine/base/escapes.h"
#include "engine/base/parse_number.h"
#include "engine/base/sjis.h"
#include "engine/core/engine.h"
#include "engine/core/interpreter.h"
#include "engine/core/script_observer.h"
#include "engine/save/save_data.h"
#include "engine/script/command_line.h"
#include "engine/script/jump_target.h"
#include "engine/script/script_state.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace velmo {

namespace {

// The scenario entry that NAME stands for: NAME itself when it names a file, else the current
// scenario's file with NAME's label, or with the paragraph now running when NAME has no label
// either (NAME absent or "#"). An entry must fit a variable whole: a longer one would be cut and
// break only when play resumes there, so it is refused before anything changes.
std::string EntryFromName(const Engine& engine, const char* name) {
  const std::string written = name != nullptr ? RestoredText(name) : std::string();
  const TJumpTarget target(written.c_str());
  std::string entry = written;
  if (target.File()[0] == '\0') {
    const TScenario& scenario = engine.script.Scenario();
    entry = scenario.fileName;
    entry += '#';
    entry += target.Label()[0] != '\0' ? std::string_view(target.Label()) : std::string_view(scenario.paragraph);
  }
  if (entry.size() >= TListHash::ValueSize) ThrowError(ErrRange, entry);
  return entry;
}

// The bookmark BOOKMARK names, or, without it, the one last loaded or saved (the decimal number
// at the start of sysCurBookmark). Number 0 is the memo file and nothing below it is a file: no
// bookmark is either, and no file is touched.
std::int32_t BookmarkNumber(const Engine& engine, const TCommandLine& line) {
  const char* value = FindParam(line, "BOOKMARK", 1);
  const bool given = value != nullptr && value[0] != '\0';
  std::int32_t number = 0;
  if (given) {
    number = ParseNumber(value);
  } else {
    const long long current = std::strtoll(engine.script.variables.GetVar("sysCurBookmark"), nullptr, 10);
    number = current > 0 && current <= INT32_MAX ? static_cast<std::int32_t>(current) : 0;
  }
  if (number <= 0) ThrowError(ErrRange, given ? value : "sysCurBookmark");
  return number;
}

CommandResult CmdSetTitleEntry(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  const std::string entry = EntryFromName(engine, FindParam(ctx.line, "NAME", 1));
  engine.script.variables.SetVarText("sysTitleEntry", entry);
  if (IScriptObserver* observer = engine.Observer()) observer->OnTitleEntry(entry);
  return CommandResult::Continue;
}

CommandResult CmdSetBookmarkEntry(ScriptContext& ctx) {
  TListHash& vars = ctx.engine.script.variables;
  const std::string entry = EntryFromName(ctx.engine, FindParam(ctx.line, "NAME", 1));
  vars.SetVarText("save[3]", entry);
  const char* comment = FindParam(ctx.line, "COMMENT", 2);
  if (comment != nullptr && comment[0] != '\0') vars.SetVarText("save[2]", comment);
  for (std::int32_t k = 1; k <= SaveValueCount; ++k)
    vars.SetVarText(ValueName("__save", k), vars.GetVar(ValueName("save", k)));
  return CommandResult::Continue;
}

CommandResult CmdSaveBookmark(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  const std::int32_t number = BookmarkNumber(engine, ctx.line);
  // READONLY counts only bare and after the first parameter, which is the bookmark's number.
  bool readOnly = false;
  for (const ParamToken p : Params(ctx.line)) {
    if (p.Index() > 2 && p.IsFlag("READONLY")) readOnly = true;
  }
  if (!engine.saveData.SaveBookmark(number, readOnly ? BookmarkMark::ReadOnly : BookmarkMark::Blue)) {
    ThrowError(ErrFileIO, SaveFileName(number));
  }
  if (IScriptObserver* observer = engine.Observer()) {
    observer->OnBookmarkSaved(number, engine.script.variables.GetVar("__save[3]"));
  }
  return CommandResult::Continue;
}

CommandResult CmdLoadBookmark(ScriptContext& ctx) {
  Engine& engine = ctx.engine;
  const std::int32_t number = BookmarkNumber(engine, ctx.line);
  const char* mode = FindParam(ctx.line, "MODE", 0);
  const bool existed = engine.saveData.LoadBookmark(number);
  const std::string entry = engine.script.variables.GetVar("save[3]");
  if (IScriptObserver* observer = engine.Observer()) observer->OnBookmarkLoaded(number, entry, existed);
  if (mode == nullptr || !EqualsNoCase(mode, "RESUME")) return CommandResult::Continue;
  ResumeAtEntry(engine, entry);
  return CommandResult::Stop;
}

} // namespace

void ResumeAtEntry(Engine& engine, std::string_view entry) {
  JumpToEntry(engine, entry.empty() ? std::string_view(StartupScenario) : entry);
}

void ReturnToTitle(Engine& engine) {
  ResumeAtEntry(engine, std::string(engine.script.variables.GetVar("sysTitleEntry")));
}

void ResumeLoadedBookmark(Engine& engine) {
  ResumeAtEntry(engine, std::string(engine.script.variables.GetVar("save[3]")));
}

void RegisterSaveCommands(CommandTable& table) {
  static constexpr CommandSpec Commands[] = {
      {"@SetTitleEntry", CmdSetTitleEntry},
      {"@SetBookmarkEntry", CmdSetBookmarkEntry},
      {"@SaveBookmark", CmdSaveBookmark},
      {"@LoadBookmark", CmdLoadBookmark},
  };
  table.Add(CommandGroup::TitleSystem, Commands);
}

} // namespace velmo
