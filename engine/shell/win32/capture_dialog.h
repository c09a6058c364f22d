#pragma once

#include <windows.h>

namespace velmo {

class Engine;

// The screen capture with a save-file dialog: the player picks a BMP file name, and the picture
// the window shows is written there. The script door is held while the dialog is open, and the
// working folder (which scenarios, bookmarks and the log resolve against) is the same afterwards.
// False when the player cancelled or the file could not be written.
bool CaptureWithDialog(HWND owner, Engine& engine);

// The screen capture under an automatic name in the program folder; false when nothing was
// written.
bool CaptureAutomatically(Engine& engine);

} // namespace velmo
