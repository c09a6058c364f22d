#include "engine/script/token_list.h"

#include "engine/script/sjis.h"

#include <cstring>

namespace velmo {

// buffer[BufferSize - 1] is never written, so the last text always ends in a NUL.
namespace {
constexpr std::size_t LastWritable = TTokenList::BufferSize - 2;
}

TTokenList::TTokenList() { Reset(); }

void TTokenList::Reset() {
  std::memset(buffer, 0, sizeof buffer);
  for (const char*& p : pointers) p = buffer;
  writePos = 1;
  full = false;
}

void TTokenList::Put(char c) {
  if (full || writePos > LastWritable) {
    full = true;
    return;
  }
  buffer[writePos++] = c;
}

std::size_t TTokenList::PutChar(const char* text) {
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

void TTokenList::PutText(const char* text) {
  while (*text != '\0') text += PutChar(text);
}

void TTokenList::Terminate() {
  buffer[writePos] = '\0';
  if (writePos < BufferSize - 1) ++writePos;
}

} // namespace velmo
