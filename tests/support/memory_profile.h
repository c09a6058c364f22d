#pragma once

#include "engine/core/settings.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmo {

// A settings file in memory. Values are text, as in the file; numbers read back the way the
// Windows profile functions read them. Every write is also recorded in order.
class MemoryProfile : public IProfile {
public:
  struct Write {
    std::string section;
    std::string key;
    std::string value;
    bool operator==(const Write&) const = default;
  };

  // Puts a line into the "file" without recording it as a write.
  void Put(std::string_view section, std::string_view key, std::string_view value);
  // The text stored for a key, if any.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  // Missing key or empty text: fallback. Otherwise leading blanks, an optional sign and the
  // digits that follow (0 when there are none).
  std::int32_t GetInt(std::string_view section, std::string_view key, std::int32_t fallback) override;
  std::string GetString(std::string_view section, std::string_view key, std::string_view fallback) override;
  void SetInt(std::string_view section, std::string_view key, std::int32_t value) override;
  void SetString(std::string_view section, std::string_view key, std::string_view value) override;
  void Flush() override { ++flushCount; }

  std::map<std::pair<std::string, std::string>, std::string> entries;
  std::vector<Write> writes;
  int flushCount = 0;
};

} // namespace velmo
