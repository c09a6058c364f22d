#include "engine/script/list_hash.h"

#include "engine/base/errors.h"
#include "engine/base/name_hash.h"
#include "engine/base/sjis.h"

#include <cstring>

namespace velmo {

namespace {
constexpr std::size_t InitialSlots = 64;
}

TListHash::TListHash() : slots(InitialSlots, Slot{}) {}

std::uint32_t TListHash::Hash(std::string_view name) { return NameHash(name); }

bool TListHash::SlotHolds(const Slot& slot, std::string_view name) const {
  if (slot.nameLength <= ShortName) {
    return slot.nameLength == name.size() && std::memcmp(slot.name, name.data(), name.size()) == 0;
  }
  return At(slot.entryPlusOne - 1).name == name;
}

std::int32_t TListHash::Find(std::string_view name) const {
  const std::uint32_t hash = Hash(name);
  const std::size_t mask = slots.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots[i];
    if (slot.entryPlusOne == 0) return -1;
    if (slot.hash == hash && SlotHolds(slot, name)) return slot.entryPlusOne - 1;
  }
}

void TListHash::InsertIndex(const Slot& slot) {
  const std::size_t mask = slots.size() - 1;
  std::size_t i = slot.hash & mask;
  while (slots[i].entryPlusOne != 0) i = (i + 1) & mask;
  slots[i] = slot;
}

void TListHash::Grow() {
  std::vector<Slot> old(slots.size() * 2, Slot{});
  old.swap(slots);
  for (const Slot& slot : old) {
    if (slot.entryPlusOne != 0) InsertIndex(slot);
  }
}

std::int32_t TListHash::CreateNew(std::string_view name) {
  if (count >= MaxEntries) ThrowFatal(ErrUnsupported, "TListHash::CreateNew");
  if ((static_cast<std::size_t>(count) + 1) * 4 > slots.size()) Grow();
  if ((count & (BlockSize - 1)) == 0) blocks.push_back(std::make_unique<Entry[]>(BlockSize));
  const std::int32_t index = count++;
  Entry& entry = At(index);
  entry.name.assign(name);
  std::memset(entry.value, 0, ValueSize);
  entry.value[0] = '0';
  Slot slot{Hash(name), index + 1, static_cast<std::uint8_t>(ShortName + 1), {}};
  if (entry.name.size() <= ShortName) {
    slot.nameLength = static_cast<std::uint8_t>(entry.name.size());
    std::memcpy(slot.name, entry.name.data(), entry.name.size());
  }
  InsertIndex(slot);
  return index;
}

void TListHash::Clear() {
  blocks.clear();
  count = 0;
  slots.assign(InitialSlots, Slot{});
}

const char* TListHash::GetVar(std::string_view name) const {
  const std::int32_t index = Find(name);
  return index < 0 ? "" : At(index).value;
}

void TListHash::SetVarText(std::string_view name, std::string_view text) {
  // The text may be (part of) the very value it replaces: take the copy first.
  char kept[ValueSize] = {};
  std::string_view cut = CutAtCharBoundary(text, ValueSize - 1);
  std::memcpy(kept, cut.data(), cut.size());
  std::int32_t index = Find(name);
  if (index < 0) index = CreateNew(name);
  std::memcpy(At(index).value, kept, ValueSize);
}

char* TListHash::ValueBuffer(std::string_view name) {
  std::int32_t index = Find(name);
  if (index < 0) index = CreateNew(name);
  return At(index).value;
}

void TListHash::SetVarNumber(std::string_view name, std::int32_t number) {
  // The decimal text, as "%ld" writes it.
  char text[12];
  char* end = text + sizeof text;
  char* p = end;
  std::uint32_t magnitude = number < 0 ? 0u - static_cast<std::uint32_t>(number) : static_cast<std::uint32_t>(number);
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (number < 0) *--p = '-';
  SetVarText(name, std::string_view(p, static_cast<std::size_t>(end - p)));
}

} // namespace velmo
