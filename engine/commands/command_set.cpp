#include "engine/commands/command_set.h"

#include "engine/commands/layer_commands.h"
#include "engine/commands/media_commands.h"
#include "engine/commands/save_commands.h"
#include "engine/commands/script_commands.h"
#include "engine/commands/system_commands.h"
#include "engine/commands/text_commands.h"

namespace velmo {

namespace {

CommandTable MakeStandardCommands() {
  CommandTable table;
  RegisterScriptCommands(table);
  RegisterLayerCommands(table);
  RegisterTextCommands(table);
  RegisterSaveCommands(table);
  RegisterSystemCommands(table);
  RegisterMediaCommands(table);
  return table;
}

} // namespace

const CommandTable& StandardCommands() {
  static const CommandTable table = MakeStandardCommands();
  return table;
}

} // namespace velmo
