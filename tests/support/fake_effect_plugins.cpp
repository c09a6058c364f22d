#include "tests/support/fake_effect_plugins.h"

#include "engine/platform/surface.h"

#include <cstring>

namespace velmo {

FakeEffectCalls fakeEffectCalls;

namespace {

int CopyTag(const char* tag, int number, char* buffer, int length) {
  if (number != 0 || length < 5) return 0;
  std::memcpy(buffer, tag, 5);
  return 4;
}
int VELMO_STDCALL TagEffect(int number, char* buffer, int length) { return CopyTag("00ME", number, buffer, length); }
int VELMO_STDCALL TagVariant(int number, char* buffer, int length) { return CopyTag("00MX", number, buffer, length); }

int Entry(EffectInfo* out, const char* name, const char* function, int intervalMs, int firstParam) {
  out->name = name;
  out->functionName = function;
  out->intervalMs = intervalMs;
  for (int i = 0; i < VELMO_PARAM_COUNT; ++i) out->params[i] = firstParam + i;
  return 1;
}
int VELMO_STDCALL Filters(int index, EffectInfo* out) {
  return index == 0 ? Entry(out, "INVERT", "Invert", 0, 100) : 0;
}
int VELMO_STDCALL Transitions(int index, EffectInfo* out) {
  return index == 0 ? Entry(out, "SWEEP", "Sweep", 45, 200) : 0;
}
int VELMO_STDCALL Effects(int index, EffectInfo* out) { return index == 0 ? Entry(out, "SHAKE", "Shake", 20, 300) : 0; }
int VELMO_STDCALL VariantFilters(int index, EffectInfo* out) {
  return index == 0 ? Entry(out, "DIM", "Dim", 0, 400) : 0;
}

int VELMO_STDCALL Invert(void* argument) {
  auto* block = static_cast<EffectBlock*>(argument);
  fakeEffectCalls.invert.push_back(*block);
  for (std::size_t i = 0; i < TSurface::Size; ++i)
    block->screenPixels[i] = static_cast<std::uint8_t>(255 - block->screenPixels[i]);
  return 0;
}
int VELMO_STDCALL Dim(void* argument) {
  auto* block = static_cast<EffectBlockEx*>(argument);
  fakeEffectCalls.dim.push_back(*block);
  for (std::size_t i = 0; i < TSurface::Size; ++i) block->block.screenPixels[i] /= 2;
  return 0;
}
int VELMO_STDCALL Sweep(void* argument) {
  const auto* block = static_cast<EffectBlock*>(argument);
  fakeEffectCalls.sweepCounters.push_back(block->frameCounter);
  return block->frameCounter < 2 ? 1 : 0;
}
int VELMO_STDCALL Shake(void* argument) {
  auto* block = static_cast<EffectBlock*>(argument);
  fakeEffectCalls.shake.push_back(*block);
  fakeEffectCalls.shakeCounters.push_back(block->frameCounter);
  if (block->frameCounter >= 3) return 0;
  std::memset(block->screenPixels, 0x5A, TSurface::Size);
  return 1;
}

template <typename F> void* Address(F function) { return reinterpret_cast<void*>(function); }

} // namespace

void AddFakeEffectPlugins(TListPlugin& plugins, HeadlessModules& modules) {
  fakeEffectCalls = FakeEffectCalls{};
  auto& fx = modules.modules["fx.vpx"].exports;
  fx["GetPluginInfo"] = Address(TagEffect);
  fx["GetFilterInfo"] = Address(Filters);
  fx["GetTransitionInfo"] = Address(Transitions);
  fx["GetEffectInfo"] = Address(Effects);
  fx["Invert"] = Address(Invert);
  fx["Sweep"] = Address(Sweep);
  fx["Shake"] = Address(Shake);
  auto& fxv = modules.modules["fxv.vpx"].exports;
  fxv["GetPluginInfo"] = Address(TagVariant);
  fxv["GetFilterInfo"] = Address(VariantFilters);
  fxv["Dim"] = Address(Dim);
  plugins.Add("system", "fx.vpx");
  plugins.Add("system", "fxv.vpx");
}

} // namespace velmo
