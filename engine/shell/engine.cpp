#include "engine/shell/engine.h"

#include "engine/script/interpreter.h"

namespace velmo {

Engine::Engine(Platform& platformServices)
    : platform(platformServices), scenario(std::make_unique<TScenario>(platformServices.files)) {
  RegisterScriptCommands(commands);
}

} // namespace velmo
