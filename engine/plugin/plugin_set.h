#pragma once

#include "engine/base/errors.h"
#include "engine/platform/platform.h"
#include "engine/plugin/effect_host.h"
#include "engine/plugin/plugin_list.h"

#include <vector>

namespace velmo {

// The plug-ins of one engine: the loaded modules, the transition @SetTransition chose, and the
// host that steps the pending transition or effect. The list owns the modules, so the functions
// the records point at stay valid until the engine ends.
struct PluginSet {
  explicit PluginSet(IModules& modules) : list(modules) {}

  TListPlugin list;
  EffectRecord currentTransition; // set by @SetTransition
  EffectHost host;
  // Plug-ins that could not be loaded at start-up, kept for the error log once it exists.
  std::vector<TException> loadFailures;
};

} // namespace velmo
