#pragma once

#include "engine/platform/platform.h"
#include "engine/platform/surface.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace velmo {

// The pages the player may look back at (読み返す): a ring of the flashback surfaces, each holding
// the picture of one page of message text as the player saw it, pictures included, and the one
// page looked at. The picture of the page being read is noted at each of its waits into a surface
// of its own, so that what a script shows after the last wait (the next scene, drawn before the
// page is cleared) is not taken for the page. When the page is cleared, that picture becomes the
// newest kept page and the oldest goes once the ring is full.
class FlashbackRing {
public:
  // Makes surfaces for `pages` pages, and the one for the page being read, in place of those
  // there were; none for 0 or less. False when the system cannot make one.
  bool Make(IGraphics& graphics, std::int32_t pages);
  // How many pages the ring keeps, and how many it holds now.
  std::int32_t Capacity() const { return static_cast<std::int32_t>(pages.size()); }
  std::int32_t Count() const { return count; }

  // The page being read, as it is shown now (at a wait of the page).
  void NotePage(const TSurface& shown);
  // The page is cleared: the picture noted last for it is kept, or `shown` when none was noted.
  void KeepPage(const TSurface& shown);

  // The page looked at: 0 for the page on screen, k for the k-th newest kept page.
  std::int32_t Looking() const { return looking; }
  // Looks one page further back; false when there is no older page.
  bool Back();
  // Looks one page nearer; false when the page on screen is reached again (Looking() is then 0).
  bool Forward();
  // Back to the page on screen.
  void StopLooking() { looking = 0; }
  // The picture of the page looked at; nullptr for the page on screen.
  const TSurface* Shown() const;

private:
  std::vector<std::unique_ptr<TSurface>> pages;
  std::unique_ptr<TSurface> reading; // the page being read, as noted at its last wait
  bool noted = false;
  std::int32_t newest = -1; // slot of the newest kept page
  std::int32_t count = 0;
  std::int32_t looking = 0;
};

} // namespace velmo
