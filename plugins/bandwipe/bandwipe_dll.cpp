// bandwipe.vpx: the plug-in's exports under their plain names (the build links with
// --kill-at), each passing on to this build's function of the same name.
#include "plugins/bandwipe/bandwipe_exports.h"

#include <windows.h>

extern "C" {

__declspec(dllexport) int __stdcall GetPluginInfo(int infoNumber, char* buffer, int bufferLength) {
  return velmo::bandwipe::GetPluginInfo(infoNumber, buffer, bufferLength);
}

__declspec(dllexport) int __stdcall GetTransitionInfo(int index, EffectInfo* out) {
  return velmo::bandwipe::GetTransitionInfo(index, out);
}

// The engine may have drawn on its surfaces with GDI just before; the plug-in draws in their
// pixels.
#define VELMO_FORWARD_ENTRY(name)                                                                                      \
  __declspec(dllexport) int __stdcall name(void* block) {                                                              \
    GdiFlush();                                                                                                        \
    return velmo::bandwipe::name(block);                                                                               \
  }
VELMO_BANDWIPE_ENTRIES(VELMO_FORWARD_ENTRY)
#undef VELMO_FORWARD_ENTRY

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) velmo::bandwipe::ResetForLoad();
  return TRUE;
}

} // extern "C"
