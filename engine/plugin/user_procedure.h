#pragma once

#include "engine/platform/surface.h"
#include "engine/script/list_hash.h"
#include "plugins/include/velmo_plugin.h"

namespace velmo {

// Calls a user procedure once, as @UserProc does: every "argv[%d]" variable 1..63 of `variables`
// first takes the matching item of `paramList` (or the empty text) and "exit" the empty text; the
// block then gives the procedure the screen, pointers to those variables' own 64-byte texts (exit
// in the counter's place, argv[i] in parameter i) and the main window (`window`, nullptr where
// there is none). The procedure's result is not used. Texts it leaves unterminated are cut at 63
// bytes.
void CallUserProcedure(TListHash& variables, const TSurface& screen, void* window, VelmoEntryFunction procedure,
                       const char* paramList);

} // namespace velmo
