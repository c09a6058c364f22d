#pragma once

// The delivered plug-ins compiled into the program that uses them, for the headless player: it
// registers a plug-in's exports as a module when the game's system folder holds the .vpx or .spi
// file of that name, so that games which use the plug-ins play with their real transitions,
// filters and pictures. Each plug-in keeps its state (random numbers, particles) in this process
// as its DLL does in the engine's. The picture loader reads the files the engine names through
// the reader the program gives it (velmoimg::SetFileReader).
#include "plugins/common/plugin_info.h"
#include "plugins/velmoimg/velmoimg_native.h"

#include <span>
#include <string_view>

namespace velmo {

using plugin::NativePluginExport;

// The exports of the delivered plug-in whose DLL is named `fileName` (bandwipe.vpx, basicfx.vpx,
// weatherfx.vpx or velmoimg.spi, compared ignoring case); empty for any other name.
std::span<const NativePluginExport> FindNativePlugin(std::string_view fileName);

// Puts every plug-in's kept state back as a fresh load of its DLL has it.
void ResetNativePlugins();

} // namespace velmo
