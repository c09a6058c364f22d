#pragma once

#include "engine/base/run_control.h"
#include "engine/platform/surface.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmo {

class IClock;
class IFileSystem;
class IGraphics;
class Screen;
struct LocalTime;

// The size of a screen capture file: a 14-byte file header, a 40-byte info header and 480 rows of
// 1,920 bytes.
inline constexpr std::size_t CaptureFileSize = 14 + 40 + TSurface::Size;

// A surface as the bytes of a 640 x 480, 24-bit BMP file: uncompressed, bottom row first (the
// surface's last row is the file's first), no resolution and no palette.
std::string EncodeCapture(const TSurface& surface);

// The picture the window shows: BaseSurface while the message window is hidden (a capture then
// holds no message window, as the window shows none), the page looked at in the flashback, else
// ScreenSurface. nullptr when missing.
const TSurface* ShownSurface(const Screen& screen, RunState state);

// Writes `shown` to `path` as a BMP file: drawing the system still holds back is completed first,
// the whole file is made in memory, and only then is it written, in one step, so that a failure
// never leaves a short file. False when it could not be written.
bool WriteCapture(IFileSystem& files, IGraphics& graphics, const TSurface& shown, std::string_view path);

// The automatic capture name "%04d%02d%02d-%02d%02d%02d-%03d.bmp": the local date and time and the
// multimedia clock's milliseconds modulo 1000.
std::string AutoCaptureName(const LocalTime& time, std::uint32_t clockMs);

// Captures `shown` under the automatic name, in the current folder. A file of that name is never
// overwritten: the millisecond count goes on to the next free name. Returns the name written, ""
// when nothing was.
std::string CaptureAuto(IFileSystem& files, IClock& clock, IGraphics& graphics, const TSurface& shown);

} // namespace velmo
