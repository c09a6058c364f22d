#pragma once

#include <string>
#include <string_view>

namespace velmo {

// A Shift-JIS text as UTF-8 for the transcript, with the engine's escape bytes written back in
// their backslash forms (\n, \c, \w, \(, \), \[, \], \+, \-, \x, \\, \", \$, \,). A byte that is
// not Shift-JIS shows as '?'.
std::string TranscriptText(std::string_view sjis);

} // namespace velmo
