#include "engine/core/engine.h"

#include "engine/core/script_door.h"
#include "engine/graphics/picture_loader.h"
#include "engine/graphics/screen.h"
#include "engine/media/media_set.h"
#include "engine/platform/platform.h"
#include "engine/plugin/plugin_set.h"
#include "engine/save/save_data.h"
#include "engine/script/script_state.h"
#include "engine/text/message_window.h"
#include "engine/text/selection.h"

namespace velmo {

// The parts in the order they are made; they end in the reverse order.
struct Engine::Parts {
  Parts(Platform& platform, RunControl& run)
      : door(platform.window), script(platform.files), screen(platform.graphics), plugins(platform.modules),
        messageWindow(screen, run, door, platform.window), selection(screen, messageWindow, platform.window),
        saveData(platform.files, platform.clock, script.variables), media(platform, door, run) {}

  ScriptDoor door;
  ScriptState script;
  Screen screen;
  PluginSet plugins;
  MessageWindow messageWindow;
  Selection selection;
  SaveData saveData;
  MediaSet media;
};

Engine::Engine(Platform& platformServices, const CommandTable& commandTable, EngineSeams engineSeams)
    : platform(platformServices), commands(commandTable), parts(std::make_unique<Parts>(platformServices, run)),
      seams(engineSeams), door(parts->door), script(parts->script), screen(parts->screen), plugins(parts->plugins),
      messageWindow(parts->messageWindow), selection(parts->selection), saveData(parts->saveData), media(parts->media) {
}

Engine::~Engine() = default;

IMessageWindow& Engine::Messages() { return seams.messageWindow != nullptr ? *seams.messageWindow : messageWindow; }

ISelection& Engine::Choices() { return seams.selection != nullptr ? *seams.selection : selection; }

IMediaChannels& Engine::Media() { return seams.media != nullptr ? *seams.media : media; }

ITransitionRunner& Engine::Transition() { return seams.transition != nullptr ? *seams.transition : plugins.host; }

PictureSource Engine::Pictures() { return {platform.files, platform.modules, plugins.list, tempFolder}; }

} // namespace velmo
