// The drawing surface beyond its edges. (Its lines and points are the pixels of
// every golden save-window and save-graph; halves rounding to even are in the
// window test of the drawing that reaches the screen.)
#include "platform/surface.h"

#include <gtest/gtest.h>

namespace lxr4 {
namespace {

int CountColour(const Surface& s, Rgb colour) {
  int n = 0;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) n += s.At(x, y) == colour;
  return n;
}

TEST(Surface, ClipsOutsideAndKeepsDrawingUntilCleared) {
  Surface s(10, 10, kWhite);
  s.Line(-50, 5, 50, 5, kRed);
  EXPECT_EQ(CountColour(s, kRed), 10);
  const PaintedPoint far{1e30f, -1e30f, kRed};
  s.Paint({&far, 1});
  s.Clear();
  EXPECT_EQ(CountColour(s, kRed), 0);
}

}  // namespace
}  // namespace lxr4
