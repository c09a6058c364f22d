#include "engine/platform/win32/profile_file.h"

#include <windows.h>

#include <cstdio>

namespace velmo {

namespace {

constexpr std::size_t MaxPathChars = 260;
constexpr DWORD ValueBufferBytes = 260;

} // namespace

ProfileFile::ProfileFile(std::string_view fullPath) : path(fullPath.substr(0, MaxPathChars)) {}

ProfileFile::~ProfileFile() { Flush(); }

std::int32_t ProfileFile::GetInt(std::string_view section, std::string_view key, std::int32_t fallback) {
  // The UINT result holds the signed value's bits: "-1" comes back as 0xFFFFFFFF.
  return static_cast<std::int32_t>(
      GetPrivateProfileIntA(std::string(section).c_str(), std::string(key).c_str(), fallback, path.c_str()));
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key, std::string_view fallback) {
  char buffer[ValueBufferBytes] = {};
  const DWORD length = GetPrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                                std::string(fallback).c_str(), buffer, ValueBufferBytes, path.c_str());
  return std::string(buffer, length);
}

void ProfileFile::SetInt(std::string_view section, std::string_view key, std::int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%ld", static_cast<long>(value));
  SetString(section, key, text);
}

void ProfileFile::SetString(std::string_view section, std::string_view key, std::string_view value) {
  WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(), std::string(value).c_str(),
                             path.c_str());
}

void ProfileFile::Flush() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str()); }

} // namespace velmo
