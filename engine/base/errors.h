#pragma once

#include <cstdint>
#include <string_view>

namespace velmo {

// Codes of script errors. Each is also the id of its description in the program's string table.
// There is no code 113. ErrReserved marks a failure that is not a script error.
enum ErrorCode : std::int32_t {
  ErrOK = 100,
  ErrFileIO = 101,
  ErrFileNotFound = 102,
  ErrUnexpectedEOF = 103,
  ErrDevice = 104,
  ErrInternal = 105,
  ErrSyntax = 106,
  ErrMissingParam = 107,
  ErrRange = 108,
  ErrUnsupported = 109,
  ErrNesting = 110,
  ErrDivZero = 111,
  ErrUndefined = 112,
  ErrBadFormat = 114,
  ErrStackOverflow = 115,
  ErrNotImplemented = 116,
  ErrExclusive = 117,
  ErrUndefinedMacro = 118,
  ErrReserved = 199,
};

// A script error: thrown by value through ThrowError/ThrowFatal, caught only by the interpreter's
// step, which reports it. `code` is an error code above or, for picture plug-ins, the plug-in's own
// result code (0-8, -1).
class TBaseException {
public:
  static constexpr std::size_t InfoSize = 1024;

  TBaseException(bool isFatal, std::int32_t errorCode, std::string_view infoText);

  bool fatal;
  std::int32_t code;
  char info[InfoSize]; // additional information: a word, a file name, a label, or "無し"
};

class TException : public TBaseException {
public:
  TException(std::int32_t errorCode, std::string_view infoText) : TBaseException(false, errorCode, infoText) {}
};

class TFatalException : public TBaseException {
public:
  TFatalException(std::int32_t errorCode, std::string_view infoText) : TBaseException(true, errorCode, infoText) {}
};

// Raise a recoverable error: the player may go on with the next line.
[[noreturn]] void ThrowError(std::int32_t code, std::string_view info);
// Raise a fatal error: the program ends after the report.
[[noreturn]] void ThrowFatal(std::int32_t code, std::string_view info);

// The description shown for an error code: its string-table text, or "" when there is none.
// A plug-in's -1 is the string id 65535.
const char* ErrorDescription(std::int32_t code);

} // namespace velmo
