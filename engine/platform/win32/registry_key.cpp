#include "engine/platform/win32/registry_key.h"

#include <cstring>

namespace velmo {

namespace {

constexpr std::size_t MaxPathChars = 260;
constexpr DWORD ValueBufferBytes = 260;

// Closes an opened or created key when it goes out of scope.
class OpenKey {
public:
  OpenKey() = default;
  ~OpenKey() {
    if (handle) RegCloseKey(handle);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;

  HKEY handle = nullptr;
};

} // namespace

RegistryKey::RegistryKey(HKEY rootKey, std::string_view base) : root(rootKey), basePath(base.substr(0, MaxPathChars)) {}

std::string RegistryKey::ReadString(std::string_view subPath, const char* valueName, std::string_view fallback) const {
  const std::string path = subPath.empty() ? basePath : basePath + "\\" + std::string(subPath);

  OpenKey key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key.handle) != ERROR_SUCCESS) {
    key.handle = nullptr;
    char emptyClass[] = "";
    if (RegCreateKeyExA(root, path.c_str(), 0, emptyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key.handle, nullptr) != ERROR_SUCCESS) {
      key.handle = nullptr;
    }
  }

  // One byte more than the value may fill, so the text always ends in a zero even when the stored
  // data has none.
  char buffer[ValueBufferBytes + 1] = {};
  DWORD size = ValueBufferBytes;
  if (!key.handle || RegQueryValueExA(key.handle, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                                      &size) != ERROR_SUCCESS) {
    return std::string(fallback);
  }
  return std::string(buffer, strnlen(buffer, size));
}

} // namespace velmo
