#pragma once

// velmoimg compiled into the program that uses it (velmo-run): its exports by name, handing the
// DIB over in std::malloc blocks (the headless platform frees a plug-in's memory handle with
// std::free), and reading the files the engine names through a reader the program sets.
#include "plugins/common/plugin_info.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace velmo::velmoimg {

// Reads the whole file `path` into `bytes`; false when it cannot be read.
using FileReader = std::function<bool(std::string_view path, std::vector<std::uint8_t>& bytes)>;

// Sets the reader of GetPicture's files; an empty one restores the default, which reads the
// host's file at `path` as written.
void SetFileReader(FileReader reader);

std::span<const plugin::NativePluginExport> NativeExports();

} // namespace velmo::velmoimg
