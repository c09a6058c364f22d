/* A "00ME" plug-in with two transitions, two effects and a filter. The transition reveals the
   new picture from the top in bands of 120 rows, one more band a frame, and finishes after the
   frame with counter 3; it remembers the counters and the first parameter it was given, which
   TestTakeCounters and TestLastParam hand to the test. */
#include "tests/plugins/plugin_info.h"

#include <windows.h>

#define MAX_CALLS 64

static int32_t seenCounters[MAX_CALLS];
static int seenCount = 0;
static intptr_t lastParam = 0;

TEST_EXPORT int __stdcall GetPluginInfo(int infoNumber, char* buffer, int bufferLength) {
  if (infoNumber == 0) return CopyInfoText(VELMO_TAG_EFFECT, buffer, bufferLength);
  if (infoNumber == 1) return CopyInfoText("velmo test transitions, effects and filter", buffer, bufferLength);
  return 0;
}

static int FillInfo(EffectInfo* out, const char* name, const char* functionName, int32_t intervalMs, int32_t param1,
                    int32_t param2) {
  memset(out, 0, sizeof *out);
  out->name = name;
  out->functionName = functionName;
  out->intervalMs = intervalMs;
  out->params[0] = param1;
  out->params[1] = param2;
  out->params[VELMO_PARAM_COUNT - 1] = 63;
  return 1;
}

TEST_EXPORT int __stdcall GetTransitionInfo(int index, EffectInfo* out) {
  switch (index) {
  case 0:
    return FillInfo(out, "TESTWIPE", "TestWipe", 20, 7, 8);
  case 1:
    return FillInfo(out, "SECOND", "TestSecond", 40, 1, 2);
  default:
    return 0;
  }
}

TEST_EXPORT int __stdcall GetEffectInfo(int index, EffectInfo* out) {
  switch (index) {
  case 0:
    return FillInfo(out, "TESTFX", "TestSecond", 50, 3, 4);
  /* Names an export the plug-in does not have. */
  case 1:
    return FillInfo(out, "MISSING", "NoSuchExport", 60, 5, 6);
  default:
    return 0;
  }
}

TEST_EXPORT int __stdcall GetFilterInfo(int index, EffectInfo* out) {
  if (index == 0) return FillInfo(out, "NEGATE", "TestNegate", 0, 9, 10);
  return 0;
}

TEST_EXPORT int __stdcall TestWipe(EffectBlock* block) {
  int32_t counter = (int32_t)block->frameCounter;
  int rows = counter >= VELMO_FINAL_FRAME ? 480 : (counter + 1) * 120;
  if (seenCount < MAX_CALLS) seenCounters[seenCount++] = counter;
  lastParam = block->params[0];
  if (rows > 480) rows = 480;
  if (rows > 0) BitBlt((HDC)block->screenDc, 0, 0, 640, rows, (HDC)block->toDc, 0, 0, SRCCOPY);
  return counter < 3;
}

TEST_EXPORT int __stdcall TestSecond(EffectBlock* block) {
  (void)block;
  return 0;
}

/* Inverts every byte of the surface's pixels. */
TEST_EXPORT int __stdcall TestNegate(EffectBlock* block) {
  size_t i;
  for (i = 0; i < 640 * 480 * 3; ++i) block->screenPixels[i] = (uint8_t)~block->screenPixels[i];
  return 0;
}

TEST_EXPORT int __stdcall ConfigurationDlg(void* parent, int function) {
  (void)parent;
  return function * 10;
}

/* Copies the counters seen since the last call into `out` (at most `capacity`) and forgets
   them; the number copied. */
TEST_EXPORT int __stdcall TestTakeCounters(int32_t* out, int capacity) {
  int count = seenCount < capacity ? seenCount : capacity;
  int i;
  for (i = 0; i < count; ++i) out[i] = seenCounters[i];
  seenCount = 0;
  return count;
}

TEST_EXPORT int __stdcall TestLastParam(void) { return (int)lastParam; }
