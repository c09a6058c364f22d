#pragma once

// The information exports every delivered plug-in has: GetPluginInfo's texts and the entry
// tables behind GetTransitionInfo and GetFilterInfo.
#include "plugins/include/velmo_plugin.h"

#include <cstdint>
#include <span>

namespace velmo::plugin {

// One entry of a plug-in: what its info export reports. Parameters beyond the three are 0.
struct EntryDescription {
  const char* name;
  const char* functionName;
  std::int32_t intervalMs;
  std::int32_t params[3];
};

// Copies `text` as lstrcpynA copies it, cut to length - 1 bytes and ended with a NUL; the result
// is the bytes copied before the NUL. No text, no buffer or a length of 0 or less gives 0.
int CopyInfoText(const char* text, char* buffer, int bufferLength);

// GetPluginInfo: information 0 is the tag, 1 the description, copied with CopyInfoText. Any other
// number gives 0.
int CopyPluginInfo(int infoNumber, const char* tag, const char* description, char* buffer, int bufferLength);

// An info export: fills all of `out` (unlisted parameters 0) from entry `index` of `entries` and
// returns 1; 0 for an index outside the table or no record.
int FillEntryInfo(std::span<const EntryDescription> entries, int index, EffectInfo* out);

// A name a native build of a plug-in exports, with the function's address.
struct NativePluginExport {
  const char* name;
  void* address;
};

} // namespace velmo::plugin
