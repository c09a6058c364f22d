#include "plugins/native/native_plugins.h"

#include "plugins/bandwipe/bandwipe_exports.h"
#include "plugins/basicfx/basicfx_exports.h"
#include "plugins/weatherfx/weatherfx_exports.h"

#include <algorithm>
#include <cctype>

namespace velmo {

namespace {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

} // namespace

std::span<const NativePluginExport> FindNativePlugin(std::string_view fileName) {
  if (SameNameIgnoringCase(fileName, "bandwipe.vpx")) return bandwipe::Exports();
  if (SameNameIgnoringCase(fileName, "basicfx.vpx")) return basicfx::Exports();
  if (SameNameIgnoringCase(fileName, "weatherfx.vpx")) return weatherfx::Exports();
  if (SameNameIgnoringCase(fileName, "velmoimg.spi")) return velmoimg::NativeExports();
  return {};
}

void ResetNativePlugins() {
  bandwipe::ResetForLoad();
  basicfx::ResetForLoad();
  weatherfx::ResetForLoad();
}

} // namespace velmo
