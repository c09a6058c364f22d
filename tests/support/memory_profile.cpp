#include "tests/support/memory_profile.h"

namespace velmo {

void MemoryProfile::Put(std::string_view section, std::string_view key, std::string_view value) {
  entries[{std::string(section), std::string(key)}] = std::string(value);
}

std::optional<std::string> MemoryProfile::Find(std::string_view section, std::string_view key) const {
  const auto found = entries.find({std::string(section), std::string(key)});
  if (found == entries.end()) return std::nullopt;
  return found->second;
}

std::int32_t MemoryProfile::GetInt(std::string_view section, std::string_view key, std::int32_t fallback) {
  const std::optional<std::string> text = Find(section, key);
  if (!text || text->empty()) return fallback;
  std::size_t i = 0;
  while (i < text->size() && ((*text)[i] == ' ' || (*text)[i] == '\t')) ++i;
  bool negative = false;
  if (i < text->size() && ((*text)[i] == '-' || (*text)[i] == '+')) negative = (*text)[i++] == '-';
  // Unsigned arithmetic wraps like the 32-bit value the profile function returns.
  std::uint32_t value = 0;
  for (; i < text->size() && (*text)[i] >= '0' && (*text)[i] <= '9'; ++i) {
    value = value * 10 + static_cast<std::uint32_t>((*text)[i] - '0');
  }
  return static_cast<std::int32_t>(negative ? 0u - value : value);
}

std::string MemoryProfile::GetString(std::string_view section, std::string_view key, std::string_view fallback) {
  const std::optional<std::string> text = Find(section, key);
  return text ? *text : std::string(fallback);
}

void MemoryProfile::SetInt(std::string_view section, std::string_view key, std::int32_t value) {
  SetString(section, key, std::to_string(value));
}

void MemoryProfile::SetString(std::string_view section, std::string_view key, std::string_view value) {
  Put(section, key, value);
  writes.push_back({std::string(section), std::string(key), std::string(value)});
}

} // namespace velmo
