#pragma once

#include "engine/base/name_hash.h"
#include "engine/base/nibbles.h"
#include "engine/platform/platform.h"
#include "engine/script/command_line.h"
#include "engine/script/if_state.h"
#include "engine/script/list_hash.h"
#include "engine/script/word_list.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
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
  void Clear() {
    entries.clear();
    index.clear();
  }
  int Count() const { return static_cast<int>(entries.size()); }

private:
  struct LabelHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view label) const { return NameHash(label); }
  };
  std::vector<Entry> entries;
  std::unordered_map<std::string, std::size_t, LabelHash, std::equal_to<>> index; // label -> entry
};

// A line of the open file as the interpreter took it, kept while the file stays open: its text
// (escapes converted) and where the next line starts; and, for a line whose meaning depends on no
// variable, what the interpreter made of it: the split command line and its own note of what the
// line is (the scenario keeps them without looking at them).
struct TScenarioLine {
  std::string text;
  std::uint32_t next = 0;
  std::int32_t nextIndex = -1; // the kept line that starts at `next`, once known
  // What the line is: its command word never depends on variables.
  bool kindKnown = false;
  std::uint8_t kind = 0;
  const void* handler = nullptr;
  // The split, for a line without references or TABs; or that the line needs none.
  bool splitKept = false;
  TCommandLine::Parsed parsed;
  bool splitUnused = false;
  // The line's own text split as a word list (commands that read their line as items).
  bool wordsKnown = false;
  TWordList::Kept words;
};

// One open scenario file: where it stands, its labels and its conditional state. The file's
// bytes are read into memory once, when the first line is read; offsets, line numbers and every
// result are those of reading it one byte at a time. Lines the interpreter has taken are kept
// (ReadKeptLine), so that a loop reads, and means, each line once.
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
  // As ReadLine, and returns the kept line for what was read: the one kept before when the line
  // was read already since the file was opened, else a new one. nullptr where ReadLine is false.
  TScenarioLine* ReadKeptLine(char* buffer);
  // Completes a pending jump: reads forward, counting lines and noting every label, until the
  // label line of `paragraph`. A label missing before the end of the file is fatal.
  void FindParagraph(const TListHash& variables);
  // Goes to a known label at once, or leaves the search to FindParagraph.
  void JumpToParagraph(std::string_view label);
  std::uint32_t Tell() const { return position; }
  // The file's length in bytes, once a line of it has been read.
  std::uint32_t Size() const { return static_cast<std::uint32_t>(bytes.size()); }
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
  // Reads what the file holds into memory, once.
  void Load();
  bool ReadLineHere(char* buffer);

  IFileSystem& files;
  std::unique_ptr<IReadFile> file;
  std::vector<char> bytes; // the file's bytes, once loaded
  bool loaded = false;
  std::uint32_t position = 0;
  // The kept lines, by the offset they start at; the deque keeps them where they are.
  std::deque<TScenarioLine> kept;
  std::unordered_map<std::uint32_t, std::int32_t> keptAt;
  std::int32_t keptHere = -1; // the kept line that starts at `position`, when known
  std::int32_t keptLast = -1; // the kept line read last, when `position` is where it ends
};

} // namespace velmo
