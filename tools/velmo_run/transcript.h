#pragma once

#include <string>
#include <string_view>

namespace velmo {

// A Shift-JIS text as UTF-8 for the transcript, with the engine's escape bytes written back in
// their backslash forms (\n, \c, \w, \(, \), \[, \], \+, \-, \x, \\, \", \$, \,). A byte that is
// not Shift-JIS shows as '?'.
std::string TranscriptText(std::string_view sjis);

// The text of a box or dialog on one transcript line: its line breaks written as \n.
std::string BoxTranscriptText(std::string_view sjis);

// A UTF-8 text given on the command line as Shift-JIS for the engine; false when a character has
// no Shift-JIS form.
bool ShiftJisFromUtf8(std::string_view utf8, std::string& sjis);

} // namespace velmo
