#pragma once

#include "engine/platform/surface.h"

#include <windows.h>

#include <memory>

namespace velmo {

// A surface as a 24-bit top-down DIB section selected into a memory DC compatible with the
// screen. Create returns nullptr when the system cannot make one.
class DibSurface : public TSurface {
public:
  static std::unique_ptr<TSurface> Create();
  ~DibSurface() override;

  HDC Hdc() const { return static_cast<HDC>(dc); }

private:
  DibSurface() = default;

  HBITMAP bitmap = nullptr;
  HGDIOBJ oldBitmap = nullptr;
};

} // namespace velmo
