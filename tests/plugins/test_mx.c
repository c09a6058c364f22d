/* A "00MX" plug-in: one transition on the variant block, which reads the counter at byte 28,
   remembers every counter (TestTakeCounters) and never says it is finished. */
#include "tests/plugins/plugin_info.h"

#define MAX_CALLS 64

static int32_t seenCounters[MAX_CALLS];
static int seenCount = 0;

TEST_EXPORT int __stdcall GetPluginInfo(int infoNumber, char* buffer, int bufferLength) {
  if (infoNumber == 0) return CopyInfoText(VELMO_TAG_EFFECT_EX, buffer, bufferLength);
  if (infoNumber == 1) return CopyInfoText("velmo test variant transition", buffer, bufferLength);
  return 0;
}

TEST_EXPORT int __stdcall GetTransitionInfo(int index, EffectInfo* out) {
  if (index != 0) return 0;
  memset(out, 0, sizeof *out);
  out->name = "MXWIPE";
  out->functionName = "MxWipe";
  out->intervalMs = 10;
  return 1;
}

TEST_EXPORT int __stdcall MxWipe(void* block) {
  int32_t counter;
  memcpy(&counter, (const char*)block + 28, sizeof counter);
  if (seenCount < MAX_CALLS) seenCounters[seenCount++] = counter;
  return 1;
}

TEST_EXPORT int __stdcall TestTakeCounters(int32_t* out, int capacity) {
  int count = seenCount < capacity ? seenCount : capacity;
  int i;
  for (i = 0; i < count; ++i) out[i] = seenCounters[i];
  seenCount = 0;
  return count;
}
