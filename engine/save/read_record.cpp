#include "engine/save/read_record.h"

#include "engine/base/sjis.h"
#include "engine/platform/platform.h"

#include <memory>
#include <new>

namespace velmo {

namespace {

constexpr std::string_view Magic = "VRD1";
constexpr std::size_t MaxNameBytes = 255;

void PutNumber(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Takes a little-endian number of `bytes` bytes from the front of `in`; false when it is shorter.
bool TakeNumber(std::string_view& in, int bytes, std::uint32_t& value) {
  if (in.size() < static_cast<std::size_t>(bytes)) return false;
  value = 0;
  for (int i = 0; i < bytes; ++i)
    value |= std::uint32_t{static_cast<std::uint8_t>(in[static_cast<std::size_t>(i)])} << (8 * i);
  in.remove_prefix(static_cast<std::size_t>(bytes));
  return true;
}

} // namespace

void ReadRecord::Load() {
  lines.clear();
  changed = false;
  keepFile = false;
  if (!files.Exists(ReadRecordFileName)) return;
  std::string bytes;
  try {
    const std::unique_ptr<IReadFile> in = files.OpenRead(ReadRecordFileName);
    if (in == nullptr) {
      keepFile = true;
      return;
    }
    bytes = ReadToEnd(*in);
  } catch (const std::bad_alloc&) {
    keepFile = true;
    return;
  }
  // An empty file holds no lines; anything else that is not a record is another program's.
  if (!bytes.empty() && bytes.substr(0, Magic.size()) != Magic) {
    keepFile = true;
    return;
  }
  Decode(bytes);
}

bool ReadRecord::Save() {
  if (!changed || keepFile) return true;
  try {
    if (!files.WriteFileAtomically(ReadRecordFileName, Encode())) return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
  changed = false;
  return true;
}

bool ReadRecord::TakeLine(std::string_view file, std::uint32_t fileSize, std::uint32_t offset) {
  if (offset >= fileSize) return false;
  FileLines& entry = lines[FoldCase(file)];
  std::vector<std::uint8_t>& bits = entry.bits;
  if (!entry.fitted) {
    // Lines recorded past the end of a file that became shorter are no lines of it any more.
    entry.fitted = true;
    const std::size_t kept = (std::size_t{fileSize} + 7) / 8;
    if (bits.size() > kept) {
      bits.resize(kept);
      changed = true;
    }
    if (bits.size() == kept && fileSize % 8 != 0) {
      const auto mask = static_cast<std::uint8_t>((1u << (fileSize % 8)) - 1);
      if ((bits.back() & ~mask) != 0) changed = true;
      bits.back() &= mask;
    }
  }
  const std::size_t at = offset / 8;
  const auto bit = static_cast<std::uint8_t>(1u << (offset % 8));
  if (bits.size() <= at) bits.resize(at + 1);
  const bool shownBefore = (bits[at] & bit) != 0;
  if (!shownBefore) {
    bits[at] |= bit;
    changed = true;
  }
  return shownBefore;
}

std::string ReadRecord::Encode() const {
  std::string out(Magic);
  for (const auto& [name, entry] : lines) {
    // Bytes without a line at the end are not stored; a file without lines is left out.
    std::size_t length = entry.bits.size();
    while (length > 0 && entry.bits[length - 1] == 0) --length;
    if (length == 0 || name.empty() || name.size() > MaxNameBytes) continue;
    PutNumber(out, static_cast<std::uint32_t>(name.size()), 2);
    out += name;
    PutNumber(out, static_cast<std::uint32_t>(length), 4);
    out.append(reinterpret_cast<const char*>(entry.bits.data()), length);
  }
  return out;
}

bool ReadRecord::Decode(std::string_view in) {
  lines.clear();
  if (in.substr(0, Magic.size()) != Magic) return false;
  in.remove_prefix(Magic.size());
  while (!in.empty()) {
    std::uint32_t nameLength = 0;
    std::uint32_t length = 0;
    if (!TakeNumber(in, 2, nameLength) || nameLength == 0 || nameLength > MaxNameBytes || in.size() < nameLength)
      return false;
    const std::string name = FoldCase(in.substr(0, nameLength));
    in.remove_prefix(nameLength);
    if (!TakeNumber(in, 4, length) || in.size() < length) return false;
    std::vector<std::uint8_t>& bits = lines[name].bits;
    // A name stored twice keeps the lines of both.
    if (bits.size() < length) bits.resize(length);
    for (std::uint32_t i = 0; i < length; ++i) bits[i] |= static_cast<std::uint8_t>(in[i]);
    in.remove_prefix(length);
  }
  return true;
}

} // namespace velmo
