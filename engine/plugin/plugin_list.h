#pragma once

#include "engine/base/errors.h"
#include "engine/platform/platform.h"
#include "plugins/include/velmo_plugin.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmo {

// One loaded plug-in: its file name (without folder), the tag it reports and its module.
struct TPluginNode {
  std::string fileName;
  char tag[5] = {};
  void* module = nullptr;
};

// The engine's plug-ins, picture plug-ins first, then effect plug-ins, in load order; at most
// 64. The list owns the modules, so function pointers taken from them stay valid until it is
// freed at shutdown.
class TListPlugin {
public:
  static constexpr int Capacity = 64;

  explicit TListPlugin(IModules& moduleLoader) : modules(moduleLoader) {}
  ~TListPlugin() { FreeAll(); }
  TListPlugin(const TListPlugin&) = delete;
  TListPlugin& operator=(const TListPlugin&) = delete;

  // Loads every ".spi" file of `folder`, then every ".vpx" file, in the order the system lists
  // them. A file that cannot become a plug-in is left out, and start-up goes on: its error is
  // returned for the error log.
  std::vector<TException> LoadAll(IFileSystem& files, std::string_view folder);
  // The index of the plug-in `fileName` (case-sensitive), loading it when it is new.
  int Add(std::string_view folder, std::string_view fileName);
  // Loads `folder\fileName` and appends it. Raises ErrUnsupported "TListPlugin::CreateNewNode"
  // when 64 are loaded, ErrBadFormat with the file name when it is not a module, lacks
  // GetPluginInfo or reports no tag; the list is then unchanged.
  int CreateNewNode(std::string_view folder, std::string_view fileName);
  void FreeAll();

  // Looks an entry up by the name in `info.name` (ignoring case) among the plug-ins with tag `tag`
  // that export `infoExport`, in list order; the effect lookup ("00ME") also takes the plug-ins
  // on the variant block ("00MX") where they stand in the list, and `variant` then tells which
  // block the entry takes. On success `info` is the plug-in's and the entry function is returned
  // (nullptr when the plug-in lacks the export the info names); when no plug-in has the name,
  // nullptr and `info` is left as it was.
  VelmoEntryFunction FindEffect(EffectInfo& info, const char* tag, const char* infoExport,
                                bool* variant = nullptr) const;
  // The plug-in's ConfigurationDlg, or 0 when it has none.
  int CallConfigurationDlg(int node, void* parent, int function) const;

  int LastIndex() const { return static_cast<int>(nodes.size()) - 1; }
  const TPluginNode& Node(int index) const { return *nodes[static_cast<std::size_t>(index)]; }

private:
  IModules& modules;
  std::vector<std::unique_ptr<TPluginNode>> nodes;
};

// The four lookups.
inline constexpr const char* TransitionInfoExport = "GetTransitionInfo";
inline constexpr const char* EffectInfoExport = "GetEffectInfo";
inline constexpr const char* FilterInfoExport = "GetFilterInfo";
inline constexpr const char* UserProcInfoExport = "GetUserProcInfo";

} // namespace velmo
