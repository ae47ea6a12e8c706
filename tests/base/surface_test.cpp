// The drawing surface beyond its edges and at halves. (Its lines and points
// are the pixels of every golden save-window and save-graph.)
#include "platform/surface.h"

#include <gtest/gtest.h>

#include <cmath>

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

// Points round to the nearest pixel, halves to even, on both axes.
TEST(Surface, PointsRoundHalvesToEven) {
  const struct {
    float at;
    int pixel;  // -1: outside
  } cases[] = {{0.5f, 0}, {1.5f, 2}, {2.5f, 2}, {-0.5f, 0}, {-0.50001f, -1}, {3.49999f, 3},
               {8.5f, 8}, {9.49f, 9}, {9.5f, -1}, {4194304.0f, -1}, {NAN, -1}, {-INFINITY, -1}};
  for (const auto& c : cases) {
    Surface s(10, 10, kWhite);
    const PaintedPoint points[] = {{c.at, 5.0f, kRed}, {5.0f, c.at, kGreen}};
    s.Paint(points);
    EXPECT_EQ(CountColour(s, kRed), c.pixel < 0 ? 0 : 1) << c.at;
    if (c.pixel >= 0) {
      EXPECT_EQ(s.At(c.pixel, 5), kRed) << c.at;
      EXPECT_EQ(s.At(5, c.pixel), kGreen) << c.at;
    }
  }
}

}  // namespace
}  // namespace lxr4
