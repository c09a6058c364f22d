#pragma once

#include "engine/core/command_table.h"

namespace velmo {

// Adds @LoadSound, @PlaySound, @StopSound, @LoadMusic, @PlayMusic, @StopMusic, @PlayCD, @StopCD,
// @Voice, @LoadMovie, @PlayMovie and @StopMovie (the media group) and @SetMixer (the mixer group)
// to the table.
void RegisterMediaCommands(CommandTable& table);

} // namespace velmo
