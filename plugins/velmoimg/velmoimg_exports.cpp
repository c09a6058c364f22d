#include "plugins/velmoimg/velmoimg_exports.h"

#include "plugins/velmoimg/picture_decoder.h"

#include <cstdint>
#include <iterator>
#include <new>

namespace velmo::velmoimg {

namespace {

constexpr const char* FormatTexts[][2] = {
    {"*.png", "PNG ファイル"},
    {"*.jpg;*.jpeg;*.jpe;*.jfif", "JPEG ファイル"},
    {"*.gif", "GIF ファイル"},
    {"*.tga", "TGA ファイル"},
};

constexpr int FirstFormatInfo = 2;
constexpr int InputKindMask = 7, InputFile = 0, InputMemory = 1;

// A block of the host's memory filled by `fill`, handed over unlocked; null when there is no
// memory.
template <typename Fill> void* HandOver(const Host& host, std::size_t size, Fill fill) {
  std::uint8_t* data = nullptr;
  void* handle = host.allocate(size, &data);
  if (handle == nullptr) return nullptr;
  fill(std::span<std::uint8_t>(data, size));
  host.unlock(handle);
  return handle;
}

int Deliver(const Host& host, std::span<const std::uint8_t> file, void** info, void** bits) {
  RgbPicture picture;
  const int result = Decode(file, picture);
  if (result != SUSIE_OK) return result;
  const int width = picture.Width(), height = picture.Height();
  void* infoHandle = HandOver(
      host, InfoSize, [&](std::span<std::uint8_t> block) { WriteInfoHeader(width, height, block.first<InfoSize>()); });
  void* bitsHandle = HandOver(host, RowBytes(width) * static_cast<std::size_t>(height),
                              [&](std::span<std::uint8_t> block) { picture.WriteBits(block); });
  if (infoHandle == nullptr || bitsHandle == nullptr) {
    if (infoHandle != nullptr) host.release(infoHandle);
    if (bitsHandle != nullptr) host.release(bitsHandle);
    return SUSIE_NO_MEMORY;
  }
  *info = infoHandle;
  *bits = bitsHandle;
  return SUSIE_OK;
}

} // namespace

const char* const Description = "velmoimg PNG・JPEG・GIF・TGA 画像ローダ v1.00";

int VELMO_STDCALL GetPluginInfo(int infoNumber, char* buffer, int bufferLength) {
  if (infoNumber == 0 || infoNumber == 1) {
    return plugin::CopyPluginInfo(infoNumber, VELMO_TAG_PICTURE, Description, buffer, bufferLength);
  }
  const int format = (infoNumber - FirstFormatInfo) / 2;
  if (infoNumber < FirstFormatInfo || format >= static_cast<int>(std::size(FormatTexts))) return 0;
  return plugin::CopyInfoText(FormatTexts[format][infoNumber % 2], buffer, bufferLength);
}

int VELMO_STDCALL IsSupported(const char* fileName, void* header) {
  if (reinterpret_cast<std::uintptr_t>(header) < 0x10000) return 0;
  const std::span<const std::uint8_t> start(static_cast<const std::uint8_t*>(header), SUSIE_HEADER_SIZE);
  return ClaimedFormat(fileName != nullptr ? fileName : "", start) != Format::None ? 1 : 0;
}

int GetPicture(const Host& host, const char* buf, std::int32_t len, std::uint32_t flag, void** info, void** bits) {
  if (info == nullptr || bits == nullptr) return SUSIE_MEMORY_ERROR;
  *info = nullptr;
  *bits = nullptr;
  try {
    const std::uint32_t kind = flag & InputKindMask;
    if (kind == InputMemory) {
      if (buf == nullptr || len < 0) return SUSIE_MEMORY_ERROR;
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(buf);
      return Deliver(host, std::span(bytes, static_cast<std::size_t>(len)), info, bits);
    }
    if (kind != InputFile) return SUSIE_NOT_IMPLEMENTED;
    if (buf == nullptr || len < 0) return SUSIE_FILE_READ_ERROR;
    std::vector<std::uint8_t> file;
    const int read = host.readFile(buf, file);
    if (read != SUSIE_OK) return read;
    const auto offset = static_cast<std::size_t>(len);
    if (offset > file.size()) return SUSIE_FILE_READ_ERROR;
    return Deliver(host, std::span(file).subspan(offset), info, bits);
  } catch (const std::bad_alloc&) {
    return SUSIE_NO_MEMORY;
  }
}

} // namespace velmo::velmoimg
