#pragma once

#include "engine/core/command_table.h"

namespace velmo {

// Adds @Text, @TextFont, @TextColor, @BeginSelect, @Option, @Button and @EndSelect to the table.
void RegisterTextCommands(CommandTable& table);

} // namespace velmo
