#include "engine/plugin/user_procedure.h"

#include "engine/script/format.h"
#include "engine/script/word_list.h"
#include "engine/shell/engine.h"

#include <array>

namespace velmo {

void CallUserProcedure(Engine& engine, VelmoEntryFunction procedure, const char* paramList) {
  TListHash& vars = engine.variables;
  const TWordList items(paramList);
  // The texts handed out, kept apart from the block, which the procedure may change.
  std::array<char*, VELMO_PARAM_COUNT + 1> texts{};
  for (int i = 1; i <= VELMO_PARAM_COUNT; ++i) {
    const std::string name = FormatText("argv[%d]", i);
    vars.SetVarText(name, items.Item(i));
    texts[static_cast<std::size_t>(i)] = vars.ValueBuffer(name);
  }
  vars.SetVarText("exit", "");
  texts[0] = vars.ValueBuffer("exit");

  EffectBlock block{};
  block.screenDc = engine.screenSurface->Dc();
  block.screenPixels = engine.screenSurface->Bits();
  block.frameCounter = reinterpret_cast<intptr_t>(texts[0]);
  for (int i = 0; i < VELMO_PARAM_COUNT; ++i) block.params[i] = reinterpret_cast<intptr_t>(texts[i + 1]);
  block.window = engine.platform.window.NativeHandle();
  procedure(&block);
  // Every text the procedure could write ends within its buffer.
  for (char* text : texts) text[TListHash::ValueSize - 1] = '\0';
}

} // namespace velmo
