#pragma once

#include "engine/plugin/effect_host.h"

namespace velmo {

class Engine;

// Calls a user procedure once, as @UserProc does: every "argv[%d]" variable 1..63 first takes
// the matching item of `paramList` (or the empty text) and "exit" the empty text; the block then
// gives the procedure the screen, pointers to those variables' own 64-byte texts (exit in the
// counter's place, argv[i] in parameter i) and the main window. The procedure's result is not
// used. Texts it leaves unterminated are cut at 63 bytes.
void CallUserProcedure(Engine& engine, VelmoEntryFunction procedure, const char* paramList);

} // namespace velmo
