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

// The decimal number of the digits `text` begins with, up to the first byte that is not one; it
// wraps at 32 bits.
std::uint32_t DecimalDigits(std::string_view text) {
  std::uint32_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10u + static_cast<std::uint32_t>(c - '0');
  }
  return value;
}

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

} // namespace

std::int32_t ParseNumber(std::string_view text) {
  // The common case first: a number without prefix, blanks or sign.
  if (!text.empty() && text[0] >= '1' && text[0] <= '9') return static_cast<std::int32_t>(DecimalDigits(text));
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
  std::uint32_t value = DecimalDigits(text.substr(i));
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

} // namespace velmo
