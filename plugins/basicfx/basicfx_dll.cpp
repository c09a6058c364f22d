// basicfx.vpx: the plug-in's exports under their plain names (the build links with --kill-at),
// each passing on to this build's function of the same name, and the about box.
#include "plugins/basicfx/basicfx_exports.h"

#include <windows.h>

extern "C" {

__declspec(dllexport) int __stdcall GetPluginInfo(int infoNumber, char* buffer, int bufferLength) {
  return velmo::basicfx::GetPluginInfo(infoNumber, buffer, bufferLength);
}

__declspec(dllexport) int __stdcall GetTransitionInfo(int index, EffectInfo* out) {
  return velmo::basicfx::GetTransitionInfo(index, out);
}

__declspec(dllexport) int __stdcall GetFilterInfo(int index, EffectInfo* out) {
  return velmo::basicfx::GetFilterInfo(index, out);
}

// The engine may have drawn on its surfaces with GDI just before; the plug-in works in their
// pixels.
#define VELMO_FORWARD_ENTRY(name)                                                                                      \
  __declspec(dllexport) int __stdcall name(void* block) {                                                              \
    GdiFlush();                                                                                                        \
    return velmo::basicfx::name(block);                                                                                \
  }
VELMO_BASICFX_ENTRIES(VELMO_FORWARD_ENTRY)
#undef VELMO_FORWARD_ENTRY

// The about box, owned by the plug-in dialog that asks for it; the same for both functions.
__declspec(dllexport) int __stdcall ConfigurationDlg(HWND parent, int function) {
  if (!velmo::basicfx::ShowsAbout(function)) return -1;
  MessageBoxA(parent, velmo::basicfx::AboutText, velmo::basicfx::AboutCaption, MB_OK);
  return 0;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) velmo::basicfx::ResetForLoad();
  return TRUE;
}

} // extern "C"
