/* A module that is not a plug-in: it lacks GetPluginInfo. */
#include "tests/plugins/plugin_info.h"

TEST_EXPORT int __stdcall GetTransitionInfo(int index, EffectInfo* out) {
  (void)index;
  (void)out;
  return 0;
}
