#include "engine/plugin/user_procedure.h"

#include "engine/platform/headless/memory_surface.h"

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
  TListHash vars;
  MemorySurface screen;
  vars.SetVarText("argv[5]", "stale");
  vars.SetVarText("exit", "old");
  CallUserProcedure(vars, screen, nullptr, Procedure, "one,two,\"three 3\"");
  EXPECT_EQ(seenArgv1, "one");
  EXPECT_EQ(seenArgv3, "three 3");
  EXPECT_EQ(seenScreen, screen.Bits());
  EXPECT_EQ(std::string(vars.GetVar("exit")), "done");
  EXPECT_EQ(std::string(vars.GetVar("argv[2]")), "second");
  EXPECT_EQ(std::string(vars.GetVar("argv[4]")), std::string(TListHash::ValueSize - 1, 'x'));
  EXPECT_EQ(std::string(vars.GetVar("argv[5]")), ""); // past the list: emptied
  EXPECT_EQ(std::string(vars.GetVar("argv[63]")), "");
}

} // namespace
} // namespace velmo
