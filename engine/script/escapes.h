#pragma once

namespace velmo {

// Control bytes into which the line reader turns backslash escapes. They pass every splitter as
// ordinary characters, so an escaped quote, comma or dollar never quotes, separates or refers.
constexpr char EscBackslash = 0x0B; // written \\ .
constexpr char EscQuote = 0x0C;     // written \" .
constexpr char EscDollar = 0x0D;    // written \$ .
constexpr char EscComma = 0x0E;     // written \, .

// In place: turns EscBackslash back into '\' and EscDollar into '$', so that file names and
// labels can hold them. Every other byte stays.
char* RestoreEscapes(char* text);

} // namespace velmo
