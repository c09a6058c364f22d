#include "plugins/velmoimg/velmoimg_native.h"

#include "plugins/velmoimg/velmoimg_exports.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <utility>

namespace velmo::velmoimg {

namespace {

bool ReadHostFile(std::string_view path, std::vector<std::uint8_t>& bytes) {
  std::ifstream in{std::string(path), std::ios::binary};
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

FileReader& Reader() {
  static FileReader reader = ReadHostFile;
  return reader;
}

int ReadWithReader(const char* path, std::vector<std::uint8_t>& bytes) {
  try {
    return Reader()(path, bytes) ? SUSIE_OK : SUSIE_FILE_READ_ERROR;
  } catch (const std::bad_alloc&) {
    return SUSIE_NO_MEMORY;
  }
}

void* Allocate(std::size_t size, std::uint8_t** data) {
  *data = static_cast<std::uint8_t*>(std::malloc(size));
  return *data;
}

void Unlock(void*) {}
void Release(void* handle) { std::free(handle); }

constexpr Host MallocHost{ReadWithReader, Allocate, Unlock, Release};

int VELMO_STDCALL NativeGetPicture(const char* buf, std::int32_t len, std::uint32_t flag, void** info, void** bits,
                                   void*, std::int32_t) {
  return GetPicture(MallocHost, buf, len, flag, info, bits);
}

} // namespace

void SetFileReader(FileReader reader) { Reader() = reader ? std::move(reader) : FileReader(ReadHostFile); }

std::span<const plugin::NativePluginExport> NativeExports() {
  static const plugin::NativePluginExport table[] = {
      {"GetPluginInfo", reinterpret_cast<void*>(&GetPluginInfo)},
      {"IsSupported", reinterpret_cast<void*>(&IsSupported)},
      {"GetPicture", reinterpret_cast<void*>(&NativeGetPicture)},
  };
  return table;
}

} // namespace velmo::velmoimg
