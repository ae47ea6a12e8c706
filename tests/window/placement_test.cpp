// Where the Lines and Residuals dialog goes beside the main window, on screens
// of several sizes (frames in pixels; the gap between frames is 8).
#include "qt/placement.h"

#include <gtest/gtest.h>

namespace lxr4 {
namespace {

TEST(PlaceBeside, TakesTheSideWithRoomAndStaysOnTheScreen) {
  const QSize wanted(640, 560), least(420, 240);
  const struct {
    const char* what;
    QRect main, screen, placed;
  } cases[] = {
      {"room on the right", {100, 50, 780, 420}, {0, 0, 1920, 1080}, {888, 50, 640, 560}},
      {"more room on the left", {1100, 50, 780, 420}, {0, 0, 1920, 1080}, {452, 50, 640, 560}},
      {"narrower than wanted, down to the least", {570, 330, 780, 420}, {0, 0, 1920, 1080},
       {1358, 330, 562, 560}},
      {"moved up to stay on the screen", {100, 600, 780, 420}, {0, 0, 1920, 1080}, {888, 520, 640, 560}},
      {"a screen that does not start at 0", {2020, 50, 780, 420}, {1920, 0, 1920, 1080},
       {2808, 50, 640, 560}},
      {"no room beside: below", {10, 10, 780, 420}, {0, 0, 1024, 768}, {10, 438, 640, 330}},
      {"no room beside or below: above", {10, 340, 780, 420}, {0, 0, 1024, 768}, {10, 0, 640, 332}},
      {"no room anywhere: at the right edge", {10, 100, 780, 420}, {0, 0, 800, 600}, {160, 40, 640, 560}},
      {"the least width is the last beside", {0, 0, 600, 300}, {0, 0, 1028, 1000}, {608, 0, 420, 560}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const QRect placed = PlaceBeside(c.main, wanted, least, c.screen);
    EXPECT_EQ(placed, c.placed);
    EXPECT_TRUE(c.screen.contains(placed));
  }
}

}  // namespace
}  // namespace lxr4
