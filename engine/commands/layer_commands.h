#pragma once

#include "engine/core/command_table.h"

namespace velmo {

// Adds the layer and screen commands (@AssignLayer ... @UpdateScreen) to the table.
void RegisterLayerCommands(CommandTable& table);

} // namespace velmo
