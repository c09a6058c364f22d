#include "engine/graphics/picture_loader.h"

#include "engine/base/errors.h"
#include "engine/base/sjis.h"
#include "engine/script/word_list.h"
#include "plugins/include/susie_plugin.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace velmo {
namespace {

// Opens `path` or raises ErrFileNotFound / ErrFileIO with the whole name.
std::unique_ptr<IReadFile> OpenOrThrow(IFileSystem& files, const std::string& path, std::string_view wholeName) {
  std::unique_ptr<IReadFile> file = files.OpenRead(path);
  if (file == nullptr) ThrowError(files.Exists(path) ? ErrFileIO : ErrFileNotFound, wholeName);
  return file;
}

// The text of a fixed-size field that is NUL-terminated unless it fills the field.
std::string_view FieldText(const char* field, std::size_t size) {
  return std::string_view(field, static_cast<std::size_t>(std::find(field, field + size, '\0') - field));
}

std::vector<std::uint8_t> ReadAll(IReadFile& file) {
  std::vector<std::uint8_t> bytes;
  std::array<char, 65536> chunk;
  for (;;) {
    std::size_t n = file.Read(chunk.data(), chunk.size());
    if (n == 0) break;
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n));
  }
  return bytes;
}

// The first plug-in, in list order, that exports IsSupported and claims the file; -1 for none.
// Effect plug-ins have no IsSupported and are passed over.
int FindHandler(IModules& modules, const TListPlugin& plugins, const std::string& path,
                std::array<std::uint8_t, SUSIE_HEADER_SIZE>& header) {
  for (int i = 0; i <= plugins.LastIndex(); ++i) {
    auto isSupported =
        reinterpret_cast<SusieIsSupportedFunction>(modules.Export(plugins.Node(i).module, "IsSupported"));
    if (isSupported != nullptr && isSupported(path.c_str(), header.data()) != 0) return i;
  }
  return -1;
}

// A local-memory handle a plug-in handed over: locked while this lives, then unlocked and freed.
class LockedHandle {
public:
  LockedHandle(IModules& moduleServices, void* memoryHandle) : modules(moduleServices), handle(memoryHandle) {
    if (handle != nullptr) data = static_cast<const std::uint8_t*>(modules.LockMemory(handle));
  }
  ~LockedHandle() {
    if (handle == nullptr) return;
    if (data != nullptr) modules.UnlockMemory(handle);
    modules.FreeMemory(handle);
  }
  LockedHandle(const LockedHandle&) = delete;
  LockedHandle& operator=(const LockedHandle&) = delete;

  const std::uint8_t* Data() const { return data; }

private:
  IModules& modules;
  void* handle;
  const std::uint8_t* data = nullptr;
};

// The extents of the two blocks GetPicture returns. A memory handle does not tell its size, so
// they are worked out from the info header: the info block is the header, the bit masks that
// follow a 40-byte header with bit fields, and the palette (biClrUsed entries, or 2^bits when
// that is 0; none above 8 bits, where the decoder ignores it); the bits block is the rows,
// each padded to 4 bytes, times the height (biSizeImage for RLE pictures, whose rows are not of
// one size). False when the header is none the decoder reads (nothing past its first 4 bytes is
// read then), or the picture is empty or larger than a picture may be.
struct BlockSizes {
  std::size_t info = 0;
  std::size_t bits = 0;
};

bool MeasureBlocks(const std::uint8_t* info, BlockSizes& sizes) {
  constexpr std::uint32_t BiRle8 = 1, BiRle4 = 2, BiBitFields = 3, BiAlphaBitFields = 6;
  const std::uint32_t headerSize = info[0] | static_cast<std::uint32_t>(info[1]) << 8 |
                                   static_cast<std::uint32_t>(info[2]) << 16 |
                                   static_cast<std::uint32_t>(info[3]) << 24;
  const std::optional<DibHeader> header = ReadDibHeader(std::span(info, headerSize));
  if (!header || header->bitCount == 0 || header->bitCount > 32) return false;
  const bool core = header->size == DibHeader::CoreSize;
  std::size_t masks = 0;
  if (header->size == DibHeader::InfoSize && header->compression == BiBitFields) masks = 12;
  if (header->size == DibHeader::InfoSize && header->compression == BiAlphaBitFields) masks = 16;
  std::size_t paletteEntries = 0;
  if (header->bitCount <= 8) {
    paletteEntries = std::size_t{1} << header->bitCount;
    if (!core && header->colorsUsed != 0) {
      if (header->colorsUsed > 256) return false;
      paletteEntries = header->colorsUsed;
    }
  }
  sizes.info = header->size + masks + paletteEntries * (core ? 3 : 4);
  if (header->compression == BiRle8 || header->compression == BiRle4) {
    sizes.bits = header->imageSize;
  } else {
    const auto rowBytes =
        (static_cast<std::size_t>(header->bitCount) * static_cast<std::size_t>(header->width) + 31) / 32 * 4;
    sizes.bits = rowBytes * static_cast<std::size_t>(header->height);
  }
  return true;
}

