#include "calibration/grating_model.h"

#include <gtest/gtest.h>

namespace lxr4 {
namespace {

TEST(CorrectWavelength, MatchesTheWorkedExamples) {
  struct Case {
    float in, out;
  };
  const Case cases[] = {
      {4000.0f, 3997.1875f}, {7000.0f, 6997.9546f}, {5489.0f, 5488.9849f}, {5490.0f, 5490.0f},
      {5500.0f, 5500.0f},    {5510.0f, 5510.0f},    {5511.0f, 5510.9849f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(CorrectWavelength(c.in), c.out);
  }
}

TEST(CorrectWavelength, NeverRaisesAWavelength) {
  for (float l = 3000.0f; l < 10000.0f; l += 7.25f) {
    SCOPED_TRACE(l);
    EXPECT_LE(CorrectWavelength(l), l);
  }
}

Grating Solved(bool descending) {
  Grating g;
  g.FocalLength = 53.7;
  g.AlphaAngle = 9.75;
  g.PixelWidth = 9.0f;
  g.WavelengthDescending = descending;
  return g;
}

TEST(ModelWavelength, OrientationMirrorsAboutColumn381) {
  Grating g = Solved(false);
  for (int x : {1, 17, 200, 380}) {
    SCOPED_TRACE(x);
    EXPECT_EQ(ModelWavelength(g, 381 + x, 1), ModelWavelength(g, 381 - x, -1));
    EXPECT_GT(ModelWavelength(g, 381 + x, 1), ModelWavelength(g, 381, 1));
  }
}

TEST(ModelWavelength, WritesTheDiffractionAngle) {
  Grating g = Solved(false);
  (void)ModelWavelength(g, 381, 1);
  EXPECT_EQ(g.BetaAngle, 30.0 - 9.75);
  (void)ModelWavelength(g, 481, 1);
  EXPECT_GT(g.BetaAngle, 30.0 - 9.75);
  (void)ModelWavelength(g, 481, -1);
  EXPECT_LT(g.BetaAngle, 30.0 - 9.75);
}

TEST(ModelWavelength, RoundsTheColumnToSinglePrecision) {
  Grating g = Solved(false);
  const double column = 300.0000001;  // the same single as 300
  EXPECT_EQ(ModelWavelength(g, column, 1), ModelWavelength(g, 300.0, 1));
}

TEST(ModelWavelength, StartModelAt381DependsOnNeitherPixelWidthNorFocalLength) {
  // The start-up model: focal length the integer 50, alpha unset (reads 0).
  Grating g;
  g.FocalLength = std::int16_t{50};
  g.PixelWidth = 9.0f;
  const float reference = ModelWavelength(g, 381, 1);
  g.PixelWidth = 24.0f;
  EXPECT_EQ(ModelWavelength(g, 381, 1), reference);
  g.FocalLength = 80.0;
  EXPECT_EQ(ModelWavelength(g, 381, -1), reference);
  EXPECT_NE(ModelWavelength(g, 382, 1), reference);
}

TEST(CalibratedWavelength, FollowsTheOrientation) {
  Grating up = Solved(false);
  Grating down = Solved(true);
  EXPECT_LT(CalibratedWavelength(up, 300), CalibratedWavelength(up, 480));
  EXPECT_GT(CalibratedWavelength(down, 300), CalibratedWavelength(down, 480));
  EXPECT_EQ(CalibratedWavelength(up, 300), CorrectWavelength(ModelWavelength(up, 300, 1)));
}

}  // namespace
}  // namespace lxr4
