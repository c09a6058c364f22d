#include "plugins/common/plugin_info.h"

#include <cstring>

namespace velmo::plugin {

int CopyPluginInfo(int infoNumber, const char* tag, const char* description, char* buffer, int bufferLength) {
  return CopyInfoText(infoNumber == 0 ? tag : infoNumber == 1 ? description : nullptr, buffer, bufferLength);
}

int CopyInfoText(const char* text, char* buffer, int bufferLength) {
  if (text == nullptr || buffer == nullptr || bufferLength <= 0) return 0;
  std::size_t length = std::strlen(text);
  if (length > static_cast<std::size_t>(bufferLength) - 1) length = static_cast<std::size_t>(bufferLength) - 1;
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

int FillEntryInfo(std::span<const EntryDescription> entries, int index, EffectInfo* out) {
  if (out == nullptr || index < 0 || static_cast<std::size_t>(index) >= entries.size()) return 0;
  const EntryDescription& entry = entries[static_cast<std::size_t>(index)];
  std::memset(out, 0, sizeof *out);
  out->name = entry.name;
  out->functionName = entry.functionName;
  out->intervalMs = entry.intervalMs;
  for (int i = 0; i < 3; ++i) out->params[i] = entry.params[i];
  return 1;
}

} // namespace velmo::plugin
