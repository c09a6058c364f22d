#pragma once

#include "engine/base/nibbles.h"
#include "engine/platform/platform.h"
#include "engine/script/if_state.h"
#include "engine/script/list_hash.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmo {

// Where a game starts, and where play restarts when an entry to resume at is empty.
inline constexpr const char* StartupScenario = "system\\startup.scx";

// Whether a scenario file is stored scrambled: the character three places after the last '.' of
// its name is 'x' or 'X' (as in "startup.scx").
bool IsScrambledName(std::string_view fileName);

// The labels met so far in one file: label, line number of the label line and byte offset of the
// line after it. At most 1,024.
class TListParagraph {
public:
  static constexpr int Capacity = 1024;

  struct Entry {
    std::string label;
    std::int32_t line;
    std::uint32_t offset;
  };

  // Adds the label, or moves it when it is already known. The 1,025th label is ErrUnsupported.
  void Add(std::string_view label, std::int32_t line, std::uint32_t offset);
  const Entry* Find(std::string_view label) const;
  void Clear() { entries.clear(); }
  int Count() const { return static_cast<int>(entries.size()); }

private:
  std::vector<Entry> entries;
};

// One open scenario file: where it stands, its labels and its conditional state. Lines are read
// through a buffer, but offsets, line numbers and every result are those of reading it one byte
// at a time.
class TScenario {
public:
  static constexpr std::size_t LineSize = 1024; // a logical line holds at most 1,023 bytes
  static constexpr std::size_t NameSize = 256;  // file names and labels hold at most 255 bytes

  explicit TScenario(IFileSystem& fileSystem);
  TScenario(const TScenario&) = delete;
  TScenario& operator=(const TScenario&) = delete;

  // Closes what was open and opens `location` ("file#label"; an empty file part is this
  // scenario's own file) at its label. A file that cannot be opened leaves no file: the next
  // step of the interpreter reports it.
  void Open(std::string_view location);
  void Close();
  // Back to the start: line 0, the paragraph to be searched again.
  void Reset();
  bool IsOpen() const { return file != nullptr; }

  // Reads the next logical line into `buffer` (LineSize bytes), with backslash escapes turned
  // into escape bytes and the byte before the LF dropped. False at the end of the file or at a
  // NUL byte; the last line without a line end counts as the end.
  bool ReadLine(char* buffer);
  // Completes a pending jump: reads forward, counting lines and noting every label, until the
  // label line of `paragraph`. A label missing before the end of the file is fatal.
  void FindParagraph(const TListHash& variables);
  // Goes to a known label at once, or leaves the search to FindParagraph.
  void JumpToParagraph(std::string_view label);
  std::uint32_t Tell() const { return bufferStart + bufferPos; }
  void Seek(std::uint32_t offset);

  void SetFileName(std::string_view name);
  void SetParagraph(std::string_view label);

  std::string fileName;
  std::string paragraph;
  std::int32_t line = 0;
  bool scrambled = false;
  bool paragraphPending = true;
  TListParagraph paragraphs;
  IfState ifState = IfState::Active;
  TIfStack ifStack;

private:
  // Reads the next block of the file into the buffer; false at the end of the file.
  bool Refill();

  IFileSystem& files;
  std::unique_ptr<IReadFile> file;
  static constexpr std::size_t ReadBufferSize = 16384;
  std::unique_ptr<char[]> readBuffer;
  std::uint32_t bufferStart = 0; // file offset of readBuffer[0]
  std::uint32_t bufferLength = 0;
  std::uint32_t bufferPos = 0;
};

} // namespace velmo
