#pragma once

#include <string>
#include <string_view>

namespace velmo {

// printf-style formatting into a string of any length.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The line formatted from a pattern with one "%s", as "@GoTo \"%s\"" with a label: the text goes
// in its place as it is (a '%' in it stays).
std::string FormatCommand(const char* pattern, std::string_view text);

} // namespace velmo
