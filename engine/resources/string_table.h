#pragma once

#include <cstdint>

namespace velmo {

// The program's string table: the descriptions of script errors (ids 100-199) and of picture
// plug-in result codes (ids 0-8 and 65535), as Shift-JIS texts. An id without a text gives "".
const char* LoadStringText(std::uint32_t id);

} // namespace velmo
