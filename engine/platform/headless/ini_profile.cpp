#include "engine/platform/headless/ini_profile.h"

#include <string>

namespace velmo {

namespace {

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

} // namespace

std::string IniProfile::Name(std::string_view section, std::string_view key) {
  return Lower(Trim(section)) + "\n" + Lower(Trim(key));
}

IniProfile::IniProfile(std::string_view text) {
  std::string section;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      section = std::string(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    values.emplace(Name(section, line.substr(0, equals)), std::string(Trim(line.substr(equals + 1))));
  }
}

std::int32_t IniProfile::GetInt(std::string_view section, std::string_view key, std::int32_t fallback) {
  auto it = values.find(Name(section, key));
  if (it == values.end() || it->second.empty()) return fallback;
  // Leading digits with an optional sign; anything else reads as 0.
  const std::string& text = it->second;
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative || (!text.empty() && text[0] == '+')) ++i;
  std::uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
  return static_cast<std::int32_t>(negative ? 0u - value : value);
}

std::string IniProfile::GetString(std::string_view section, std::string_view key, std::string_view fallback) {
  auto it = values.find(Name(section, key));
  return it == values.end() ? std::string(fallback) : it->second;
}

void IniProfile::SetInt(std::string_view section, std::string_view key, std::int32_t value) {
  values[Name(section, key)] = std::to_string(value);
}

void IniProfile::SetString(std::string_view section, std::string_view key, std::string_view value) {
  values[Name(section, key)] = std::string(value);
}

} // namespace velmo
