// The ring of pages kept for the flashback: the newest pages kept, looking back and forward, and the
// picture a page is kept with.
#include "engine/graphics/flashback_ring.h"

#include "engine/platform/headless/headless_platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace velmo {
namespace {

class FlashbackRingTest : public ::testing::Test {
protected:
  // The screen filled with `value`: a page told apart by its first byte.
  const TSurface& Screen(int value) {
    std::memset(screen->Bits(), value, TSurface::Size);
    return *screen;
  }
  int Shown() const { return ring.Shown() != nullptr ? ring.Shown()->Bits()[TSurface::Size - 1] : 0; }

  HeadlessGraphics graphics;
  std::unique_ptr<TSurface> screen = graphics.CreateSurface();
  FlashbackRing ring;
};

TEST_F(FlashbackRingTest, KeepsTheNewestPagesAndLooksBackAndForth) {
  ASSERT_TRUE(ring.Make(graphics, 3));
  for (int page = 1; page <= 5; ++page) ring.KeepPage(Screen(page));
  EXPECT_EQ(ring.Count(), 3);
  std::vector<int> back;
  while (ring.Back()) back.push_back(Shown());
  EXPECT_EQ(back, (std::vector<int>{5, 4, 3}));
  EXPECT_EQ(ring.Looking(), 3);
  EXPECT_TRUE(ring.Forward());
  EXPECT_EQ(Shown(), 4);
  EXPECT_TRUE(ring.Forward());
  EXPECT_FALSE(ring.Forward());
  EXPECT_EQ(ring.Shown(), nullptr);
  EXPECT_EQ(ring.Looking(), 0);
}

TEST_F(FlashbackRingTest, APageIsKeptAsNotedAtItsLastWaitOrElseAsClearedAndTheLookResets) {
  ASSERT_TRUE(ring.Make(graphics, 2));
  ring.NotePage(Screen(7));
  ring.NotePage(Screen(8));
  ring.KeepPage(Screen(9));  // the next scene was drawn after the page's last wait
  ring.KeepPage(Screen(10)); // no wait: the page as it was cleared
  ASSERT_TRUE(ring.Back());
  EXPECT_EQ(Shown(), 10);
  ring.KeepPage(Screen(11));
  EXPECT_EQ(ring.Looking(), 0);
  ASSERT_TRUE(ring.Back() && ring.Back());
  EXPECT_EQ(Shown(), 10);
  EXPECT_FALSE(ring.Back()); // 8 went when 11 came
}

} // namespace
} // namespace velmo
