#include "engine/script/jump_target.h"

namespace velmo {

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
} // namespace

int TJumpTarget::Parse(const char* location) {
  Reset();
  const char* p = location;
  while (IsBlank(*p)) ++p;
  Point(1, WritePosition());
  while (*p != '\0' && !IsBlank(*p) && *p != '#') p += PutChar(p);
  Terminate();
  while (*p == '#' || IsBlank(*p)) ++p;
  Point(2, WritePosition());
  while (*p != '\0' && !IsBlank(*p)) p += PutChar(p);
  Terminate();
  return 2;
}

std::optional<std::string_view> TJumpTarget::LabelOfThisFile(std::string_view location) {
  if (!location.starts_with('#')) return std::nullopt;
  std::size_t start = 0;
  while (start < location.size() && (location[start] == '#' || IsBlank(location[start]))) ++start;
  std::size_t end = start;
  while (end < location.size() && !IsBlank(location[end])) {
    // A two-byte character is taken whole, whatever its second byte.
    end += IsLeadByte(location[end]) && end + 1 < location.size() ? 2u : 1u;
  }
  return location.substr(start, end - start);
}

} // namespace velmo
