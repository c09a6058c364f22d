#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmo {

// A Shift-JIS lead byte (0x81-0x9F, 0xE0-0xFC). The byte after it is its trail byte and belongs to
// the same character, even where it equals a quote, blank, comma, '=', '$' or backslash.
constexpr bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
constexpr bool IsLeadByte(char c) { return IsLeadByte(static_cast<unsigned char>(c)); }

// Byte length of the character that starts at text[0]: 2 for a lead byte followed by its trail
// byte, otherwise 1 (a lead byte at the very end of a text counts as a character of its own).
inline std::size_t CharLength(std::string_view text) { return text.size() >= 2 && IsLeadByte(text[0]) ? 2 : 1; }

// The longest prefix of text that is at most maxBytes long and does not end inside a two-byte character.
std::string_view CutAtCharBoundary(std::string_view text, std::size_t maxBytes);

// Compares command words, parameter names and keywords: ASCII letters ignore case, the bytes of a
// two-byte character are compared exactly.
bool EqualsNoCase(std::string_view a, std::string_view b);

// `text` with its ASCII letters in lower case and the bytes of two-byte characters as they are:
// one form for names that are equal ignoring case.
std::string FoldCase(std::string_view text);

} // namespace velmo
