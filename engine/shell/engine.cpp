#include "engine/shell/engine.h"

#include "engine/graphics/layer_commands.h"
#include "engine/script/interpreter.h"
#include "engine/text/text_commands.h"

namespace velmo {

Engine::Engine(Platform& platformServices)
    : platform(platformServices), baseSurface(platformServices.graphics.CreateSurface()),
      windowSurface(platformServices.graphics.CreateSurface()),
      composeSurface(platformServices.graphics.CreateSurface()),
      previousSurface(platformServices.graphics.CreateSurface()),
      screenSurface(platformServices.graphics.CreateSurface()),
      scenario(std::make_unique<TScenario>(platformServices.files)), plugins(platformServices.modules) {
  RegisterScriptCommands(commands);
  RegisterLayerCommands(commands);
  RegisterTextCommands(commands);
  ownMessageWindow = std::make_unique<MessageWindow>(*this);
  ownSelection = std::make_unique<Selection>(*this);
  messageWindow = ownMessageWindow.get();
  selection = ownSelection.get();
}

const char* CreateEngineObjects(Engine& engine, std::string_view systemFolder) {
  engine.pluginFailures = engine.plugins.LoadAll(engine.platform.files, systemFolder);
  for (const auto* surface : {&engine.baseSurface, &engine.windowSurface, &engine.composeSurface,
                              &engine.previousSurface, &engine.screenSurface}) {
    if (*surface == nullptr) return "TSurface";
  }
  engine.flashbackSurfaces.clear();
  for (std::int32_t i = 0; i < engine.settings.maxFlashbackBuf; ++i) {
    std::unique_ptr<TSurface> surface = engine.platform.graphics.CreateSurface();
    if (surface == nullptr) return "TSurface";
    engine.flashbackSurfaces.push_back(std::move(surface));
  }
  return nullptr;
}

} // namespace velmo
