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

TEST(Surface, LineIncludesBothEndPoints) {
  Surface s(20, 20, kWhite);
  s.Line(2, 3, 9, 3, kRed);
  EXPECT_EQ(CountColour(s, kRed), 8);
  EXPECT_EQ(s.At(2, 3), kRed);
  EXPECT_EQ(s.At(9, 3), kRed);
}

TEST(Surface, EndPointsRoundToNearestPixelHalvesToEven) {
  Surface s(20, 100, kWhite);
  s.Point(4.5, 5.5, kGreen);  // 4 and 6
  EXPECT_EQ(s.At(4, 6), kGreen);
  s.Line(1, 88.5, 5, 71.4, kRed);  // (1, 88) to (5, 71)
  EXPECT_EQ(s.At(1, 88), kRed);
  EXPECT_EQ(s.At(1, 89), kWhite);
  EXPECT_EQ(s.At(5, 71), kRed);
}

TEST(Surface, ClipsOutsideAndKeepsDrawingUntilCleared) {
  Surface s(10, 10, kWhite);
  s.Line(-50, 5, 50, 5, kRed);
  EXPECT_EQ(CountColour(s, kRed), 10);
  s.Point(1e30, -1e30, kRed);
  s.Clear();
  EXPECT_EQ(CountColour(s, kRed), 0);
}

TEST(Surface, SlopedLineIsConnected) {
  Surface s(300, 120, kWhite);
  s.Line(117, 1, 118, 109, kGreen);
  EXPECT_EQ(CountColour(s, kGreen), 109);
}

}  // namespace
}  // namespace lxr4
