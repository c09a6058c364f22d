#include "engine/base/escapes.h"

namespace velmo {

char* RestoreEscapes(char* text) {
  // Escape bytes are below every trail byte (0x40-0xFC), so no character is split here.
  for (char* p = text; *p != '\0'; ++p) {
    if (*p == EscBackslash)
      *p = '\\';
    else if (*p == EscDollar)
      *p = '$';
  }
  return text;
}

std::string RestoredText(const char* text) {
  std::string restored(text);
  RestoreEscapes(restored.data());
  return restored;
}

} // namespace velmo
