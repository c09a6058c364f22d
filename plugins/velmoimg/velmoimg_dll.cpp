// velmoimg.spi: the picture loader's exports under their plain names (the build links with
// --kill-at), reading files with the system's file functions and handing the DIB over in
// local-memory handles, as the Susie interface has it.
#include "plugins/velmoimg/velmoimg_exports.h"

#include <windows.h>

#include <new>

namespace {

int ReadWholeFile(const char* path, std::vector<std::uint8_t>& bytes) {
  HANDLE file =
      CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return SUSIE_FILE_READ_ERROR;
  int result = SUSIE_OK;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size)) {
    result = SUSIE_FILE_READ_ERROR;
  } else if (size.QuadPart > 0x7FFFFFFF) {
    result = SUSIE_NO_MEMORY;
  } else {
    try {
      bytes.resize(static_cast<std::size_t>(size.QuadPart));
      std::size_t got = 0;
      while (got < bytes.size()) {
        DWORD n = 0;
        if (!ReadFile(file, bytes.data() + got, static_cast<DWORD>(bytes.size() - got), &n, nullptr) || n == 0) break;
        got += n;
      }
      if (got != bytes.size()) result = SUSIE_FILE_READ_ERROR;
    } catch (const std::bad_alloc&) {
      result = SUSIE_NO_MEMORY;
    }
  }
  CloseHandle(file);
  return result;
}

void* Allocate(std::size_t size, std::uint8_t** data) {
  HLOCAL handle = LocalAlloc(LMEM_MOVEABLE, size);
  if (handle == nullptr) return nullptr;
  *data = static_cast<std::uint8_t*>(LocalLock(handle));
  if (*data == nullptr) {
    LocalFree(handle);
    return nullptr;
  }
  return handle;
}

void Unlock(void* handle) { LocalUnlock(handle); }
void Release(void* handle) { LocalFree(handle); }

constexpr velmo::velmoimg::Host LocalMemoryHost{ReadWholeFile, Allocate, Unlock, Release};

} // namespace

extern "C" {

__declspec(dllexport) int __stdcall GetPluginInfo(int infoNumber, char* buffer, int bufferLength) {
  return velmo::velmoimg::GetPluginInfo(infoNumber, buffer, bufferLength);
}

__declspec(dllexport) int __stdcall IsSupported(const char* fileName, void* header) {
  return velmo::velmoimg::IsSupported(fileName, header);
}

__declspec(dllexport) int __stdcall GetPicture(const char* buf, std::int32_t len, std::uint32_t flag, HLOCAL* info,
                                               HLOCAL* bits, void*, std::int32_t) {
  return velmo::velmoimg::GetPicture(LocalMemoryHost, buf, len, flag, info, bits);
}

} // extern "C"
