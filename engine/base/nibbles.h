#pragma once

namespace velmo {

// Exchanges the two 4-bit halves of a byte: the storage form of scrambled scenario files and of
// save data.
constexpr char SwapNibbles(char c) {
  const auto b = static_cast<unsigned char>(c);
  return static_cast<char>(((b & 0x0F) << 4) | (b >> 4));
}

// SwapNibbles over a NUL-terminated text, in place.
inline void SwapNibblesString(char* text) {
  for (; *text != '\0'; ++text) *text = SwapNibbles(*text);
}

} // namespace velmo
