#pragma once

#include "engine/core/command_table.h"

namespace velmo {

// Adds @SetWindow, @EnableMenu, @CallDialog, @ShellExec and @UserProc to the table.
void RegisterSystemCommands(CommandTable& table);

} // namespace velmo
