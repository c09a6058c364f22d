#include "engine/plugin/user_procedure.h"

#include "tests/support/script_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace velmo {
namespace {

std::string seenArgv1;
std::string seenArgv3;
const void* seenScreen = nullptr;

// Reads two arguments, answers through exit and argv[2], and leaves argv[4] without an end.
int VELMO_STDCALL Procedure(void* block) {
  auto* b = static_cast<EffectBlock*>(block);
  seenArgv1 = reinterpret_cast<const char*>(b->params[0]);
  seenArgv3 = reinterpret_cast<const char*>(b->params[2]);
  seenScreen = b->screenPixels;
  std::strcpy(reinterpret_cast<char*>(b->frameCounter), "done");
  std::strcpy(reinterpret_cast<char*>(b->params[1]), "second");
  std::memset(reinterpret_cast<char*>(b->params[3]), 'x', TListHash::ValueSize);
  b->params[0] = 0; // what the procedure does to its block does not matter afterwards
  return 0;
}

TEST(UserProcedureTest, ArgumentsGoInAndTextsComeBackThroughTheVariables) {
  ScriptFixture f;
  f.engine.variables.SetVarText("argv[5]", "stale");
  f.engine.variables.SetVarText("exit", "old");
  CallUserProcedure(f.engine, Procedure, "one,two,\"three 3\"");
  EXPECT_EQ(seenArgv1, "one");
  EXPECT_EQ(seenArgv3, "three 3");
  EXPECT_EQ(seenScreen, f.engine.screenSurface->Bits());
  EXPECT_EQ(f.Var("exit"), "done");
  EXPECT_EQ(f.Var("argv[2]"), "second");
  EXPECT_EQ(f.Var("argv[4]"), std::string(TListHash::ValueSize - 1, 'x'));
  EXPECT_EQ(f.Var("argv[5]"), ""); // past the list: emptied
  EXPECT_EQ(f.Var("argv[63]"), "");
}

} // namespace
} // namespace velmo
