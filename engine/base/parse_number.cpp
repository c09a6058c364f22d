#include "engine/base/parse_number.h"

#include "engine/base/sjis.h"

namespace velmo {

namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// Digits of the given base after a 0x/0b prefix; any other character makes the result 0.
std::int32_t ParsePrefixed(std::string_view digits, int base) {
  std::uint32_t value = 0;
  for (char c : digits) {
    const int d = DigitValue(c);
    if (d >= base) return 0;
    value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(d);
  }
  return static_cast<std::int32_t>(value);
}

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

} // namespace

std::int32_t ParseNumber(std::string_view text) {
  if (text.size() >= 2 && text[0] == '0') {
    if (text[1] == 'x' || text[1] == 'X') return ParsePrefixed(text.substr(2), 16);
    if (text[1] == 'b' || text[1] == 'B') return ParsePrefixed(text.substr(2), 2);
  }
  if (text.size() == 4 && EqualsNoCase(text, "TRUE")) return 1;
  if (text.size() == 5 && EqualsNoCase(text, "FALSE")) return 0;

  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

} // namespace velmo
