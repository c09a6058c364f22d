#pragma once

// Two effect plug-ins made of functions in the test program, for the layer and screen tests.
//   "fx.vpx" (tag "00ME"):
//     filter INVERT      parameters 100 + i (i = 0..62); replaces every byte b of the surface
//                        it is given with 255 - b;
//     transition SWEEP   interval 45 ms, parameters 200 + i; asks for more while its counter is
//                        below 2;
//     effect SHAKE       interval 20 ms, parameters 300 + i; paints the screen 0x5A while its
//                        counter is below 3 and asks for more until then.
//   "fxv.vpx" (tag "00MX"):
//     filter DIM         parameters 400 + i; takes the variant block and halves every byte.
// Every call is recorded in fakeEffectCalls.
#include "engine/platform/headless/headless_platform.h"
#include "engine/plugin/plugin_list.h"
#include "plugins/include/velmo_plugin.h"

#include <cstdint>
#include <vector>

namespace velmo {

struct FakeEffectCalls {
  std::vector<EffectBlock> invert; // the block of each INVERT call, as it was passed
  std::vector<EffectBlockEx> dim;
  std::vector<std::int64_t> sweepCounters;
  std::vector<std::int64_t> shakeCounters;
  std::vector<EffectBlock> shake;
};
extern FakeEffectCalls fakeEffectCalls;

// Registers both modules, loads them into `plugins` and clears the record.
void AddFakeEffectPlugins(TListPlugin& plugins, HeadlessModules& modules);

} // namespace velmo
