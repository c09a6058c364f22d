#pragma once

#include "engine/core/command_table.h"

#include <string_view>

namespace velmo {

class Engine;

// Adds @SetTitleEntry, @SetBookmarkEntry, @SaveBookmark and @LoadBookmark to the table.
void RegisterSaveCommands(CommandTable& table);

// Play restarts at a scenario entry ("file#label", JumpToEntry); an empty entry (a bookmark or a
// title entry that was never set) restarts at system\startup.scx.
void ResumeAtEntry(Engine& engine, std::string_view entry);
// The menus' return to the title: play restarts at sysTitleEntry.
void ReturnToTitle(Engine& engine);
// After the bookmark dialog loaded a bookmark: play restarts at its entry, save[3].
void ResumeLoadedBookmark(Engine& engine);

} // namespace velmo
