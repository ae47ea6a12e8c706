// The grating model's arithmetic at its edges; the golden cases calib-* and
// cursor-readout show its wavelengths on whole calibrations.
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
  for (const Case& c : cases) EXPECT_EQ(CorrectWavelength(c.in), c.out) << c.in;
}

TEST(CorrectWavelength, NeverRaisesAWavelength) {
  for (float l = 3000.0f; l < 10000.0f; l += 7.25f) EXPECT_LE(CorrectWavelength(l), l) << l;
}

Grating Solved() {
  Grating g;
  g.FocalLength = 53.7;
  g.AlphaAngle = 9.75;
  g.PixelWidth = 9.0f;
  return g;
}

TEST(ModelWavelength, OrientationMirrorsAboutColumn381) {
  Grating g = Solved();
  for (int x : {1, 17, 200, 380}) {
    SCOPED_TRACE(x);
    EXPECT_EQ(ModelWavelength(g, 381 + x, 1), ModelWavelength(g, 381 - x, -1));
    EXPECT_GT(ModelWavelength(g, 381 + x, 1), ModelWavelength(g, 381, 1));
  }
}

TEST(ModelWavelength, RoundsTheColumnToSinglePrecision) {
  Grating g = Solved();
  const double column = 300.0000001;  // the same single as 300
  EXPECT_EQ(ModelWavelength(g, column, 1), ModelWavelength(g, 300.0, 1));
}

}  // namespace
}  // namespace lxr4
