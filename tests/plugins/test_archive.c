/* A "00AM" archive handler for a format of the tests' own:
     "VARC", then members, each a NUL-terminated name (which may hold a folder, "cg\a.bmp"), a
     32-bit little-endian size and that many bytes.
   A member's position is the offset of its name; it is extracted under its name without folder. */
#include "plugins/include/susie_plugin.h"
#include "tests/plugins/plugin_info.h"

#include <windows.h>

TEST_EXPORT int __stdcall GetPluginInfo(int infoNumber, char* buffer, int bufferLength) {
  if (infoNumber == 0) return CopyInfoText(VELMO_TAG_ARCHIVE, buffer, bufferLength);
  if (infoNumber == 1) return CopyInfoText("velmo test archive handler", buffer, bufferLength);
  return 0;
}

TEST_EXPORT int __stdcall IsSupported(const char* filename, void* header) {
  (void)filename;
  return memcmp(header, "VARC", 4) == 0;
}

static unsigned char archive[65536];

/* Reads the archive into `archive`; its size, or -1. */
static int ReadArchive(const char* path) {
  DWORD got = 0;
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
  if (file == INVALID_HANDLE_VALUE) return -1;
  if (!ReadFile(file, archive, sizeof archive, &got, NULL)) got = 0;
  CloseHandle(file);
  return (int)got;
}

/* The member at `pos`: its name's length and its size; 0 when it is not a whole member. */
static int MemberAt(int pos, int size, int* nameLength, int* memberSize) {
  int end = pos;
  while (end < size && archive[end] != 0) ++end;
  if (end + 5 > size) return 0;
  *nameLength = end - pos;
  *memberSize = archive[end + 1] | archive[end + 2] << 8 | archive[end + 3] << 16 | archive[end + 4] << 24;
  return *memberSize >= 0 && end + 5 + *memberSize <= size;
}

static const char* BaseName(const char* name) {
  const char* base = name;
  for (; *name != '\0'; ++name) {
    if (*name == '\\') base = name + 1;
  }
  return base;
}

TEST_EXPORT int __stdcall GetFileInfo(const char* buf, int32_t len, const char* filename, uint32_t flag,
                                      SusieFileInfo* info) {
  int size = ReadArchive(buf), pos = 4, nameLength, memberSize;
  if (len != 0 || flag != 0) return SUSIE_NOT_IMPLEMENTED;
  if (size < 4) return SUSIE_FILE_READ_ERROR;
  if (memcmp(archive, "VARC", 4) != 0) return SUSIE_UNKNOWN_FORMAT;
  while (MemberAt(pos, size, &nameLength, &memberSize)) {
    if ((int)strlen(filename) == nameLength && memcmp(archive + pos, filename, (size_t)nameLength) == 0) {
      memset(info, 0, sizeof *info);
      memcpy(info->method, "VARC", 4);
      info->position = (uint32_t)pos;
      info->compsize = info->filesize = (uint32_t)memberSize;
      strncpy(info->filename, BaseName(filename), sizeof info->filename - 1);
      return SUSIE_OK;
    }
    pos += nameLength + 5 + memberSize;
  }
  return SUSIE_UNKNOWN_FORMAT;
}

TEST_EXPORT int __stdcall GetFile(const char* src, int32_t len, const char* dest, uint32_t flag, void* progress,
                                  int32_t data) {
  char path[MAX_PATH];
  int size = ReadArchive(src), nameLength, memberSize;
  size_t destLength = strlen(dest);
  HANDLE file;
  DWORD written = 0;
  (void)progress;
  (void)data;
  if (flag != 0) return SUSIE_NOT_IMPLEMENTED;
  if (size < 4) return SUSIE_FILE_READ_ERROR;
  if (len < 4 || !MemberAt(len, size, &nameLength, &memberSize)) return SUSIE_BROKEN_DATA;
  if (destLength + 1 + (size_t)nameLength + 1 > sizeof path) return SUSIE_INTERNAL_ERROR;
  memcpy(path, dest, destLength);
  if (destLength == 0 || dest[destLength - 1] != '\\') path[destLength++] = '\\';
  memcpy(path + destLength, archive + len, (size_t)nameLength);
  path[destLength + (size_t)nameLength] = '\0';
  memmove(path + destLength, BaseName(path + destLength), strlen(BaseName(path + destLength)) + 1);
  file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return SUSIE_FILE_READ_ERROR;
  WriteFile(file, archive + len + nameLength + 5, (DWORD)memberSize, &written, NULL);
  CloseHandle(file);
  return written == (DWORD)memberSize ? SUSIE_OK : SUSIE_FILE_READ_ERROR;
}
