// The grating solver where the golden calib-* sessions do not reach. (The
// worked calibration in both orientations, its read-out and its re-solve are
// the golden cases calib-worked and calib-worked-swapped, figure for figure;
// either orientation with line 1 the longer wavelength is a lamp recovery case
// below.)
#include "calibration/grating_solver.h"

#include <gtest/gtest.h>

#include <string>

#include "base/number_text.h"
#include "synthetic_lamp.h"

namespace lxr4 {
namespace {

constexpr double kHg5460 = 5460.753;
constexpr double kNe6402 = 6402.246;
const LinePair kWorked{kHg5460, 300.0f, kNe6402, 480.0f};
const LinePair kSwapped{kHg5460, 480.0f, kNe6402, 300.0f};

// The calibration as start-up leaves it, with a 9 micrometre pixel.
Grating StartGrating() {
  Grating g;
  g.FocalLength = std::int16_t{50};
  g.PixelWidth = 9.0f;
  return g;
}

std::string Fixed(double v, std::size_t decimals) {
  return FormatNumber(v, "0." + std::string(decimals, '0'));
}

TEST(OneLineRefit, KeepsTheStoredOrientation) {
  Grating g = StartGrating();
  ASSERT_EQ(SolveCalibration(g, kSwapped), SolveError::None);
  // The re-fit reads line 1 only; line 2 as given would say ascending.
  ASSERT_EQ(SolveCalibration(g, {kHg5460, 470.0f, kNe6402, 900.0f}), SolveError::None);
  EXPECT_TRUE(g.WavelengthDescending);
  EXPECT_EQ(Fixed(CalibratedWavelength(g, 470), 2), "5460.75");
}

// What a refused solve must leave alone.
void ExpectUnchanged(const Grating& after, const Grating& before) {
  EXPECT_EQ(after.FocalLength, before.FocalLength);
  EXPECT_EQ(after.AlphaAngle, before.AlphaAngle);
  EXPECT_EQ(after.BetaAngle, before.BetaAngle);
  EXPECT_EQ(after.WavelengthDescending, before.WavelengthDescending);
  EXPECT_EQ(after.FocalLengthFitted, before.FocalLengthFitted);
  EXPECT_EQ(after.CalibrationDone, before.CalibrationDone);
}

// Refusals beside those of the golden case calib-cannot-fit (no crossing at
// the start and on a re-fit, no pixel width on a re-fit and a solve).
TEST(SolveRefusal, LeavesTheCalibrationUnchanged) {
  Grating calibrated = StartGrating();
  ASSERT_EQ(SolveCalibration(calibrated, kWorked), SolveError::None);
  Grating negativePixel = calibrated;
  negativePixel.PixelWidth = -9.0f;
  Grating twoLine = calibrated;
  twoLine.FocalLengthFitted = false;
  // A 0.9 mm pixel puts the lines so far off axis that line 2 models on the
  // wrong side of line 1.
  Grating hugePixel = StartGrating(), noPixel = StartGrating();
  hugePixel.PixelWidth = 900.0f;
  noPixel.PixelWidth = 0;

  struct Case {
    const char* name;
    Grating start;
    LinePair lines;
    SolveError error;
  };
  const Case cases[] = {
      {"start, no pixel width", noPixel, kWorked, SolveError::NoPixelWidth},
      {"negative pixel width", negativePixel, kWorked, SolveError::NoPixelWidth},
      {"two-line after calibration", twoLine, {1000.0, 700.0f, 1500.0f, 760.0f}, SolveError::NoCrossing},
      {"focal length below 0", hugePixel, {5000.0, 100.0f, 6000.0, 200.0f}, SolveError::BadFocalLength},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Grating g = c.start;
    EXPECT_EQ(SolveCalibration(g, c.lines), c.error);
    ExpectUnchanged(g, c.start);
  }
}

// The solve refuses a focal length below 0 above; exactly 0 is refused too.
TEST(UpdateFocalLength, RefusesAFocalLengthOfZero) {
  Grating g = StartGrating();
  g.AlphaAngle = 9.75;
  // Line 2 modelled exactly on line 1: a focal length of 0.
  const LinePair sameColumn{kHg5460, 300.0f, kNe6402, 300.0f};
  ASSERT_TRUE(ScanAlpha(g, sameColumn, kFineScan, 0.0, 1));
  const float atLine1 = CalibratedWavelength(g, 300);
  EXPECT_FALSE(UpdateFocalLength(g, {atLine1, 300.0f, kNe6402, 300.0f}, 1));
  EXPECT_EQ(g.FocalLength, Num(std::int16_t{50}));
}

constexpr int kColumns = 765;

// Property: on a lamp spectrum whose lines sit where a known grating puts
// them, measuring two lines and solving gives back that grating.
struct Truth {
  double focalLength, alpha;
  bool descending;
  float pixelWidth;
  double line1, line2;
};

TEST(LampRecovery, TwoMarkedLinesGiveBackTheGrating) {
  const Truth cases[] = {
      {52.0, 9.6, false, 9.0f, 5460.753, 6402.246},   {48.5, 10.2, true, 9.0f, 5852.488, 6929.467},
      {55.0, 9.0, false, 9.0f, 6929.467, 5460.753},   {50.0, 9.8, true, 6.8f, 5769.598, 6143.063},
      {61.0, 11.0, false, 13.5f, 4358.337, 5460.753}, {45.0, 7.5, false, 9.0f, 7245.167, 8115.311},
      {48.5, 10.2, true, 9.0f, 6929.467, 5852.488},  // line 1 the longer wavelength, descending
  };
  for (const Truth& t : cases) {
    SCOPED_TRACE("f " + std::to_string(t.focalLength) + " alpha " + std::to_string(t.alpha));
    Grating truth;
    truth.FocalLength = t.focalLength;
    truth.AlphaAngle = t.alpha;
    truth.PixelWidth = t.pixelWidth;
    truth.WavelengthDescending = t.descending;
    GratingModel model;  // the default settings: the same wavelengths (instrument_test)
    model.pixelWidth = t.pixelWidth;
    model.parameters = {t.focalLength, t.alpha, 381, t.descending};
    const std::vector<double> columns{ColumnOf(model, t.line1), ColumnOf(model, t.line2)};
    for (double c : columns) ASSERT_TRUE(c > 20 && c < kColumns - 20) << c;
    const std::vector<double> lamp = LampSpectrum(columns, kColumns);

    LinePair marks{t.line1, 0, t.line2, 0};
    for (int n = 0; n < 2; ++n) {
      const int cursor = static_cast<int>(std::lround(columns[static_cast<std::size_t>(n)]));
      const CentroidResult r = FindCentroid(lamp, cursor, 7);
      ASSERT_EQ(r.error, CentroidError::None);
      (n == 0 ? marks.pixel1 : marks.pixel2) = r.column;
      EXPECT_NEAR(r.column, columns[static_cast<std::size_t>(n)], 0.05);
    }

    Grating fitted = StartGrating();
    fitted.PixelWidth = t.pixelWidth;
    ASSERT_EQ(SolveCalibration(fitted, marks), SolveError::None);
    EXPECT_EQ(fitted.WavelengthDescending, t.descending);
    EXPECT_NEAR(fitted.FocalLength.AsDouble(), t.focalLength, 0.01);  // mm
    EXPECT_NEAR(fitted.AlphaAngle.AsDouble(), t.alpha, 0.0002);       // degrees
    // Across the detector the fitted wavelengths stay within a tenth of a pixel (0.5 Angstroms).
    for (int column = 1; column <= kColumns; column += 16)
      EXPECT_NEAR(CalibratedWavelength(fitted, column), CalibratedWavelength(truth, column), 0.5) << column;
  }
}

}  // namespace
}  // namespace lxr4
