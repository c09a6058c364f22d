#include "engine/plugin/user_procedure.h"

#include "engine/base/format.h"
#include "engine/script/arguments.h"

#include <array>

namespace velmo {

void CallUserProcedure(TListHash& vars, const TSurface& screen, void* window, VelmoEntryFunction procedure,
                       const char* paramList) {
  SetArguments(vars, paramList);
  // The texts handed out, kept apart from the block, which the procedure may change.
  std::array<char*, VELMO_PARAM_COUNT + 1> texts{};
  for (int i = 1; i <= VELMO_PARAM_COUNT; ++i) {
    texts[static_cast<std::size_t>(i)] = vars.ValueBuffer(FormatText("argv[%d]", i));
  }
  vars.SetVarText("exit", "");
  texts[0] = vars.ValueBuffer("exit");

  EffectBlock block{};
  block.screenDc = screen.Dc();
  block.screenPixels = screen.Bits();
  block.frameCounter = reinterpret_cast<intptr_t>(texts[0]);
  for (std::size_t i = 0; i < VELMO_PARAM_COUNT; ++i) block.params[i] = reinterpret_cast<intptr_t>(texts[i + 1]);
  block.window = window;
  procedure(&block);
  // Every text the procedure could write ends within its buffer.
  for (char* text : texts) text[TListHash::ValueSize - 1] = '\0';
}

} // namespace velmo
