/* A "00MP" plug-in with one user procedure: it sets the script's `exit` to "done" and turns the
   text of argv[1] to upper case in place. */
#include "tests/plugins/plugin_info.h"

TEST_EXPORT int __stdcall GetPluginInfo(int infoNumber, char* buffer, int bufferLength) {
  if (infoNumber == 0) return CopyInfoText(VELMO_TAG_USERPROC, buffer, bufferLength);
  if (infoNumber == 1) return CopyInfoText("velmo test user procedure", buffer, bufferLength);
  return 0;
}

TEST_EXPORT int __stdcall GetUserProcInfo(int index, EffectInfo* out) {
  if (index != 0) return 0;
  memset(out, 0, sizeof *out);
  out->name = "TESTPROC";
  out->functionName = "TestProc";
  return 1;
}

/* The texts are the variables' own storage of 64 bytes each. */
TEST_EXPORT int __stdcall TestProc(EffectBlock* block) {
  char* exitText = (char*)block->frameCounter;
  char* argv1 = (char*)block->params[0];
  int i;
  strcpy(exitText, "done");
  for (i = 0; i < 63 && argv1[i] != '\0'; ++i) {
    if (argv1[i] >= 'a' && argv1[i] <= 'z') argv1[i] = (char)(argv1[i] - 'a' + 'A');
  }
  return 0;
}
