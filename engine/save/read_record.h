#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace velmo {

class IFileSystem;

inline constexpr const char* ReadRecordFileName = "system\\read.dat";

// Which message lines the player has been shown, kept from one run of the game to the next for
// the skip of read text (既読スキップ): for every scenario file a bit for each byte offset, set
// for the offsets where a message line that was shown starts.
//
// The file system\read.dat holds the magic "VRD1", then one entry per scenario file to its end:
// the file's name (as the engine names it, ASCII letters in lower case) as a 16-bit length and its
// bytes, then the record's length in bytes as a 32-bit number and the record: the line at offset k
// is bit k % 8 (the lowest first) of byte k / 8. Numbers are little-endian. A scenario file changed
// since its lines were recorded keeps the bits of the offsets it still has; those past its end
// are dropped the first time the engine reads a line of it.
class ReadRecord {
public:
  explicit ReadRecord(IFileSystem& fileSystem) : files(fileSystem) {}

  // At start: the record of system\read.dat. A missing or empty file gives an empty record; a
  // file that cannot be read or is not a record is kept as it is (Save leaves it alone); a damaged
  // one gives the entries before the damage.
  void Load();
  // Writes the record in one step (IFileSystem::WriteFileAtomically) when it changed since it was
  // loaded or written. False when that failed.
  bool Save();

  // The message line at byte `offset` of the scenario `file`, which now holds `fileSize` bytes,
  // is shown: records it and says whether it had been shown before.
  bool TakeLine(std::string_view file, std::uint32_t fileSize, std::uint32_t offset);

  // The stored form of the record, and the record from a stored form (entries after damage are
  // left out; false when the bytes are not a record or are damaged).
  std::string Encode() const;
  bool Decode(std::string_view bytes);

private:
  struct FileLines {
    std::vector<std::uint8_t> bits;
    bool fitted = false; // fitted to the file's size in this run
  };

  IFileSystem& files;
  std::map<std::string, FileLines, std::less<>> lines; // by file name, ASCII letters in lower case
  bool changed = false;
  bool keepFile = false; // the file there is not ours to replace
};

} // namespace velmo
