#pragma once

// The exports of the basic transitions and filters plug-in (tag "00MX"), as functions of this
// build: the DLL exports them under these names (with ConfigurationDlg, which shows the box
// below), and the native build lists them for the headless player.
#include "plugins/common/plugin_info.h"
#include "plugins/include/velmo_plugin.h"

#include <span>

#define VELMO_BASICFX_ENTRIES(X)                                                                                       \
  X(funcTransition_Overlap)                                                                                            \
  X(funcTransition_Kick)                                                                                               \
  X(funcTransition_Flash)                                                                                              \
  X(funcFilter_Shadow)                                                                                                 \
  X(funcFilter_MonoTone)

namespace velmo::basicfx {

int VELMO_STDCALL GetPluginInfo(int infoNumber, char* buffer, int bufferLength);
int VELMO_STDCALL GetTransitionInfo(int index, EffectInfo* out);
int VELMO_STDCALL GetFilterInfo(int index, EffectInfo* out);
#define VELMO_DECLARE_ENTRY(name) int VELMO_STDCALL name(void* block);
VELMO_BASICFX_ENTRIES(VELMO_DECLARE_ENTRY)
#undef VELMO_DECLARE_ENTRY

extern const char* const Description;
// ConfigurationDlg's message box: its caption and text, and the function numbers that show it
// (any other number returns -1 without a box).
extern const char* const AboutCaption;
extern const char* const AboutText;
inline bool ShowsAbout(int function) { return function == 0 || function == 1; }

std::span<const plugin::EntryDescription> Transitions();
std::span<const plugin::EntryDescription> Filters();
// Every export of the native build by name (ConfigurationDlg needs a window system: not there).
std::span<const plugin::NativePluginExport> Exports();
// Seeds KICK's random numbers again, as a fresh load does.
void ResetForLoad();

} // namespace velmo::basicfx
