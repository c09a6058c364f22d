/* What every fixture plug-in shares: the export marker and GetPluginInfo's text copy. */
#ifndef VELMO_TEST_PLUGIN_INFO_H
#define VELMO_TEST_PLUGIN_INFO_H

#include "plugins/include/velmo_plugin.h"

#include <string.h>

#define TEST_EXPORT __declspec(dllexport)

/* Copies `text` into the caller's buffer, cut to fit with its NUL; the characters copied. */
static inline int CopyInfoText(const char* text, char* buffer, int bufferLength) {
  int length = (int)strlen(text);
  if (buffer == NULL || bufferLength <= 0) return 0;
  if (length > bufferLength - 1) length = bufferLength - 1;
  memcpy(buffer, text, (size_t)length);
  buffer[length] = '\0';
  return length;
}

#endif /* VELMO_TEST_PLUGIN_INFO_H */
