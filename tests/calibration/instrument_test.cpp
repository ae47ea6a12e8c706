// The instrument model against the two-line model: with the default settings
// every column gives the same wavelength to the bit. (The model's derivatives
// steer the grating fit, whose figures the golden cases calib-many-lines and
// calib-identify-save pin to the last digit; line_fit_test finds known
// gratings with them.)
#include "calibration/instrument.h"

#include <gtest/gtest.h>

#include <cmath>

#include "calibration/grating_model.h"
#include "calibration/grating_solver.h"

namespace lxr4 {
namespace {

TEST(GratingWavelength, DefaultSettingsGiveTheDesignsWavelengthAtEveryColumn) {
  struct Case {
    double focalLength, alpha;
    bool descending;
    float pixelWidth;
  };
  // The worked calibration, its mirror, and two others; alpha single or double.
  const Case cases[] = {{53.71069, 9.75531, false, 9.0f},
                        {53.742, 9.6711, true, 9.0f},
                        {61.25, static_cast<double>(11.37f), false, 13.5f},
                        {252.4, 8.125, true, 15.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.focalLength);
    Grating g;
    g.FocalLength = c.focalLength;
    g.AlphaAngle = c.alpha;
    g.PixelWidth = c.pixelWidth;
    g.WavelengthDescending = c.descending;
    GratingModel model;
    model.pixelWidth = c.pixelWidth;
    model.parameters = {c.focalLength, c.alpha, 381, c.descending};
    for (int column = 1; column <= 768; ++column) {
      ASSERT_EQ(GratingWavelength(model, column), CalibratedWavelength(g, column)) << column;
      const double centroid = column + 0.37;
      ASSERT_EQ(GratingWavelength(model, centroid), CalibratedWavelength(g, centroid)) << centroid;
    }
    model.settings.correction = false;
    for (int column = 1; column <= 768; ++column)
      ASSERT_EQ(GratingWavelength(model, column), ModelWavelength(g, column, ThetaSign(g))) << column;
  }
}

// The defaults are pinned above, column by column.
TEST(GratingWavelength, OtherSettingsTakeTheirGroovesAndPixelSize) {
  InstrumentSettings other;
  other.grooveDensity = 1200;
  other.pixelSize = 13.5f;
  EXPECT_DOUBLE_EQ(GrooveSpacingOf(other), 1000.0 / 1200.0);
  EXPECT_EQ(PixelWidthOf(other, 9.0f), 13.5f);
}

}  // namespace
}  // namespace lxr4
