#include "engine/plugin/plugin_list.h"

#include "engine/base/sjis.h"

#include <cstring>

namespace velmo {

namespace {

// Releases a module unless it was handed on to a node.
class ModuleGuard {
public:
  ModuleGuard(IModules& m, void* handle) : modules(m), module(handle) {}
  ~ModuleGuard() {
    if (module != nullptr) modules.Free(module);
  }
  ModuleGuard(const ModuleGuard&) = delete;
  ModuleGuard& operator=(const ModuleGuard&) = delete;
  void* Get() const { return module; }
  void* Release() {
    void* handed = module;
    module = nullptr;
    return handed;
  }

private:
  IModules& modules;
  void* module;
};

} // namespace

std::vector<TException> TListPlugin::LoadAll(IFileSystem& files, std::string_view folder) {
  FreeAll();
  std::vector<TException> failures;
  for (const char* extension : {".spi", ".vpx"}) {
    for (const std::string& name : files.FindFiles(folder, extension)) {
      try {
        Add(folder, name);
      } catch (const TException& e) {
        failures.push_back(e);
      }
    }
  }
  return failures;
}

int TListPlugin::Add(std::string_view folder, std::string_view fileName) {
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    if (nodes[i]->fileName == fileName) return static_cast<int>(i);
  }
  return CreateNewNode(folder, fileName);
}

int TListPlugin::CreateNewNode(std::string_view folder, std::string_view fileName) {
  if (static_cast<int>(nodes.size()) >= Capacity) ThrowError(ErrUnsupported, "TListPlugin::CreateNewNode");
  ModuleGuard module(modules, modules.Load(std::string(folder) + "\\" + std::string(fileName)));
  if (module.Get() == nullptr) ThrowError(ErrBadFormat, fileName);
  auto getPluginInfo = reinterpret_cast<VelmoGetPluginInfo>(modules.Export(module.Get(), "GetPluginInfo"));
  if (getPluginInfo == nullptr) ThrowError(ErrBadFormat, fileName);
  // The plug-in is told 5 bytes; the larger buffer keeps one that writes past them in bounds.
  char tag[64] = {};
  if (getPluginInfo(0, tag, 5) == 0) ThrowError(ErrBadFormat, fileName);
  auto node = std::make_unique<TPluginNode>();
  node->fileName = fileName;
  std::memcpy(node->tag, tag, 4);
  node->tag[4] = '\0';
  node->module = module.Release();
  nodes.push_back(std::move(node));
  return LastIndex();
}

void TListPlugin::FreeAll() {
  while (!nodes.empty()) {
    modules.Free(nodes.back()->module);
    nodes.pop_back();
  }
}

VelmoEntryFunction TListPlugin::FindEffect(EffectInfo& info, const char* tag, const char* infoExport,
                                           bool* variant) const {
  const std::string wanted = info.name != nullptr ? info.name : "";
  const bool effectLookup = std::strcmp(tag, VELMO_TAG_EFFECT) == 0;
  for (const auto& node : nodes) {
    const bool isVariant = effectLookup && std::strcmp(node->tag, VELMO_TAG_EFFECT_EX) == 0;
    if (std::strcmp(node->tag, tag) != 0 && !isVariant) continue;
    auto getInfo = reinterpret_cast<VelmoGetEntryInfo>(modules.Export(node->module, infoExport));
    if (getInfo == nullptr) continue;
    for (int index = 0;; ++index) {
      EffectInfo scratch{};
      if (getInfo(index, &scratch) == 0) break;
      if (scratch.name == nullptr || !EqualsNoCase(scratch.name, wanted)) continue;
      getInfo(index, &info);
      if (variant != nullptr) *variant = isVariant;
      if (info.functionName == nullptr) return nullptr;
      return reinterpret_cast<VelmoEntryFunction>(modules.Export(node->module, info.functionName));
    }
  }
  return nullptr;
}

int TListPlugin::CallConfigurationDlg(int node, void* parent, int function) const {
  if (node < 0 || node > LastIndex()) return 0;
  auto dialog = reinterpret_cast<VelmoConfigurationDlg>(modules.Export(Node(node).module, "ConfigurationDlg"));
  return dialog != nullptr ? dialog(parent, function) : 0;
}

} // namespace velmo
