#pragma once

#include <cstddef>

namespace velmo {

// The shared layout of the splitters: a 1,024-byte buffer that receives the split texts, each
// NUL-terminated, and a table of 128 pointers into it. Byte 0 of the buffer stays zero and is the
// empty text every unfilled pointer shows. Texts that do not fit are cut, never written past the
// buffer: once a byte has been dropped, every later byte is dropped too, and a two-byte character
// is kept whole or dropped whole.
class TTokenList {
public:
  static constexpr std::size_t BufferSize = 1024;
  static constexpr int PointerCount = 128;

  TTokenList();
  virtual ~TTokenList() = default;
  TTokenList(const TTokenList&) = delete;
  TTokenList& operator=(const TTokenList&) = delete;

  // Splits `text` into the buffer and returns the number of parts.
  virtual int Parse(const char* text) = 0;

  // Pointer i of the table; "" outside 0..127.
  const char* Item(int i) const { return i >= 0 && i < PointerCount ? pointers[i] : buffer; }

protected:
  // Empties the buffer and points every pointer at the empty text.
  void Reset();
  // Where the next text begins.
  const char* WritePosition() const { return buffer + writePos; }
  void Put(char c);
  // Copies the character at `text` (both bytes of a two-byte character) and returns its length.
  std::size_t PutChar(const char* text);
  void PutText(const char* text);
  // Ends the text being written; the next one begins after its NUL.
  void Terminate();
  const char* EmptyText() const { return buffer; }

  char buffer[BufferSize];
  const char* pointers[PointerCount];

private:
  std::size_t writePos = 1;
  bool full = false;
};

} // namespace velmo
