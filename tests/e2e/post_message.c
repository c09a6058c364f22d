/* post_message.exe CLASS MESSAGE WPARAM...: posts MESSAGE (a number) to the first window of class
   CLASS once for each WPARAM given, in that order, as another program may. Exit status 1 when no
   such window exists. The end-to-end tests use it to put messages in the engine's queue while a
   box of the engine is open. */
#include <windows.h>

#include <stdlib.h>

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  HWND window = FindWindowA(argv[1], NULL);
  if (window == NULL) return 1;
  const UINT message = (UINT)strtoul(argv[2], NULL, 0);
  for (int i = 3; i < argc; ++i) PostMessageA(window, message, (WPARAM)strtoul(argv[i], NULL, 0), 0);
  return 0;
}
