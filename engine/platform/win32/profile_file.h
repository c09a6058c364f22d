#pragma once

#include "engine/platform/profile.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmo {

// A settings file read and written through the Windows profile functions, which cache writes and
// report no failures: a missing file, section or key reads as the fallback, a failed write is
// lost. Texts are code page 932 bytes, passed to the "A" functions as they are.
class ProfileFile : public IProfile {
public:
  // `fullPath` is the file's full path; longer than 260 characters it is cut.
  explicit ProfileFile(std::string_view fullPath);
  // Flushes, so the file is complete once the accessor is gone.
  ~ProfileFile() override;
  ProfileFile(const ProfileFile&) = delete;
  ProfileFile& operator=(const ProfileFile&) = delete;

  std::int32_t GetInt(std::string_view section, std::string_view key, std::int32_t fallback) override;
  // At most 259 bytes of the value (the profile function's 260-byte buffer).
  std::string GetString(std::string_view section, std::string_view key, std::string_view fallback) override;
  void SetInt(std::string_view section, std::string_view key, std::int32_t value) override;
  void SetString(std::string_view section, std::string_view key, std::string_view value) override;
  void Flush() override;

  const std::string& Path() const { return path; }

private:
  std::string path;
};

} // namespace velmo
