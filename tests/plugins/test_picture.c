/* A "00IN" picture loader for a format of the tests' own:
     "VPIC", width and height (one byte each), then width x height pixels of B, G, R, top row
     first.
   GetPicture returns a 24-bit bottom-up BITMAPINFO and rows padded to 4 bytes, each in a
   local-memory handle of exactly its size. */
#include "plugins/include/susie_plugin.h"
#include "tests/plugins/plugin_info.h"

#include <windows.h>

TEST_EXPORT int __stdcall GetPluginInfo(int infoNumber, char* buffer, int bufferLength) {
  if (infoNumber == 0) return CopyInfoText(VELMO_TAG_PICTURE, buffer, bufferLength);
  if (infoNumber == 1) return CopyInfoText("velmo test picture loader", buffer, bufferLength);
  return 0;
}

TEST_EXPORT int __stdcall IsSupported(const char* filename, void* header) {
  (void)filename;
  return memcmp(header, "VPIC", 4) == 0;
}

/* Reads at most `capacity` bytes of the file; the number read, or -1. */
static int ReadStart(const char* path, unsigned char* buffer, DWORD capacity) {
  DWORD got = 0;
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
  if (file == INVALID_HANDLE_VALUE) return -1;
  if (!ReadFile(file, buffer, capacity, &got, NULL)) got = 0;
  CloseHandle(file);
  return (int)got;
}

TEST_EXPORT int __stdcall GetPicture(const char* buf, int32_t len, uint32_t flag, HLOCAL* info, HLOCAL* bits,
                                     void* progress, int32_t data) {
  static unsigned char file[6 + 255 * 255 * 3];
  int size, width, height, stride, x, y;
  BITMAPINFOHEADER* header;
  unsigned char* rows;
  (void)progress;
  (void)data;
  if (len != 0 || flag != 0) return SUSIE_NOT_IMPLEMENTED;
  size = ReadStart(buf, file, sizeof file);
  if (size < 6) return SUSIE_FILE_READ_ERROR;
  if (memcmp(file, "VPIC", 4) != 0) return SUSIE_UNKNOWN_FORMAT;
  width = file[4];
  height = file[5];
  if (width == 0 || height == 0 || size < 6 + width * height * 3) return SUSIE_BROKEN_DATA;
  stride = (width * 3 + 3) / 4 * 4;
  *info = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, sizeof(BITMAPINFOHEADER));
  *bits = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, (SIZE_T)(stride * height));
  if (*info == NULL || *bits == NULL) {
    if (*info != NULL) LocalFree(*info);
    if (*bits != NULL) LocalFree(*bits);
    return SUSIE_NO_MEMORY;
  }
  header = (BITMAPINFOHEADER*)LocalLock(*info);
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = width;
  header->biHeight = height;
  header->biPlanes = 1;
  header->biBitCount = 24;
  header->biCompression = BI_RGB;
  LocalUnlock(*info);
  rows = (unsigned char*)LocalLock(*bits);
  for (y = 0; y < height; ++y) {
    for (x = 0; x < width * 3; ++x) rows[(height - 1 - y) * stride + x] = file[6 + y * width * 3 + x];
  }
  LocalUnlock(*bits);
  return SUSIE_OK;
}
