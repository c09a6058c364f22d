#pragma once

// The exports of the picture loader plug-in velmoimg.spi (tag "00IN"), as functions of this
// build: the DLL exports GetPluginInfo, IsSupported and GetPicture under these names, each with
// its way of reading files and handing memory over (a Host); the native build lists them for
// velmo-run.
#include "plugins/common/plugin_info.h"
#include "plugins/include/susie_plugin.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace velmo::velmoimg {

// What GetPicture needs of the build it runs in.
struct Host {
  // Reads the whole file `path` into `bytes`: SUSIE_OK, SUSIE_FILE_READ_ERROR when it cannot be
  // opened or read, SUSIE_NO_MEMORY when it does not fit into memory.
  int (*readFile)(const char* path, std::vector<std::uint8_t>& bytes);
  // A block of `size` bytes for the caller to free, as a handle, locked: *data is where it may be
  // written until unlock. Null when there is no memory.
  void* (*allocate)(std::size_t size, std::uint8_t** data);
  void (*unlock)(void* handle);
  void (*release)(void* handle);
};

// Information 0 is the tag "00IN", 1 the description, then for each format k = 0..3 (PNG, JPEG,
// GIF, TGA) 2k + 2 the file-name filter ("*.png") and 2k + 3 its description. Copied as
// CopyInfoText copies; any other number gives 0.
int VELMO_STDCALL GetPluginInfo(int infoNumber, char* buffer, int bufferLength);

// Non-zero when `header` (SUSIE_HEADER_SIZE bytes of the start of the file) is a picture this
// plug-in reads (ClaimedFormat). A value below 65,536 is a file handle, as hosts that do not read
// the header themselves pass: such a call gets 0.
int VELMO_STDCALL IsSupported(const char* fileName, void* header);

// GetPicture as the Susie interface defines it. Input (flag & 7): 0 = the file named `buf`, its
// picture starting at byte `len`; 1 = `len` bytes in memory at `buf`; other kinds give
// SUSIE_NOT_IMPLEMENTED. On success *info and *bits receive the handed-over DIB's two blocks,
// each exactly as large as it needs to be; on failure both are null and the result is the code:
// SUSIE_FILE_READ_ERROR (no such file, an offset past its end), SUSIE_MEMORY_ERROR (no block
// pointers, no memory input, a negative length), or a code of Decode. The progress callback is
// not called.
int GetPicture(const Host& host, const char* buf, std::int32_t len, std::uint32_t flag, void** info, void** bits);

extern const char* const Description;

} // namespace velmo::velmoimg
