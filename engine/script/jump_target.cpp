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

} // namespace velmo
