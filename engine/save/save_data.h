#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace velmo {

class IClock;
class IFileSystem;
class TListHash;
struct LocalTime;

// Save data: the script's variables written to small files. A file is nothing but a sequence of
// texts, each followed by a 0 byte, every byte (the 0 included) stored with its two 4-bit halves
// exchanged; a complete file holds 256 of them, value 1 first. Bookmark n is the file
// "system\save%02d.dat" of n (1 and up); the memo file, number 0, keeps memo[1..256] from one run
// of the game to the next.

inline constexpr std::int32_t SaveValueCount = 256;
inline constexpr const char* MemoFileName = "system\\save00.dat";

// The first byte of a bookmark's value 1: how the bookmark lists show it.
enum class BookmarkMark : char { Empty = 0, ReadOnly = 1, Blue = 2, Yellow = 3, Red = 4 };

// The variable that holds value `number` of the array `array`: "memo[1]" for ("memo", 1).
std::string ValueName(std::string_view array, std::int32_t number);

// "system\save%02d.dat" of `number`: two digits at least (bookmark 100 is system\save100.dat).
std::string SaveFileName(std::int32_t number);

// Value 1 of a bookmark: the mark, then the local date and time as "%2d/%2d  %2d:%02d" (month,
// day, two blanks, hour, minute).
std::string BookmarkStamp(BookmarkMark mark, const LocalTime& time);

// The stored bytes of the variables `array`[first..last] (as "memo[1]" for the array "memo").
std::string EncodeValues(const TListHash& variables, std::string_view array, std::int32_t first, std::int32_t last);

// How far a file of values could be read.
enum class ReadOutcome {
  Complete,   // every value of the range
  Short,      // the file ended inside the range: the values before its end were read
  Unreadable, // the file could neither be opened nor made
};

// Reads `array`[first..last] from `file`; each value is read to its 0 byte and kept to 63 bytes.
// A file that does not exist is first made holding as many empty values. Values after the end of
// a short file keep what they held; a value cut off by the end is not taken. The same values go to
// each of the arrays named.
ReadOutcome ReadValues(IFileSystem& files, TListHash& variables, std::string_view file,
                       std::initializer_list<std::string_view> arrays, std::int32_t first, std::int32_t last);

// Writes `array`[first..last] to `file` in one step (IFileSystem::WriteFileAtomically): either
// the whole new file is there afterwards or the old one is as it was. False when nothing was
// written.
bool WriteValues(IFileSystem& files, const TListHash& variables, std::string_view file, std::string_view array,
                 std::int32_t first, std::int32_t last);

// The bookmarks and the memo file of one engine, over its variables: save[] (the script's working
// values), __save[] (the snapshot the next save writes), memo[] and sysCurBookmark.
class SaveData {
public:
  SaveData(IFileSystem& fileSystem, IClock& localClock, TListHash& scriptVariables)
      : files(fileSystem), clock(localClock), variables(scriptVariables) {}

  // At start: memo[1..256] from the memo file (made empty when missing).
  void LoadMemo();
  // At shutdown: memo[1..256] to the memo file, unless it was never read (before start-up, or
  // a memo file that exists but could not be read, whose values are kept). False when writing
  // failed.
  bool SaveMemo();

  // save[] and __save[] from bookmark `number` (a missing bookmark is made empty and loads as
  // one); sysCurBookmark = `number`. True when the file existed.
  bool LoadBookmark(std::int32_t number);
  // __save[1..256] to bookmark `number`, with value 1 the mark and the local date and time, in
  // one write. Afterwards __save[1] holds what was written and sysCurBookmark = `number`. False
  // (and nothing changed) when the file could not be written.
  bool SaveBookmark(std::int32_t number, BookmarkMark mark);
  // Sets the mark of an existing bookmark, rewriting the file in one step.
  enum class MarkResult { Done, Missing, Failed };
  MarkResult SetBookmarkMark(std::int32_t number, BookmarkMark mark);

private:
  enum class MemoState { NotRead, Read, Unreadable };

  IFileSystem& files;
  IClock& clock;
  TListHash& variables;
  MemoState memo = MemoState::NotRead;
};

} // namespace velmo
