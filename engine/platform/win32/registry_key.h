#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace velmo {

// Reads string values below one registry key. Reading a key that does not exist creates it (empty),
// and every failure yields the caller's fallback text.
class RegistryKey {
public:
  // `rootKey` is a predefined key such as HKEY_LOCAL_MACHINE, which the object does not own;
  // `base` longer than 260 characters is cut.
  RegistryKey(HKEY rootKey, std::string_view base);

  // The value `valueName` (nullptr: the key's default value) of the key base\subPath (the base
  // itself when subPath is empty); `fallback` when it cannot be read, including a value that does
  // not fit 260 bytes with its terminating zero.
  std::string ReadString(std::string_view subPath, const char* valueName, std::string_view fallback) const;

private:
  HKEY root;
  std::string basePath;
};

} // namespace velmo
