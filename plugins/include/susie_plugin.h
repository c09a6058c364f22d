/* The Susie plug-in interface as the engine uses it: picture loaders (tag "00IN") and archive
   handlers (tag "00AM"), 32-bit DLLs with the extension .spi in the system folder. The engine
   calls four of their exports; this header gives their signatures and the file-information
   record an archive handler fills.

   The record's layout is that of a 32-bit Windows process, where the interface's "long" and
   "time_t" are 4 bytes; the fields are written with fixed-width types so that the same fake
   plug-ins work in the engine's host tests, where "long" is 8 bytes. */
#ifndef VELMO_SUSIE_PLUGIN_H
#define VELMO_SUSIE_PLUGIN_H

#include "plugins/include/velmo_plugin.h"

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Results of the exports other than IsSupported; any non-zero value is passed on by the engine
   as a script error code. */
#define SUSIE_OK 0
#define SUSIE_NOT_IMPLEMENTED (-1)
#define SUSIE_ABORTED 1
#define SUSIE_UNKNOWN_FORMAT 2
#define SUSIE_BROKEN_DATA 3
#define SUSIE_NO_MEMORY 4
#define SUSIE_MEMORY_ERROR 5
#define SUSIE_FILE_READ_ERROR 6
#define SUSIE_RESERVED 7
#define SUSIE_INTERNAL_ERROR 8

/* The bytes of the start of a file handed to IsSupported. */
#define SUSIE_HEADER_SIZE 2048

/* One member of an archive: 428 bytes. The engine reads `position` (handed back to GetFile) and
   `filename` (the name the member is extracted under; NUL-terminated unless it fills all 200
   bytes). */
typedef struct SusieFileInfo {
  uint8_t method[8];  /* compression method, as text */
  uint32_t position;  /* the member's position in the archive */
  uint32_t compsize;  /* bytes in the archive */
  uint32_t filesize;  /* bytes once extracted */
  int32_t timestamp;  /* seconds since 1970-01-01 00:00 UTC */
  char path[200];     /* folder inside the archive */
  char filename[200]; /* file name */
  uint32_t crc;
} SusieFileInfo;

/* Exports, all __stdcall, under these exact names.
   IsSupported: `header` is the first SUSIE_HEADER_SIZE bytes of the file (zeros past its end);
     non-zero when the plug-in reads the file.
   GetPicture: buf = the file name, len = 0, flag = 0 (input is a disk file); on success *info
     and *bits receive local-memory handles of a BITMAPINFO (header and palette) and the pixel
     rows, which the caller frees.
   GetFileInfo: buf = the archive's file name, len = 0, filename = the member's name, flag = 0.
   GetFile: src = the archive's file name, len = the member's position, dest = the folder to
     extract into, flag = 0 (output is a disk file). */
typedef int(VELMO_STDCALL* SusieIsSupportedFunction)(const char* filename, void* header);
typedef int(VELMO_STDCALL* SusieGetPictureFunction)(const char* buf, int32_t len, uint32_t flag, void** info,
                                                    void** bits, void* progress, int32_t data);
typedef int(VELMO_STDCALL* SusieGetFileInfoFunction)(const char* buf, int32_t len, const char* filename, uint32_t flag,
                                                     SusieFileInfo* info);
typedef int(VELMO_STDCALL* SusieGetFileFunction)(const char* src, int32_t len, const char* dest, uint32_t flag,
                                                 void* progress, int32_t data);

#ifdef __cplusplus
}
#endif

#if defined(__i386__) || defined(_M_IX86)
VELMO_STATIC_ASSERT(offsetof(SusieFileInfo, position) == 8, "SusieFileInfo.position");
VELMO_STATIC_ASSERT(offsetof(SusieFileInfo, timestamp) == 20, "SusieFileInfo.timestamp");
VELMO_STATIC_ASSERT(offsetof(SusieFileInfo, path) == 24, "SusieFileInfo.path");
VELMO_STATIC_ASSERT(offsetof(SusieFileInfo, filename) == 224, "SusieFileInfo.filename");
VELMO_STATIC_ASSERT(offsetof(SusieFileInfo, crc) == 424, "SusieFileInfo.crc");
VELMO_STATIC_ASSERT(sizeof(SusieFileInfo) == 428, "SusieFileInfo is 428 bytes");
#endif

#endif /* VELMO_SUSIE_PLUGIN_H */
