// The instrument model against the two-line model: with the default settings
// every column gives the same wavelength to the bit.
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

TEST(GratingWavelength, SettingsDefaultsAreTheDesignsInstrument) {
  const InstrumentSettings s;
  EXPECT_EQ(GrooveSpacingOf(s), kGrooveSpacing);
  EXPECT_EQ(s.referenceColumn, kReferenceColumn);
  EXPECT_TRUE(s.correction);
  EXPECT_EQ(PixelWidthOf(s, 9.0f), 9.0f);
  InstrumentSettings other;
  other.grooveDensity = 1200;
  other.pixelSize = 13.5f;
  EXPECT_DOUBLE_EQ(GrooveSpacingOf(other), 1000.0 / 1200.0);
  EXPECT_EQ(PixelWidthOf(other, 9.0f), 13.5f);
}

TEST(EvaluateGrating, DerivativesMatchDifferences) {
  GratingModel m;
  m.settings.grooveDensity = 600;
  m.settings.deviationAngle = 25;
  m.settings.referenceColumn = 400;
  m.pixelWidth = 13.5f;
  m.parameters = {120.0, 2.0, 400, true};
  for (const double column : {40.0, 390.0, 700.0}) {
    SCOPED_TRACE(column);
    const GratingEvaluation e = EvaluateGrating(m, column);
    EXPECT_NEAR(e.wavelength, GratingWavelength(m, column), 0.002);  // single rounding, Angstroms
    const auto moved = [&](double GratingParameters::*field, double h) {
      GratingModel up = m, down = m;
      up.parameters.*field += h;
      down.parameters.*field -= h;
      return (EvaluateGrating(up, column).wavelength - EvaluateGrating(down, column).wavelength) / (2 * h);
    };
    EXPECT_NEAR(e.byFocalLength, moved(&GratingParameters::focalLength, 1e-4), 1e-5);
    EXPECT_NEAR(e.byAlpha, moved(&GratingParameters::alphaAngle, 1e-6), 1e-3);
    EXPECT_NEAR(e.byReferenceColumn, moved(&GratingParameters::referenceColumn, 1e-3), 1e-5);
    EXPECT_NEAR(e.byColumn, -e.byReferenceColumn, 0);
  }
}

}  // namespace
}  // namespace lxr4
