#pragma once

#include "engine/core/command_table.h"

namespace velmo {

// The engine's whole command language: the script's own commands, the text and selection
// commands and the layer and screen commands, in their dispatch order. Made once, never changed
// afterwards, and shared by every engine of the process.
const CommandTable& StandardCommands();

} // namespace velmo
