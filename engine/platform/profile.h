#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmo {

// A settings file: the Windows profile functions on Win32, a map in tests.
class IProfile {
public:
  virtual ~IProfile() = default;
  // The value of a key, or `fallback` when the file, section or key is missing.
  virtual std::int32_t GetInt(std::string_view section, std::string_view key, std::int32_t fallback) = 0;
  virtual std::string GetString(std::string_view section, std::string_view key, std::string_view fallback) = 0;
  // Writes a number as "%ld" text; failures are ignored.
  virtual void SetInt(std::string_view section, std::string_view key, std::int32_t value) = 0;
  virtual void SetString(std::string_view section, std::string_view key, std::string_view value) = 0;
  // Hands cached writes to the file.
  virtual void Flush() = 0;
};

} // namespace velmo
