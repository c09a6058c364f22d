#include "plugins/basicfx/basicfx_exports.h"

#include "plugins/basicfx/basicfx.h"
#include "plugins/common/classic_random.h"
#include "plugins/common/variant_block.h"

namespace velmo::basicfx {

namespace {

constexpr plugin::EntryDescription TransitionTable[] = {
    {"OVERLAP", "funcTransition_Overlap", 50, {0, 0, 0}},
    {"KICK", "funcTransition_Kick", 50, {5, 20, 0}},
    {"FLASH", "funcTransition_Flash", 50, {5, 0, 0}},
};

constexpr plugin::EntryDescription FilterTable[] = {
    {"SHADOW", "funcFilter_Shadow", 0, {0, 0, 0}},
    {"MONOTONE", "funcFilter_MonoTone", 0, {0, 0, 0}},
};

// KICK's generator, seeded when the plug-in is loaded.
plugin::ClassicRandom random;

template <int (*Entry)(EffectBlock&)> int Run(void* block) {
  EffectBlock* b = plugin::BlockOf(block);
  return b != nullptr ? Entry(*b) : 0;
}

int Kick(EffectBlock& block) { return KickFrame(block, random); }

} // namespace

const char* const Description = "basicfx 基本トランジション＆フィルタ v1.20";
const char* const AboutCaption = "basicfx.vpl";
const char* const AboutText = "basicfx.vpl / 基本トランジション＆フィルタ v1.20\n"
                              "\n"
                              "作成： velmo 開発チーム";

int VELMO_STDCALL GetPluginInfo(int infoNumber, char* buffer, int bufferLength) {
  return plugin::CopyPluginInfo(infoNumber, VELMO_TAG_EFFECT_EX, Description, buffer, bufferLength);
}

int VELMO_STDCALL GetTransitionInfo(int index, EffectInfo* out) {
  return plugin::FillEntryInfo(TransitionTable, index, out);
}

int VELMO_STDCALL GetFilterInfo(int index, EffectInfo* out) { return plugin::FillEntryInfo(FilterTable, index, out); }

int VELMO_STDCALL funcTransition_Overlap(void* block) { return Run<OverlapFrame>(block); }
int VELMO_STDCALL funcTransition_Kick(void* block) { return Run<Kick>(block); }
int VELMO_STDCALL funcTransition_Flash(void* block) { return Run<FlashFrame>(block); }
int VELMO_STDCALL funcFilter_Shadow(void* block) { return Run<ShadowFilter>(block); }
int VELMO_STDCALL funcFilter_MonoTone(void* block) { return Run<MonoToneFilter>(block); }

std::span<const plugin::EntryDescription> Transitions() { return TransitionTable; }
std::span<const plugin::EntryDescription> Filters() { return FilterTable; }

std::span<const plugin::NativePluginExport> Exports() {
#define VELMO_EXPORT_ENTRY(name) {#name, reinterpret_cast<void*>(&name)},
  static const plugin::NativePluginExport table[] = {{"GetPluginInfo", reinterpret_cast<void*>(&GetPluginInfo)},
                                                     {"GetTransitionInfo", reinterpret_cast<void*>(&GetTransitionInfo)},
                                                     {"GetFilterInfo", reinterpret_cast<void*>(&GetFilterInfo)},
                                                     VELMO_BASICFX_ENTRIES(VELMO_EXPORT_ENTRY)};
#undef VELMO_EXPORT_ENTRY
  return table;
}

void ResetForLoad() { random.Seed(plugin::ClassicRandom::LoadSeed); }

} // namespace velmo::basicfx
