#include "engine/save/save_data.h"

#include "engine/base/format.h"
#include "engine/base/nibbles.h"
#include "engine/platform/platform.h"
#include "engine/script/list_hash.h"

#include <memory>

namespace velmo {

namespace {

// One value as stored: its bytes and its 0 byte, each with its halves exchanged.
void AppendValue(std::string& bytes, std::string_view value) {
  for (const char c : value) bytes += SwapNibbles(c);
  bytes += '\0';
}

} // namespace

std::string ValueName(std::string_view array, std::int32_t number) {
  std::string name(array);
  name += '[';
  name += std::to_string(number);
  name += ']';
  return name;
}

std::string SaveFileName(std::int32_t number) { return FormatText("system\\save%02ld.dat", static_cast<long>(number)); }

std::string BookmarkStamp(BookmarkMark mark, const LocalTime& time) {
  std::string stamp(1, static_cast<char>(mark));
  stamp += FormatText("%2d/%2d  %2d:%02d", time.month, time.day, time.hour, time.minute);
  return stamp;
}

std::string EncodeValues(const TListHash& variables, std::string_view array, std::int32_t first, std::int32_t last) {
  std::string bytes;
  for (std::int32_t k = first; k <= last; ++k) AppendValue(bytes, variables.GetVar(ValueName(array, k)));
  return bytes;
}

ReadOutcome ReadValues(IFileSystem& files, TListHash& variables, std::string_view file,
                       std::initializer_list<std::string_view> arrays, std::int32_t first, std::int32_t last) {
  if (!files.Exists(file) && last >= first &&
      !files.WriteFileAtomically(file, std::string(static_cast<std::size_t>(last - first) + 1, '\0'))) {
    return ReadOutcome::Unreadable;
  }
  const std::unique_ptr<IReadFile> in = files.OpenRead(file);
  if (in == nullptr) return ReadOutcome::Unreadable;
  char block[4096];
  std::size_t filled = 0;
  std::size_t at = 0;
  std::string value;
  for (std::int32_t k = first; k <= last; ++k) {
    value.clear();
    for (;;) {
      if (at == filled) {
        filled = in->Read(block, sizeof block);
        at = 0;
        if (filled == 0) return ReadOutcome::Short;
      }
      const char c = SwapNibbles(block[at++]);
      if (c == '\0') break;
      // A damaged file may hold a longer text: it is read to its end and kept as the variable
      // store keeps texts, to 63 bytes.
      if (value.size() < TListHash::ValueSize) value += c;
    }
    for (const std::string_view array : arrays) variables.SetVarText(ValueName(array, k), value);
  }
  return ReadOutcome::Complete;
}

bool WriteValues(IFileSystem& files, const TListHash& variables, std::string_view file, std::string_view array,
                 std::int32_t first, std::int32_t last) {
  return files.WriteFileAtomically(file, EncodeValues(variables, array, first, last));
}

void SaveData::LoadMemo() {
  const ReadOutcome outcome = ReadValues(files, variables, MemoFileName, {"memo"}, 1, SaveValueCount);
  memo = outcome == ReadOutcome::Unreadable ? MemoState::Unreadable : MemoState::Read;
}

bool SaveData::SaveMemo() {
  if (memo != MemoState::Read) return true;
  return WriteValues(files, variables, MemoFileName, "memo", 1, SaveValueCount);
}

bool SaveData::LoadBookmark(std::int32_t number) {
  const std::string file = SaveFileName(number);
  const bool existed = files.Exists(file);
  ReadValues(files, variables, file, {"save", "__save"}, 1, SaveValueCount);
  variables.SetVarNumber("sysCurBookmark", number);
  return existed;
}

bool SaveData::SaveBookmark(std::int32_t number, BookmarkMark mark) {
  const std::string stamp = BookmarkStamp(mark, clock.Now());
  std::string bytes;
  AppendValue(bytes, stamp);
  bytes += EncodeValues(variables, "__save", 2, SaveValueCount);
  if (!files.WriteFileAtomically(SaveFileName(number), bytes)) return false;
  variables.SetVarText("__save[1]", stamp);
  variables.SetVarNumber("sysCurBookmark", number);
  return true;
}

SaveData::MarkResult SaveData::SetBookmarkMark(std::int32_t number, BookmarkMark mark) {
  const std::string file = SaveFileName(number);
  std::string bytes;
  {
    // Closed again before the file is replaced.
    const std::unique_ptr<IReadFile> in = files.Exists(file) ? files.OpenRead(file) : nullptr;
    if (in == nullptr) return MarkResult::Missing;
    bytes = ReadToEnd(*in);
  }
  const char stored = SwapNibbles(static_cast<char>(mark));
  if (bytes.empty())
    bytes += stored;
  else
    bytes[0] = stored;
  return files.WriteFileAtomically(file, bytes) ? MarkResult::Done : MarkResult::Failed;
}

} // namespace velmo
