#include "engine/script/scenario.h"

#include "engine/base/errors.h"
#include "engine/base/escapes.h"
#include "engine/base/sjis.h"
#include "engine/script/command_line.h"
#include "engine/script/jump_target.h"

#include <array>
#include <cstring>

namespace velmo {

bool IsScrambledName(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos || dot + 3 >= fileName.size()) return false;
  return fileName[dot + 3] == 'x' || fileName[dot + 3] == 'X';
}

void TListParagraph::Add(std::string_view label, std::int32_t line, std::uint32_t offset) {
  for (Entry& e : entries) {
    if (e.label == label) {
      e.line = line;
      e.offset = offset;
      return;
    }
  }
  if (static_cast<int>(entries.size()) >= Capacity) ThrowError(ErrUnsupported, "TListParagraph::Add");
  entries.push_back(Entry{std::string(label), line, offset});
}

const TListParagraph::Entry* TListParagraph::Find(std::string_view label) const {
  for (const Entry& e : entries) {
    if (e.label == label) return &e;
  }
  return nullptr;
}

TScenario::TScenario(IFileSystem& fileSystem) : files(fileSystem), readBuffer(new char[ReadBufferSize]) {}

void TScenario::SetFileName(std::string_view name) { fileName = CutAtCharBoundary(name, NameSize - 1); }

void TScenario::SetParagraph(std::string_view label) { paragraph = CutAtCharBoundary(label, NameSize - 1); }

void TScenario::Open(std::string_view location) {
  const TJumpTarget target(std::string(location).c_str());
  const std::string name = target.File()[0] != '\0' ? std::string(target.File()) : fileName;
  Close();
  file = files.OpenRead(name);
  SetFileName(name);
  SetParagraph(target.Label());
  scrambled = IsScrambledName(fileName);
  ifState = IfState::Active;
  ifStack.Clear();
}

void TScenario::Close() {
  file.reset();
  paragraphs.Clear();
  bufferStart = bufferLength = bufferPos = 0;
  line = 0;
  paragraphPending = true;
}

void TScenario::Reset() {
  line = 0;
  paragraphPending = true;
  Seek(0);
}

void TScenario::Seek(std::uint32_t offset) {
  if (offset >= bufferStart && offset - bufferStart <= bufferLength) {
    bufferPos = offset - bufferStart;
    return;
  }
  bufferStart = offset;
  bufferLength = bufferPos = 0;
  if (file != nullptr && !file->Seek(offset)) file.reset();
}

bool TScenario::Refill() {
  if (file == nullptr) return false;
  bufferStart += bufferLength;
  bufferPos = 0;
  bufferLength = static_cast<std::uint32_t>(file->Read(readBuffer.get(), ReadBufferSize));
  return bufferLength != 0;
}

namespace {

// The byte a backslash escape stands for; any other character stands for itself.
char EscapeFor(char c) {
  switch (c) {
  case 'n':
  case '/':
    return EscNewLine;
  case 'c':
  case '*':
    return EscClearPage;
  case 'w':
  case '%':
    return EscWait;
  case '(':
    return EscInstantOn;
  case ')':
    return EscInstantOff;
  case '[':
    return EscIndentPush;
  case ']':
    return EscIndentPop;
  case '+':
    return EscHang;
  case '-':
    return EscNoHangDash;
  case 'x':
    return EscNoHang;
  case '\\':
    return EscBackslash;
  case '"':
    return EscQuote;
  case '$':
    return EscDollar;
  case ',':
    return EscComma;
  default:
    return c;
  }
}

// Bytes a line takes as they are: all but NUL, LF, the backslash and Shift-JIS lead bytes.
constexpr auto PlainLineByte = [] {
  std::array<bool, 256> table{};
  for (int b = 0; b < 256; ++b) {
    table[static_cast<std::size_t>(b)] = b != 0 && b != '\n' && b != '\\' && !IsLeadByte(static_cast<unsigned char>(b));
  }
  return table;
}();

} // namespace

bool TScenario::ReadLine(char* buffer) {
  // Locals rather than members in the loop: stores through `buffer` could alias them.
  const bool swap = scrambled;
  std::size_t length = 0;
  std::size_t limit = LineSize - 1; // 0 once a byte had to be dropped: the line keeps its start
  bool afterLead = false;
  bool afterBackslash = false;
  for (;;) {
    if (bufferPos == bufferLength && !Refill()) {
      buffer[length] = '\0';
      return false;
    }
    // The bytes at hand, one at a time as the file holds them.
    const char* const start = readBuffer.get();
    const char* p = start + bufferPos;
    const char* const end = start + bufferLength;
    while (p < end) {
      char c = *p++;
      if (swap) c = SwapNibbles(c);
      if (afterLead || !PlainLineByte[static_cast<unsigned char>(c)]) {
        if (c == '\0') {
          bufferPos = static_cast<std::uint32_t>(p - start);
          buffer[length] = '\0';
          return false;
        }
        if (afterLead) {
          afterLead = false;
        } else if (IsLeadByte(c)) {
          // A character is kept whole or not at all.
          if (length + 2 > limit) limit = 0;
          afterLead = true;
          afterBackslash = false;
        } else if (c == '\n') {
          bufferPos = static_cast<std::uint32_t>(p - start);
          if (length > 0 && limit != 0) --length;
          buffer[length] = '\0';
          return true;
        } else if (afterBackslash) {
          c = EscapeFor(c);
          afterBackslash = false;
        } else {
          afterBackslash = true; // a backslash: the escape follows
          continue;
        }
      } else if (afterBackslash) {
        c = EscapeFor(c);
        afterBackslash = false;
      }
      if (length < limit)
        buffer[length++] = c;
      else
        limit = 0;
    }
    bufferPos = bufferLength;
  }
}

void TScenario::FindParagraph(const TListHash& variables) {
  if (!paragraphPending || paragraph.empty()) {
    paragraphPending = false;
    return;
  }
  paragraphPending = false;
  char text[LineSize];
  TCommandLine label(variables);
  std::int32_t read = 0;
  while (ReadLine(text)) {
    ++read;
    const char* p = text;
    while (*p == ' ' || *p == '\t') ++p;
    if (p[0] != '/' || p[1] != '/') continue;
    try {
      label.Parse(text);
    } catch (const TBaseException&) {
      line += read;
      throw;
    }
    const char* name = label.Value(2);
    if (name[0] == '\0') {
      line += read;
      ThrowError(ErrMissingParam, "無し");
    }
    paragraphs.Add(name, line + read, Tell());
    if (paragraph == name) {
      line += read;
      return;
    }
  }
  line += read;
  ThrowFatal(ErrUnexpectedEOF, paragraph);
}

void TScenario::JumpToParagraph(std::string_view label) {
  SetParagraph(label);
  if (const TListParagraph::Entry* known = paragraphs.Find(paragraph)) {
    line = known->line;
    Seek(known->offset);
    paragraphPending = false;
  } else {
    paragraphPending = true;
  }
}

} // namespace velmo
