#include "engine/platform/win32/registry_key.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <random>
#include <string>

namespace velmo {
namespace {

// A key of its own below HKEY_CURRENT_USER for each test, removed with everything below it.
class RegistryKeyTest : public ::testing::Test {
protected:
  RegistryKeyTest() {
    std::random_device device;
    base = "Software\\velmo-tests\\" + std::to_string((static_cast<std::uint64_t>(device()) << 32) ^ device());
  }
  ~RegistryKeyTest() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, base.c_str());
  }

  bool KeyExists(const std::string& path) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  // Stores a string value (nullptr name: the default value), creating the key as needed.
  void SetValue(const std::string& path, const char* name, const std::string& text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }

  std::string base;
};

TEST_F(RegistryKeyTest, MissingKeyIsCreatedAndGivesTheFallback) {
  ASSERT_FALSE(KeyExists(base + "\\InstallRoot"));
  const RegistryKey key(HKEY_CURRENT_USER, base);
  EXPECT_EQ(key.ReadString("InstallRoot", nullptr, "C:\\fallback"), "C:\\fallback");
  EXPECT_TRUE(KeyExists(base + "\\InstallRoot"));
}

TEST_F(RegistryKeyTest, ReadsANamedValue) {
  SetValue(base + "\\InstallRoot", "Path", "C:\\Program Files\\\x95\x5C");
  const RegistryKey key(HKEY_CURRENT_USER, base);
  EXPECT_EQ(key.ReadString("InstallRoot", "Path", "none"), "C:\\Program Files\\\x95\x5C");
}

TEST_F(RegistryKeyTest, NullNameReadsTheDefaultValue) {
  SetValue(base + "\\InstallRoot", nullptr, "C:\\Viewer");
  SetValue(base + "\\InstallRoot", "Other", "C:\\Other");
  const RegistryKey key(HKEY_CURRENT_USER, base);
  EXPECT_EQ(key.ReadString("InstallRoot", nullptr, "none"), "C:\\Viewer");
}

TEST_F(RegistryKeyTest, EmptySubPathReadsTheBaseKey) {
  SetValue(base, "Path", "base value");
  SetValue(base + "\\Sub", "Path", "sub value");
  const RegistryKey key(HKEY_CURRENT_USER, base);
  EXPECT_EQ(key.ReadString("", "Path", "none"), "base value");
  EXPECT_EQ(key.ReadString("Sub", "Path", "none"), "sub value");
}

TEST_F(RegistryKeyTest, MissingValueOfAnExistingKeyGivesTheFallback) {
  SetValue(base + "\\InstallRoot", "Path", "C:\\Viewer");
  const RegistryKey key(HKEY_CURRENT_USER, base);
  EXPECT_EQ(key.ReadString("InstallRoot", "Missing", "fallback"), "fallback");
  EXPECT_EQ(key.ReadString("InstallRoot", nullptr, "no default"), "no default");
}

TEST_F(RegistryKeyTest, ValueTooLongForTheBufferGivesTheFallback) {
  SetValue(base, "Fits", std::string(259, 'x'));
  SetValue(base, "TooLong", std::string(260, 'x'));
  const RegistryKey key(HKEY_CURRENT_USER, base);
  EXPECT_EQ(key.ReadString("", "Fits", "fallback"), std::string(259, 'x'));
  EXPECT_EQ(key.ReadString("", "TooLong", "fallback"), "fallback");
}

} // namespace
} // namespace velmo
