#pragma once

#include <string>

namespace velmo {

// Control bytes into which the line reader turns backslash escapes. They pass every splitter as
// ordinary characters, so an escaped quote, comma or dollar never quotes, separates or refers.
// The message window gives the first ten their meaning in message text.
constexpr char EscNewLine = 0x01;    // written \n or \/ .
constexpr char EscClearPage = 0x02;  // written \c or \* .
constexpr char EscWait = 0x03;       // written \w or \% .
constexpr char EscInstantOn = 0x04;  // written \( .
constexpr char EscInstantOff = 0x05; // written \) .
constexpr char EscIndentPush = 0x06; // written \[ .
constexpr char EscIndentPop = 0x07;  // written \] .
constexpr char EscHang = 0x08;       // written \+ .
constexpr char EscNoHangDash = 0x09; // written \- .
constexpr char EscNoHang = 0x0A;     // written \x .
constexpr char EscBackslash = 0x0B;  // written \\ .
constexpr char EscQuote = 0x0C;      // written \" .
constexpr char EscDollar = 0x0D;     // written \$ .
constexpr char EscComma = 0x0E;      // written \, .

// In place: turns EscBackslash back into '\' and EscDollar into '$', so that file names and
// labels can hold them. Every other byte stays.
char* RestoreEscapes(char* text);

// A copy of `text` with its escapes restored (file names, labels and codes of scripts).
std::string RestoredText(const char* text);

} // namespace velmo
