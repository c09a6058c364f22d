#pragma once

#include <cstdint>
#include <string_view>

namespace velmo {

// FNV-1a over the bytes of a name: cheap for the short names scripts use (variables, labels), and
// it spreads numbered names such as "save[1]".."save[256]" well. The indexes that use it keep
// nothing a script can see in hash order.
inline std::uint32_t NameHash(std::string_view name) {
  std::uint32_t h = 2166136261u;
  for (const char c : name) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  return h;
}

} // namespace velmo
