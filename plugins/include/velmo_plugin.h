/* The interface between velmo32.exe and its effect plug-ins (.vpx DLLs in the system folder):
   the records the engine and a plug-in exchange and the exports a plug-in provides. Shared by the
   engine and every plug-in; plain C so that a plug-in may be written in C as well.

   The binary layout is that of a 32-bit Windows process: every pointer and handle is 4 bytes.
   Elsewhere (the engine's host tests) the same structures hold native pointers, and only the
   32-bit build checks the offsets. */
#ifndef VELMO_PLUGIN_H
#define VELMO_PLUGIN_H

#include <stddef.h>
#include <stdint.h>

#if defined(__i386__) || defined(_M_IX86)
#define VELMO_STDCALL __stdcall
#else
#define VELMO_STDCALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Tags a plug-in reports as information number 0 of GetPluginInfo. */
#define VELMO_TAG_EFFECT "00ME"    /* transitions, effects and filters */
#define VELMO_TAG_USERPROC "00MP"  /* user procedures */
#define VELMO_TAG_EFFECT_EX "00MX" /* transitions, effects and filters on the variant block */
#define VELMO_TAG_PICTURE "00IN"   /* picture loaders */
#define VELMO_TAG_ARCHIVE "00AM"   /* archive handlers */

#define VELMO_PARAM_COUNT 63
#define VELMO_FINAL_FRAME 65535   /* the finishing call's counter on the plain block */
#define VELMO_FINAL_FRAME_EX (-1) /* the finishing call's counter on the variant block */

/* One entry of a plug-in, filled by its info exports: 264 bytes. The texts stay owned by the
   plug-in. */
typedef struct EffectInfo {
  const char* name;                  /* as scripts write it (TYPE or COMMAND value) */
  const char* functionName;          /* the DLL export that implements the entry */
  int32_t intervalMs;                /* frame interval: the default WAIT */
  int32_t params[VELMO_PARAM_COUNT]; /* default parameters 1..63 */
} EffectInfo;

/* The single argument of every entry function. For a user procedure, frameCounter holds a
   pointer to the 64-byte text of the variable "exit" and params[i - 1] one to "argv[i]", through
   which the procedure may return texts. */
typedef struct EffectBlock {
  void* screenDc;        /* the surface drawn on */
  uint8_t* screenPixels; /* its pixels: 640 x 480, 24 bits, top-down, 1,920 bytes a row, B G R */
  void* fromDc;          /* the picture a transition starts from */
  uint8_t* fromPixels;
  void* toDc; /* the picture it ends with */
  uint8_t* toPixels;
  intptr_t frameCounter; /* 0, 1, 2, ..., then VELMO_FINAL_FRAME */
  intptr_t params[VELMO_PARAM_COUNT];
  void* window; /* the main window (user procedures) */
} EffectBlock;

/* The block as the "00MX" plug-ins take it: one leading word, unused, then every field of
   EffectBlock 4 bytes later; their finishing call has the counter VELMO_FINAL_FRAME_EX. */
typedef struct EffectBlockEx {
  int32_t reserved;
  EffectBlock block;
} EffectBlockEx;

/* Exports, all __stdcall, under these exact names:
   GetPluginInfo, GetTransitionInfo, GetEffectInfo, GetFilterInfo, GetUserProcInfo,
   ConfigurationDlg, and the entry functions the info records name. */
typedef int(VELMO_STDCALL* VelmoGetPluginInfo)(int infoNumber, char* buffer, int bufferLength);
typedef int(VELMO_STDCALL* VelmoGetEntryInfo)(int index, EffectInfo* out);
typedef int(VELMO_STDCALL* VelmoEntryFunction)(void* block);
typedef int(VELMO_STDCALL* VelmoConfigurationDlg)(void* parent, int function);

#ifdef __cplusplus
}
#endif

#if defined(__i386__) || defined(_M_IX86)
#ifdef __cplusplus
#define VELMO_STATIC_ASSERT static_assert
#else
#define VELMO_STATIC_ASSERT _Static_assert
#endif
VELMO_STATIC_ASSERT(sizeof(EffectInfo) == 264, "EffectInfo is 264 bytes");
VELMO_STATIC_ASSERT(offsetof(EffectInfo, functionName) == 4, "EffectInfo.functionName");
VELMO_STATIC_ASSERT(offsetof(EffectInfo, intervalMs) == 8, "EffectInfo.intervalMs");
VELMO_STATIC_ASSERT(offsetof(EffectInfo, params) == 12, "EffectInfo.params");
VELMO_STATIC_ASSERT(offsetof(EffectBlock, screenPixels) == 4, "EffectBlock.screenPixels");
VELMO_STATIC_ASSERT(offsetof(EffectBlock, fromDc) == 8, "EffectBlock.fromDc");
VELMO_STATIC_ASSERT(offsetof(EffectBlock, fromPixels) == 12, "EffectBlock.fromPixels");
VELMO_STATIC_ASSERT(offsetof(EffectBlock, toDc) == 16, "EffectBlock.toDc");
VELMO_STATIC_ASSERT(offsetof(EffectBlock, toPixels) == 20, "EffectBlock.toPixels");
VELMO_STATIC_ASSERT(offsetof(EffectBlock, frameCounter) == 24, "EffectBlock.frameCounter");
VELMO_STATIC_ASSERT(offsetof(EffectBlock, params) == 28, "EffectBlock.params");
VELMO_STATIC_ASSERT(offsetof(EffectBlock, window) == 280, "EffectBlock.window");
VELMO_STATIC_ASSERT(sizeof(EffectBlock) == 284, "EffectBlock is 284 bytes");
VELMO_STATIC_ASSERT(offsetof(EffectBlockEx, block) == 4, "EffectBlockEx.block");
VELMO_STATIC_ASSERT(offsetof(EffectBlockEx, block) + offsetof(EffectBlock, frameCounter) == 28,
                    "EffectBlockEx counter");
VELMO_STATIC_ASSERT(sizeof(EffectBlockEx) == 288, "EffectBlockEx is 288 bytes");
#endif

#endif /* VELMO_PLUGIN_H */
