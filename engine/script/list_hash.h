#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmo {

// A list of named texts: the scenario variables, and the macro table (name -> jump location).
// Entries stay in creation order, which is the order a dump or a save walks; names compare
// case-sensitively. Beside the list, an open-addressing index maps a name to its entry so that a
// lookup costs the same with a few hundred entries as with 65,536; nothing a script can see
// depends on it.
class TListHash {
public:
  static constexpr std::int32_t MaxEntries = 65536;
  static constexpr std::size_t ValueSize = 64; // a value holds at most 63 bytes of text

  TListHash();
  TListHash(const TListHash&) = delete;
  TListHash& operator=(const TListHash&) = delete;

  // The value of `name`, or "" when there is no such entry. Never creates one. The pointer stays
  // valid until the entry's value changes or the list is cleared.
  const char* GetVar(std::string_view name) const;
  // Creates the entry if needed, then stores at most 63 bytes of `text`; a cut never splits a
  // two-byte character.
  void SetVarText(std::string_view name, std::string_view text);
  // As SetVarText with the number's decimal text.
  void SetVarNumber(std::string_view name, std::int32_t number);

  // The 64-byte value buffer of `name`, creating the entry when needed: for plug-ins that return
  // texts by writing into it. The pointer stays valid until the list is cleared.
  char* ValueBuffer(std::string_view name);

  // Index of the entry named `name` in creation order, or -1.
  std::int32_t Find(std::string_view name) const;
  // Appends an entry whose value is "0" and returns its index. The 65,537th entry is a fatal
  // ErrUnsupported error.
  std::int32_t CreateNew(std::string_view name);
  void Clear();

  // Index of the last entry, -1 when empty.
  std::int32_t LastIndex() const { return count - 1; }
  const std::string& Name(std::int32_t index) const { return At(index).name; }
  const char* Value(std::int32_t index) const { return At(index).value; }

private:
  struct Entry {
    std::string name;
    char value[ValueSize];
  };
  // One slot of the index: the entry's index + 1 (0 = free), the name's hash and, for names of up
  // to ShortName bytes, the name itself, so that a lookup reads one cache line and not the entry.
  static constexpr std::size_t ShortName = 23;
  struct Slot {
    std::uint32_t hash;
    std::int32_t entryPlusOne;
    std::uint8_t nameLength; // > ShortName: the name is only in the entry
    char name[ShortName];
  };
  static_assert(sizeof(Slot) == 32);

  static std::uint32_t Hash(std::string_view name);
  void Grow();
  void InsertIndex(const Slot& slot);
  bool SlotHolds(const Slot& slot, std::string_view name) const;

  // Entries live in blocks that never move, so a value pointer handed out stays valid while
  // other entries are created.
  static constexpr std::int32_t BlockShift = 8;
  static constexpr std::int32_t BlockSize = 1 << BlockShift;
  Entry& At(std::int32_t index) const {
    return blocks[static_cast<std::size_t>(index >> BlockShift)][index & (BlockSize - 1)];
  }

  std::vector<std::unique_ptr<Entry[]>> blocks;
  std::int32_t count = 0;
  std::vector<Slot> slots; // size is a power of two, at most a quarter full: short probe runs
};

// The macro table of @Macro: macro name -> jump location "file#label".
using TMacroTable = TListHash;

} // namespace velmo
