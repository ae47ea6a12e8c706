// The instrument model against the two-line model: with the default settings
// every column gives the same wavelength to the bit. (The model's derivatives
// steer the grating fit, whose figures the golden cases calib-many-lines and
// calib-identify-save pin to the last digit; line_fit_test finds known
// gratings with them.)
#include "calibration/instrument.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "calibration/grating_model.h"
#include "calibration/grating_solver.h"
#include "calibration/instrument_fields.h"

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

// The limits the Instrument dialog and calibration files share, as triples:
// the last valid value, the first invalid one, the degenerate ones.
TEST(GratingValueProblem, LastValidFirstInvalidAndDegenerate) {
  using V = GratingValue;
  const struct {
    V which;
    double value;
    bool valid;
  } cases[] = {
      {V::GrooveDensity, 1, true}, {V::GrooveDensity, 10000, true}, {V::GrooveDensity, 0.999, false},
      {V::GrooveDensity, 10000.001, false}, {V::GrooveDensity, 1e-320, false}, {V::GrooveDensity, 0, false},
      {V::DeviationAngle, 0, true}, {V::DeviationAngle, 180, true}, {V::DeviationAngle, -1e-9, false},
      {V::DeviationAngle, 1000, false}, {V::ReferenceColumn, 1, true}, {V::ReferenceColumn, 768, true},
      {V::ReferenceColumn, 0.999, false}, {V::ReferenceColumn, 1e300, false}, {V::PixelSize, 0.1, true},
      {V::PixelSize, 1000, true}, {V::PixelSize, 0.0999, false}, {V::PixelSize, 1e-45, false},
      {V::PixelSize, 1000.5, false}, {V::PixelSize, 4.9e-324, false}, {V::FocalLength, 0.001, true},
      {V::FocalLength, 1e6, true}, {V::FocalLength, 0.000999, false}, {V::FocalLength, 1e308, false},
      {V::AlphaAngle, -90, true}, {V::AlphaAngle, 90, true}, {V::AlphaAngle, 90.001, false},
      {V::AlphaAngle, 1e308, false},
  };
  const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
  for (const auto& c : cases) EXPECT_EQ(!GratingValueProblem(c.which, c.value), c.valid) << &c - cases;
  for (int which = 0; which <= static_cast<int>(V::AlphaAngle); ++which)
    for (const double v : {inf, -inf, nan}) EXPECT_TRUE(GratingValueProblem(static_cast<V>(which), v));
}

// The dialog keeps its messages for the values it always refused and names
// the least value for those above 0 that are too small to be one. (A groove
// density and a reference column of 0, pixel sizes -1 and x: the golden case
// calib-instrument.)
TEST(InstrumentFields, RefuseValuesOutOfRangeDenormalZeroAndTiny) {
  const std::string tiny = "The pixel size must be at least 0.1 micrometres";
  const struct {
    InstrumentFields fields;
    std::string message;  // before " - settings unchanged!"
  } cases[] = {
      {{"300", "30", "381", true, "1e-45"}, tiny},
      {{"300", "30", "381", true, "1e-320"}, tiny},
      {{"1e-320", "30", "381", true, ""}, "The groove density must be at least 1 line/mm"},
      {{"1e5", "30", "381", true, ""}, "The groove density must be a number of lines/mm above 0 and up to 10000"},
      {{"300", "30", "769", true, ""}, "The reference column must be a number from 1 to 768"},
      {{"300", "30", "", true, ""}, "The reference column must be a number from 1 to 768"},
  };
  for (const auto& c : cases) {
    const InstrumentReading r = SettingsOf(c.fields);
    EXPECT_FALSE(r.settings) << c.message;
    EXPECT_EQ(r.message, c.message + " - settings unchanged!");
  }
  const InstrumentReading least = SettingsOf({"1", "0", "1", false, "0.1"});
  ASSERT_TRUE(least.settings) << least.message;
  EXPECT_EQ(least.settings->pixelSize, 0.1f);
}

}  // namespace
}  // namespace lxr4
