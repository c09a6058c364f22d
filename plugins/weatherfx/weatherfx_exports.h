#pragma once

// The exports of the particle transitions plug-in (tag "00MX"), as functions of this build: the
// DLL exports them under these names, and the native build lists them for the headless player.
#include "plugins/common/plugin_info.h"
#include "plugins/include/velmo_plugin.h"
#include "plugins/weatherfx/sprite_sheet.h"
#include "plugins/weatherfx/weatherfx.h"

#include <span>

#define VELMO_WEATHERFX_ENTRIES(X)                                                                                     \
  X(funcTransition_Sakura)                                                                                             \
  X(funcTransition_Kareha)                                                                                             \
  X(funcTransition_Hotaru)                                                                                             \
  X(funcTransition_Snow)                                                                                               \
  X(funcTransition_Rain)

namespace velmo::weatherfx {

int VELMO_STDCALL GetPluginInfo(int infoNumber, char* buffer, int bufferLength);
int VELMO_STDCALL GetTransitionInfo(int index, EffectInfo* out);
#define VELMO_DECLARE_ENTRY(name) int VELMO_STDCALL name(void* block);
VELMO_WEATHERFX_ENTRIES(VELMO_DECLARE_ENTRY)
#undef VELMO_DECLARE_ENTRY

extern const char* const Description;
std::span<const plugin::EntryDescription> Transitions();
std::span<const plugin::NativePluginExport> Exports();
// The shared particles and sheet of this build's exports.
ParticleSystem& SharedParticles();
void ResetForLoad();

// Where this build's sheets come from: the DLL's bitmap resources (weatherfx_dll.cpp), or the
// artwork drawn in memory (sheet_source_native.cpp, in the native library).
SpriteSheet LoadSpriteSheet(int resourceId);

} // namespace velmo::weatherfx
