#include "plugins/weatherfx/weatherfx_exports.h"

#include "plugins/common/variant_block.h"

namespace velmo::weatherfx {

namespace {

constexpr plugin::EntryDescription TransitionTable[] = {
    {"SEASON_SAKURA", "funcTransition_Sakura", 100, {50, 0, 0}},
    {"SEASON_KAREHA", "funcTransition_Kareha", 100, {50, 0, 0}},
    {"SEASON_HOTARU", "funcTransition_Hotaru", 150, {20, 0, 0}},
    {"SEASON_SNOW", "funcTransition_Snow", 100, {100, 0, 0}},
    {"SEASON_RAIN", "funcTransition_Rain", 50, {50, 50, 0}},
};

template <Weather weather> int Run(void* block) {
  EffectBlock* b = plugin::BlockOf(block);
  return b != nullptr ? SharedParticles().Frame(weather, *b) : 0;
}

} // namespace

const char* const Description = "weatherfx 季節の粒子トランジション v0.91";

ParticleSystem& SharedParticles() {
  static ParticleSystem particles(LoadSpriteSheet);
  return particles;
}

int VELMO_STDCALL GetPluginInfo(int infoNumber, char* buffer, int bufferLength) {
  return plugin::CopyPluginInfo(infoNumber, VELMO_TAG_EFFECT_EX, Description, buffer, bufferLength);
}

int VELMO_STDCALL GetTransitionInfo(int index, EffectInfo* out) {
  return plugin::FillEntryInfo(TransitionTable, index, out);
}

int VELMO_STDCALL funcTransition_Sakura(void* block) { return Run<Weather::Sakura>(block); }
int VELMO_STDCALL funcTransition_Kareha(void* block) { return Run<Weather::Kareha>(block); }
int VELMO_STDCALL funcTransition_Hotaru(void* block) { return Run<Weather::Hotaru>(block); }
int VELMO_STDCALL funcTransition_Snow(void* block) { return Run<Weather::Snow>(block); }
int VELMO_STDCALL funcTransition_Rain(void* block) { return Run<Weather::Rain>(block); }

std::span<const plugin::EntryDescription> Transitions() { return TransitionTable; }

std::span<const plugin::NativePluginExport> Exports() {
#define VELMO_EXPORT_ENTRY(name) {#name, reinterpret_cast<void*>(&name)},
  static const plugin::NativePluginExport table[] = {{"GetPluginInfo", reinterpret_cast<void*>(&GetPluginInfo)},
                                                     {"GetTransitionInfo", reinterpret_cast<void*>(&GetTransitionInfo)},
                                                     VELMO_WEATHERFX_ENTRIES(VELMO_EXPORT_ENTRY)};
#undef VELMO_EXPORT_ENTRY
  return table;
}

void ResetForLoad() { SharedParticles().Reset(); }

} // namespace velmo::weatherfx
