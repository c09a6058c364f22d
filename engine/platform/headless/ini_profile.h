#pragma once

#include "engine/platform/profile.h"

#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace velmo {

// A settings file read from its text, for velmo-run: "[section]" lines and "key=value" lines,
// names compared ignoring case and blanks around them trimmed, as the Windows profile functions
// read them. Writes are kept in memory only.
class IniProfile : public IProfile {
public:
  explicit IniProfile(std::string_view text);

  std::int32_t GetInt(std::string_view section, std::string_view key, std::int32_t fallback) override;
  std::string GetString(std::string_view section, std::string_view key, std::string_view fallback) override;
  void SetInt(std::string_view section, std::string_view key, std::int32_t value) override;
  void SetString(std::string_view section, std::string_view key, std::string_view value) override;
  void Flush() override {}

private:
  static std::string Name(std::string_view section, std::string_view key);
  std::map<std::string, std::string> values; // "section\nkey" in lower case -> value
};

} // namespace velmo
