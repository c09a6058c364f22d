// weatherfx.vpx: the plug-in's exports under their plain names (the build links with
// --kill-at), each passing on to this build's function of the same name, and the sheets from the
// DLL's own bitmap resources.
#include "plugins/weatherfx/weatherfx_exports.h"

#include <windows.h>

namespace {

// The DLL's instance, recorded when it is loaded: the module whose resources hold the sheets.
HINSTANCE instance = nullptr;

} // namespace

namespace velmo::weatherfx {

// A bitmap resource is a packed DIB; it stays in the mapped module, and the sheet is a decoded
// copy, so nothing is to be released.
SpriteSheet LoadSpriteSheet(int resourceId) {
  HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(instance, found);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return {};
  return DecodePackedDib({static_cast<const std::uint8_t*>(bytes), SizeofResource(instance, found)});
}

} // namespace velmo::weatherfx

extern "C" {

__declspec(dllexport) int __stdcall GetPluginInfo(int infoNumber, char* buffer, int bufferLength) {
  return velmo::weatherfx::GetPluginInfo(infoNumber, buffer, bufferLength);
}

__declspec(dllexport) int __stdcall GetTransitionInfo(int index, EffectInfo* out) {
  return velmo::weatherfx::GetTransitionInfo(index, out);
}

// The engine may have drawn on its surfaces with GDI just before; the plug-in draws in their
// pixels.
#define VELMO_FORWARD_ENTRY(name)                                                                                      \
  __declspec(dllexport) int __stdcall name(void* block) {                                                              \
    GdiFlush();                                                                                                        \
    return velmo::weatherfx::name(block);                                                                              \
  }
VELMO_WEATHERFX_ENTRIES(VELMO_FORWARD_ENTRY)
#undef VELMO_FORWARD_ENTRY

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    instance = module;
    velmo::weatherfx::ResetForLoad();
  }
  return TRUE;
}

} // extern "C"
