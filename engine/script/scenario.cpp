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
  if (const auto found = index.find(label); found != index.end()) {
    Entry& e = entries[found->second];
    e.line = line;
    e.offset = offset;
    return;
  }
  if (static_cast<int>(entries.size()) >= Capacity) ThrowError(ErrUnsupported, "TListParagraph::Add");
  index.emplace(std::string(label), entries.size());
  entries.push_back(Entry{std::string(label), line, offset});
}

const TListParagraph::Entry* TListParagraph::Find(std::string_view label) const {
  const auto found = index.find(label);
  return found == index.end() ? nullptr : &entries[found->second];
}

TScenario::TScenario(IFileSystem& fileSystem) : files(fileSystem) {}

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
  bytes.clear();
  loaded = false;
  position = 0;
  kept.clear();
  keptAt.clear();
  keptHere = keptLast = -1;
  line = 0;
  paragraphPending = true;
}

void TScenario::Reset() {
  line = 0;
  paragraphPending = true;
  Seek(0);
}

void TScenario::Seek(std::uint32_t offset) {
  position = offset;
  keptHere = keptLast = -1;
}

void TScenario::Load() {
  loaded = true;
  if (file == nullptr) return;
  const std::string read = ReadToEnd(*file);
  bytes.insert(bytes.end(), read.begin(), read.end());
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
  keptHere = keptLast = -1;
  return ReadLineHere(buffer);
}

bool TScenario::ReadLineHere(char* buffer) {
  if (!loaded) Load();
  // Locals rather than members in the loop: stores through `buffer` could alias them.
  const bool swap = scrambled;
  std::size_t length = 0;
  std::size_t limit = LineSize - 1; // 0 once a byte had to be dropped: the line keeps its start
  bool afterLead = false;
  bool afterBackslash = false;
  const char* const start = bytes.data();
  const char* const end = start + bytes.size();
  const char* p = position < bytes.size() ? start + position : end;
  // The bytes, one at a time as the file holds them.
  while (p < end) {
    char c = *p++;
    if (swap) c = SwapNibbles(c);
    if (afterLead || !PlainLineByte[static_cast<unsigned char>(c)]) {
      if (c == '\0') {
        position = static_cast<std::uint32_t>(p - start);
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
        position = static_cast<std::uint32_t>(p - start);
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
  if (position < bytes.size()) position = static_cast<std::uint32_t>(bytes.size());
  buffer[length] = '\0';
  return false;
}

TScenarioLine* TScenario::ReadKeptLine(char* buffer) {
  std::int32_t index = keptHere;
  if (index < 0) {
    const auto found = keptAt.find(position);
    if (found != keptAt.end()) {
      index = found->second;
      if (keptLast >= 0) kept[static_cast<std::size_t>(keptLast)].nextIndex = index;
    }
  }
  if (index >= 0) {
    TScenarioLine& known = kept[static_cast<std::size_t>(index)];
    std::memcpy(buffer, known.text.data(), known.text.size() + 1);
    position = known.next;
    keptHere = known.nextIndex;
    keptLast = index;
    return &known;
  }
  const std::uint32_t start = position;
  if (!ReadLineHere(buffer)) {
    keptHere = keptLast = -1;
    return nullptr;
  }
  const auto added = static_cast<std::int32_t>(kept.size());
  TScenarioLine& fresh = kept.emplace_back();
  fresh.text = buffer;
  fresh.next = position;
  keptAt.emplace(start, added);
  if (keptLast >= 0) kept[static_cast<std::size_t>(keptLast)].nextIndex = added;
  keptHere = -1;
  keptLast = added;
  return &fresh;
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
