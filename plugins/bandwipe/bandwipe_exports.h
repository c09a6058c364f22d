#pragma once

// The exports of the stripe and wipe plug-in (tag "00MX"), as functions of this build: the DLL
// exports them under these names, and the native build lists them for the headless player.
#include "plugins/common/plugin_info.h"
#include "plugins/include/velmo_plugin.h"

#include <span>

// The entry functions, for code that handles each of them alike.
#define VELMO_BANDWIPE_ENTRIES(X)                                                                                      \
  X(funcBlindH)                                                                                                        \
  X(funcBlindV)                                                                                                        \
  X(funcInterlaceH)                                                                                                    \
  X(funcInterlaceV)                                                                                                    \
  X(funcRandStripeH)                                                                                                   \
  X(funcRandStripeV)                                                                                                   \
  X(funcCheckerWipeH)                                                                                                  \
  X(funcCheckerWipeV)                                                                                                  \
  X(funcGradWipeUp)                                                                                                    \
  X(funcGradWipeDown)                                                                                                  \
  X(funcGradWipeLeft)                                                                                                  \
  X(funcGradWipeRight)

namespace velmo::bandwipe {

int VELMO_STDCALL GetPluginInfo(int infoNumber, char* buffer, int bufferLength);
int VELMO_STDCALL GetTransitionInfo(int index, EffectInfo* out);
#define VELMO_DECLARE_ENTRY(name) int VELMO_STDCALL name(void* block);
VELMO_BANDWIPE_ENTRIES(VELMO_DECLARE_ENTRY)
#undef VELMO_DECLARE_ENTRY

// The description GetPluginInfo gives as information 1.
extern const char* const Description;
// The twelve transitions as GetTransitionInfo reports them.
std::span<const plugin::EntryDescription> Transitions();
// Every export by name.
std::span<const plugin::NativePluginExport> Exports();
// Puts the state kept between calls back as a fresh load has it.
void ResetForLoad();

} // namespace velmo::bandwipe
