#pragma once

// The delivered plug-ins compiled into the program that uses them, for the headless player: it
// registers a plug-in's exports as a module when the game's system folder holds the .vpx file
// of that name, so that games which use the plug-ins play with their real transitions and
// filters. Each plug-in keeps its state (random numbers, particles) in this process as its DLL
// does in the engine's.
#include "plugins/common/plugin_info.h"

#include <span>
#include <string_view>

namespace velmo {

using plugin::NativePluginExport;

// The exports of the delivered plug-in whose DLL is named `fileName` (bandwipe.vpx, basicfx.vpx
// or weatherfx.vpx, compared ignoring case); empty for any other name.
std::span<const NativePluginExport> FindNativePlugin(std::string_view fileName);

// Puts every plug-in's kept state back as a fresh load of its DLL has it.
void ResetNativePlugins();

} // namespace velmo
