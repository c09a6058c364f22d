#pragma once

#include <cstdint>
#include <string_view>

namespace velmo {

// The language's one text-to-number conversion, never an error:
// "0x1F" -> 31 and "0b101" -> 5 (any stray character makes either 0), "TRUE"/"FALSE" in any case
// -> 1/0, otherwise a decimal number after leading white space with an optional sign, read up to
// the first non-digit ("12abc" -> 12, "abc" -> 0). Overflow wraps in 32 bits.
std::int32_t ParseNumber(std::string_view text);

} // namespace velmo