// Calls the picture loader's GetPicture for `path` and decodes what it returns.
std::optional<Picture> LoadWithPictureLoader(IModules& modules, const TPluginNode& node, const std::string& path,
                                             std::string_view wholeName) {
  auto getPicture = reinterpret_cast<SusieGetPictureFunction>(modules.Export(node.module, "GetPicture"));
  if (getPicture == nullptr) ThrowError(SUSIE_NOT_IMPLEMENTED, wholeName);
  void* infoHandle = nullptr;
  void* bitsHandle = nullptr;
  const int result = getPicture(path.c_str(), 0, 0, &infoHandle, &bitsHandle, nullptr, 0);
  // Whatever the result, handles the plug-in did hand back are freed.
  LockedHandle info(modules, infoHandle);
  LockedHandle bits(modules, bitsHandle);
  if (result != SUSIE_OK) ThrowError(result, wholeName);
  if (info.Data() == nullptr || bits.Data() == nullptr) return std::nullopt;
  BlockSizes sizes;
  if (!MeasureBlocks(info.Data(), sizes)) return std::nullopt;
  return DecodeDib(std::span(info.Data(), sizes.info), std::span(bits.Data(), sizes.bits));
}

// Extracts `member` of the archive `path` into `tempFolder`; returns the extracted file's path.
std::string ExtractMember(IModules& modules, const TPluginNode& node, const std::string& path,
                          const std::string& member, std::string_view tempFolder) {
  auto getFileInfo = reinterpret_cast<SusieGetFileInfoFunction>(modules.Export(node.module, "GetFileInfo"));
  auto getFile = reinterpret_cast<SusieGetFileFunction>(modules.Export(node.module, "GetFile"));
  if (getFileInfo == nullptr || getFile == nullptr) ThrowError(SUSIE_NOT_IMPLEMENTED, member);
  SusieFileInfo info{};
  int result = getFileInfo(path.c_str(), 0, member.c_str(), 0, &info);
  if (result != SUSIE_OK) ThrowError(result, member);
  const std::string dest(tempFolder);
  result = getFile(path.c_str(), static_cast<std::int32_t>(info.position), dest.c_str(), 0, nullptr, 0);
  if (result != SUSIE_OK) ThrowError(result, member);
  return JoinFolder(tempFolder, FieldText(info.filename, sizeof info.filename));
}

} // namespace

std::string JoinFolder(std::string_view folder, std::string_view fileName) {
  bool endsWithBackslash = false;
  for (std::size_t i = 0; i < folder.size(); i += CharLength(folder.substr(i))) {
    endsWithBackslash = folder[i] == '\\';
  }
  std::string path(folder);
  if (!endsWithBackslash) path += '\\';
  path.append(fileName);
  return path;
}

std::optional<Picture> LoadPicture(IFileSystem& files, IModules& modules, const TListPlugin& plugins,
                                   std::string_view tempFolder, std::string_view name) {
  const std::string wholeName(name);
  TWordList parts;
  parts.SplitArchivePath(wholeName.c_str());
  std::string current = parts.Item(1); // items count from 1
  for (int next = 2;; ++next) {
    std::array<std::uint8_t, SUSIE_HEADER_SIZE> header{};
    {
      std::unique_ptr<IReadFile> file = OpenOrThrow(files, current, wholeName);
      std::size_t got = 0;
      while (got < header.size()) {
        std::size_t n = file->Read(reinterpret_cast<char*>(header.data()) + got, header.size() - got);
        if (n == 0) break;
        got += n;
      }
    }
    const int handler = FindHandler(modules, plugins, current, header);
    if (handler < 0) {
      // Read as a BMP file; one that cannot be read now is no readable picture either.
      std::unique_ptr<IReadFile> file = files.OpenRead(current);
      if (file == nullptr) return std::nullopt;
      return DecodeBmp(ReadAll(*file));
    }
    const TPluginNode& node = plugins.Node(handler);
    const std::string_view tag = FieldText(node.tag, sizeof node.tag);
    if (tag == VELMO_TAG_PICTURE) return LoadWithPictureLoader(modules, node, current, wholeName);
    if (tag != VELMO_TAG_ARCHIVE) ThrowError(SUSIE_NOT_IMPLEMENTED, node.fileName);
    // Past the last part the member's name is empty, which an archive handler refuses; one that
    // accepts it anyway is stopped where a name's parts end at the latest.
    const std::string member = parts.Item(next);
    if (next >= TTokenList::PointerCount) ThrowError(SUSIE_NOT_IMPLEMENTED, member);
    current = ExtractMember(modules, node, current, member, tempFolder);
  }
}

} // namespace velmo
