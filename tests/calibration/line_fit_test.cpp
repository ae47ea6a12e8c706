// Fits over many lines: known answers from exact polynomials and from lamps
// drawn with known gratings, and the refusals. (Sigma clipping, row by row
// with the clipped residuals, and a grating fit started from the two-line
// calibration in force are the golden case calib-identify-save; real_arc_test
// clips the blended line of a real arc.)
#include "calibration/line_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "calibration/compensated_sum.h"
#include "synthetic_lamp.h"

namespace lxr4 {
namespace {

LineSet FromCurve(double (*curve)(double), std::initializer_list<float> columns) {
  LineSet lines;
  for (const float c : columns) lines.push_back({curve(c), c, "", true});
  return lines;
}

// Lines in use at (wavelength, column).
LineSet Used(std::initializer_list<std::pair<double, float>> points) {
  LineSet lines;
  for (const auto& [wavelength, column] : points) lines.push_back({wavelength, column, "", true});
  return lines;
}

double Cubic(double c) { return 4000 + 2.1 * c + 1.3e-3 * c * c - 7e-7 * c * c * c; }
double Quartic(double c) { return Cubic(c) + 2e-10 * c * c * c * c; }

TEST(FitPolynomial, RecoversAnExactPolynomialOfEachOrder) {
  for (int order = 3; order <= 4; ++order) {
    SCOPED_TRACE(order);
    const LineSet lines =
        FromCurve(order == 3 ? Cubic : Quartic, {3.5f, 80, 161.25f, 240, 390, 420.5f, 600, 700, 765});
    const FitResult r = FitPolynomial(lines, order, {});
    ASSERT_EQ(r.error, FitError::None) << r.message;
    EXPECT_LT(r.rms, 3e-4);  // single rounding of the fitted wavelengths, Angstroms
    EXPECT_EQ(r.linesUsed, 9);
    for (const double c : {1.0, 384.0, 768.0})
      EXPECT_NEAR(FittedWavelength(r.calibration, c), order == 3 ? Cubic(c) : Quartic(c), 1e-3);
    const double slope = 2.1 + 2.6e-3 * 384 - 2.1e-6 * 384 * 384 + (order == 4 ? 8e-10 * 384 * 384 * 384 : 0);
    EXPECT_NEAR(FittedDispersion(r.calibration, 384), slope, 1e-9);
  }
}

// Order p through p + 1 lines fits any of them exactly and says nothing of its error.
TEST(FitPolynomial, NeedsOrderPlusTwoLinesOnDistinctColumns) {
  const LineSet five = FromCurve(Cubic, {10, 200, 400, 550, 700});
  const FitResult four = FitPolynomial({five.begin(), five.end() - 1}, 3, {});
  EXPECT_EQ(four.error, FitError::TooFewLines);
  EXPECT_EQ(four.message, "A polynomial of order 3 needs at least 5 used lines - calibration unchanged!");
  LineSet unused = five;
  unused[1].used = false;
  EXPECT_EQ(FitPolynomial(unused, 3, {}).error, FitError::TooFewLines);
  LineSet sameColumn = five;
  sameColumn[1].column = sameColumn[0].column;
  sameColumn[3].column = sameColumn[2].column;
  EXPECT_EQ(FitPolynomial(sameColumn, 3, {}).error, FitError::Singular);
  EXPECT_EQ(FitPolynomial(five, 0, {}).error, FitError::BadOrder);
  EXPECT_EQ(FitPolynomial(five, kMaxPolynomialOrder + 1, {}).error, FitError::BadOrder);
  LineSet bad = five;
  bad.push_back({NAN, 300, "", true});
  EXPECT_EQ(FitPolynomial(bad, 3, {}).error, FitError::BadLine);
  bad.back().used = false;  // a line left out is not looked at
  const FitResult r = FitPolynomial(bad, 3, {});
  EXPECT_EQ(r.error, FitError::None);
  EXPECT_EQ(r.linesUsed, 5);
  EXPECT_EQ(r.linesTotal, 6);
}

struct Known {
  double grooves, deviation, focalLength, alpha;
  bool descending;
  float pixelWidth;
};

TEST(FitGrating, RecoversKnownGratingsFromTheirLamps) {
  const Known cases[] = {
      {600, 25, 100, 1.5, false, 9.0f},    {600, 25, 100, 1.5, true, 9.0f},
      {600, 25, 140, 1.2, false, 24.0f},   {600, 25, 85, 1.8, true, 6.8f},
      {1200, 45, 150, -1.0, false, 13.5f}, {1200, 45, 150, -1.0, true, 13.5f},
      {1200, 45, 120, -0.6, false, 24.0f}, {1200, 45, 120, -1.65, true, 9.0f},
  };
  for (const Known& k : cases) {
    SCOPED_TRACE(&k - cases);
    GratingModel truth;
    truth.settings.grooveDensity = k.grooves;
    truth.settings.deviationAngle = k.deviation;
    truth.settings.correction = false;
    truth.pixelWidth = k.pixelWidth;
    truth.parameters = {k.focalLength, k.alpha, 381, k.descending};
    const LineSet lines = SyntheticLamp(truth);
    ASSERT_GE(lines.size(), 6u);
    const FitResult r = FitGrating(lines, truth.settings, k.pixelWidth, {});
    ASSERT_EQ(r.error, FitError::None) << r.message;
    const GratingParameters& p = r.calibration.grating.parameters;
    EXPECT_EQ(p.descending, k.descending);
    EXPECT_NEAR(p.focalLength, k.focalLength, 0.01);  // mm
    EXPECT_NEAR(p.alphaAngle, k.alpha, 0.001);        // degrees
  }
}

TEST(FitGrating, FreesTheReferenceColumnWhenAsked) {
  GratingModel truth;
  truth.settings.correction = false;
  truth.pixelWidth = 13.5f;
  truth.parameters = {120, 9.4, 420, false};
  const LineSet lines = SyntheticLamp(truth);
  InstrumentSettings settings = truth.settings;  // reference column 381
  const FitResult fixed = FitGrating(lines, settings, 13.5f, {});
  const FitResult freed = FitGrating(lines, settings, 13.5f, {.fitReferenceColumn = true});
  ASSERT_EQ(freed.error, FitError::None) << freed.message;
  EXPECT_LT(freed.rms, fixed.rms);
  EXPECT_NEAR(freed.calibration.grating.parameters.referenceColumn, 420, 2);
}

// The lamp of a short grating spectrograph: f 53.7 mm, alpha 9.75 degrees, 9 micrometre pixels.
LineSet ShortSpectrographLamp() {
  GratingModel truth;
  truth.pixelWidth = 9.0f;
  truth.parameters = {53.7, 9.75, 381, false};
  return SyntheticLamp(truth);
}

TEST(FitGrating, RefusesWhatCannotBeFitted) {
  const LineSet lines = ShortSpectrographLamp();
  EXPECT_EQ(FitGrating(lines, {}, 0.0f, {}).error, FitError::NoPixelWidth);
  EXPECT_EQ(FitGrating({lines.front()}, {}, 9.0f, {}).error, FitError::TooFewLines);
  InstrumentSettings fine;
  fine.grooveDensity = 2400;  // 2 d cos(15 degrees) is 8050 Angstroms
  EXPECT_EQ(FitGrating(Used({{9000, 100}, {9100, 200}}), fine, 9.0f, {}).error, FitError::Unreachable);
  EXPECT_EQ(FitGrating(Used({{6000, 100}, {6100, 100}}), {}, 9.0f, {}).error, FitError::Singular);
  // 0.01 A over 500 columns needs a focal length of kilometres: beyond the
  // limits a calibration file is read with.
  EXPECT_EQ(FitGrating(Used({{6000, 100}, {6000.01, 600}}), {}, 9.0f, {}).error, FitError::Unreachable);
}

// Lines that cannot fix a fit are refused, whatever numbers a solve would give.
TEST(FitPolynomial, RefusesDegenerateLines) {
  struct Case {
    const char* name;
    LineSet lines;
    int order;
    FitError error;
  };
  const Case cases[] = {
      // six lines of one wavelength "fitted" a quartic with rms 0.00007
      {"one wavelength", Used({{5000, 100}, {5000, 200}, {5000, 300}, {5000, 400}, {5000, 500}, {5000, 600}}), 4,
       FitError::SameWavelengths},
      {"two wavelengths for a quadratic", Used({{5000, 100}, {6000, 200}, {5000, 300}, {6000, 400}}), 2,
       FitError::SameWavelengths},
      {"out of order", Used({{5000, 100}, {6000, 200}, {5500, 300}}), 1, FitError::NotMonotonic},
      // a straight line of 1 A per column through 150 A at column 300: negative at column 1
      {"below zero on the detector", Used({{150, 300}, {200, 350}, {250, 400}}), 1, FitError::BadWavelengths},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FitResult r = FitPolynomial(c.lines, c.order, {});
    EXPECT_EQ(r.error, c.error);
    EXPECT_FALSE(r.message.empty());
  }
  // Falling wavelengths are as good as rising ones.
  EXPECT_EQ(FitPolynomial(Used({{7000, 100}, {6000, 300}, {5000, 500}}), 1, {}).error, FitError::None);
}

// The line out of order is judged after clipping has had its say.
TEST(FitPolynomial, ClippingMayLeaveOutTheLineOutOfOrder) {
  LineSet lines =
      FromCurve(Cubic, {10, 60, 110, 160, 210, 260, 310, 360, 410, 460, 510, 560, 610, 660, 710, 760});
  lines[3].wavelength = lines[2].wavelength - 1;  // far off, and out of order
  EXPECT_EQ(FitPolynomial(lines, 3, {}).error, FitError::NotMonotonic);
  const FitResult clipped = FitPolynomial(lines, 3, {.clip = true});
  ASSERT_EQ(clipped.error, FitError::None) << clipped.message;
  EXPECT_TRUE(clipped.lines[3].clipped);
}

// The grating fit settles on every parameter or says that it did not.
TEST(FitGrating, SaysWhenItDoesNotConverge) {
  const LineSet lines = ShortSpectrographLamp();
  const FitResult one = FitGrating(lines, {}, 9.0f, {.maxIterations = 1});
  EXPECT_EQ(one.error, FitError::NotConverged);
  EXPECT_EQ(one.message, "The grating fit did not settle within 200 steps - calibration unchanged!");
  // Settled on all three parameters: started again from its own result, the
  // fit moves none of them beyond its tolerance.
  const FitOptions free{.fitReferenceColumn = true};
  const FitResult settled = FitGrating(lines, {}, 9.0f, free);
  ASSERT_EQ(settled.error, FitError::None) << settled.message;
  const GratingParameters& p = settled.calibration.grating.parameters;
  const FitResult again = FitGrating(lines, {}, 9.0f, free, p);
  ASSERT_EQ(again.error, FitError::None) << again.message;
  const GratingParameters& q = again.calibration.grating.parameters;
  EXPECT_NEAR(q.focalLength, p.focalLength, 1e-8 * p.focalLength);  // mm
  EXPECT_NEAR(q.alphaAngle, p.alphaAngle, 1e-8);                    // degrees
  EXPECT_NEAR(q.referenceColumn, p.referenceColumn, 1e-6);          // columns
}

TEST(CompensatedSum, KeepsTheDigitsANaiveSumLoses) {
  CompensatedSum sum;
  for (const double term : {1e16, 1.0, -1e16, 1.0}) sum.Add(term);
  EXPECT_EQ(sum.Value(), 2.0);  // a plain sum gives 0 or 1
  CompensatedSum infinite;
  infinite.Add(INFINITY);
  infinite.Add(1);
  EXPECT_EQ(infinite.Value(), INFINITY);
}

}  // namespace
}  // namespace lxr4
