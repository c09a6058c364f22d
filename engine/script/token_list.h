#pragma once

#include "engine/base/sjis.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace velmo {

// The shared layout of the splitters: a 1,024-byte buffer that receives the split texts, each
// NUL-terminated, and a table of 128 pointers into it. Byte 0 of the buffer stays zero and is the
// empty text every unfilled pointer shows. Texts that do not fit are cut, never written past the
// buffer: once a byte has been dropped, every later byte is dropped too, and a two-byte character
// is kept whole or dropped whole. Only what the last split wrote is ever read, so a new split
// neither clears the buffer nor rewrites the pointers: pointers at or past `pointed` read as "".
class TTokenList {
public:
  static constexpr std::size_t BufferSize = 1024;
  static constexpr int PointerCount = 128;

  TTokenList() {
    buffer[0] = '\0';
    buffer[BufferSize - 1] = '\0';
  }
  virtual ~TTokenList() = default;
  TTokenList(const TTokenList&) = delete;
  TTokenList& operator=(const TTokenList&) = delete;

  // Splits `text` into the buffer and returns the number of parts.
  virtual int Parse(const char* text) = 0;

  // Pointer i of the table; "" when unfilled or outside 0..127.
  const char* Item(int i) const { return i >= 0 && i < PointerCount && i < pointed ? pointers[i] : buffer; }

  // What a split left, to be put back later instead of splitting the same text again: the bytes
  // it wrote and where each pointer points.
  struct Snapshot {
    std::string bytes;             // buffer[0 .. end of the last text)
    std::vector<std::uint16_t> at; // the filled pointers as offsets into the buffer
    bool full = false;
  };
  void Save(Snapshot& out) const {
    out.bytes.assign(buffer, writePos);
    out.at.resize(static_cast<std::size_t>(pointed));
    for (std::size_t i = 0; i < out.at.size(); ++i) out.at[i] = static_cast<std::uint16_t>(pointers[i] - buffer);
    out.full = full;
  }
  void Restore(const Snapshot& in) {
    std::memcpy(buffer, in.bytes.data(), in.bytes.size());
    writePos = in.bytes.size();
    pointed = static_cast<int>(in.at.size());
    for (std::size_t i = 0; i < in.at.size(); ++i) pointers[i] = buffer + in.at[i];
    full = in.full;
  }

protected:
  // Starts a new split: every pointer shows the empty text.
  void Reset() {
    pointed = 0;
    writePos = 1;
    full = false;
  }
  // Points pointer i (0..127) at `text`; pointers skipped on the way show the empty text.
  void Point(int i, const char* text) {
    while (pointed < i) pointers[pointed++] = buffer;
    pointers[i] = text;
    if (i >= pointed) pointed = i + 1;
  }
  // Where the next text begins.
  const char* WritePosition() const { return buffer + writePos; }
  void Put(char c) {
    if (full || writePos > LastWritable) {
      full = true;
      return;
    }
    buffer[writePos++] = c;
  }
  // Copies the character at `text` (both bytes of a two-byte character) and returns its length.
  std::size_t PutChar(const char* text) {
    if (IsLeadByte(text[0]) && text[1] != '\0') {
      if (full || writePos + 1 > LastWritable) {
        full = true;
      } else {
        buffer[writePos++] = text[0];
        buffer[writePos++] = text[1];
      }
      return 2;
    }
    Put(text[0]);
    return 1;
  }
  // Copies the run of bytes at `text` that `accepted` marks (never lead bytes) and returns where
  // the run ends. The hot loops of the splitters: position and state stay in registers, since a
  // store into the buffer could otherwise alias them.
  const char* PutRun(const char* text, const std::array<bool, 256>& accepted) {
    std::size_t pos = writePos;
    bool dropped = full;
    for (; accepted[static_cast<unsigned char>(*text)]; ++text) {
      if (!dropped && pos <= LastWritable)
        buffer[pos++] = *text;
      else
        dropped = true;
    }
    writePos = pos;
    full = dropped;
    return text;
  }
  void PutText(const char* text) {
    while (*text != '\0') text += PutChar(text);
  }
  // Ends the text being written; the next one begins after its NUL.
  void Terminate() {
    buffer[writePos] = '\0';
    if (writePos < BufferSize - 1) ++writePos;
  }
  const char* EmptyText() const { return buffer; }

  char buffer[BufferSize];
  const char* pointers[PointerCount];

private:
  // buffer[BufferSize - 1] is never written, so the last text always ends in a NUL.
  static constexpr std::size_t LastWritable = BufferSize - 2;

  int pointed = 0; // pointers below this show a text of the last split
  std::size_t writePos = 1;
  bool full = false;
};

} // namespace velmo
