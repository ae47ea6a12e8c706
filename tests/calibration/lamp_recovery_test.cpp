// Property: on a lamp spectrum whose lines sit where a known grating puts
// them, measuring two lines and solving gives back that grating.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "calibration/centroid.h"
#include "calibration/grating_solver.h"

namespace lxr4 {
namespace {

constexpr int kColumns = 765;

// The column (fractional) where the grating puts `wavelength`, by bisection.
double ColumnOf(Grating truth, double wavelength) {
  double lo = -400, hi = 1200;
  const bool rising = !truth.WavelengthDescending;
  for (int i = 0; i < 60; ++i) {
    const double mid = (lo + hi) / 2;
    if ((CalibratedWavelength(truth, mid) < wavelength) == rising)
      lo = mid;
    else
      hi = mid;
  }
  return (lo + hi) / 2;
}

// A lamp spectrum: Gaussian lines of a few pixels on a sloping continuum.
std::vector<std::int32_t> LampSpectrum(const std::vector<double>& lineColumns) {
  std::vector<std::int32_t> s(kColumns);
  for (int i = 1; i <= kColumns; ++i) {
    double v = 300.0 + 0.2 * i;
    for (std::size_t n = 0; n < lineColumns.size(); ++n) {
      const double d = (i - lineColumns[n]) / 1.2;
      v += (4000.0 + 1500.0 * static_cast<double>(n)) * std::exp(-0.5 * d * d);
    }
    s[static_cast<std::size_t>(i - 1)] = static_cast<std::int32_t>(std::lround(v));
  }
  return s;
}

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
    const std::vector<double> columns{ColumnOf(truth, t.line1), ColumnOf(truth, t.line2)};
    for (double c : columns) ASSERT_TRUE(c > 20 && c < kColumns - 20) << c;
    const std::vector<std::int32_t> lamp = LampSpectrum(columns);

    LinePair marks{t.line1, 0, t.line2, 0};
    for (int n = 0; n < 2; ++n) {
      const int cursor = static_cast<int>(std::lround(columns[static_cast<std::size_t>(n)]));
      const CentroidResult r = FindCentroid(lamp, cursor, 7);
      ASSERT_EQ(r.error, CentroidError::None);
      (n == 0 ? marks.pixel1 : marks.pixel2) = r.column;
      EXPECT_NEAR(r.column, columns[static_cast<std::size_t>(n)], 0.05);
    }

    Grating fitted;
    fitted.FocalLength = std::int16_t{50};
    fitted.PixelWidth = t.pixelWidth;
    ASSERT_EQ(SolveCalibration(fitted, marks), SolveError::None);
    EXPECT_EQ(fitted.WavelengthDescending, t.descending);
    EXPECT_NEAR(fitted.FocalLength.AsDouble(), t.focalLength, 0.01);  // mm
    EXPECT_NEAR(fitted.AlphaAngle.AsDouble(), t.alpha, 0.0002);       // degrees
    // Across the detector the fitted wavelengths stay within a tenth of a pixel.
    for (int column = 1; column <= kColumns; column += 16) {
      SCOPED_TRACE(column);
      EXPECT_NEAR(CalibratedWavelength(fitted, column), CalibratedWavelength(truth, column),
                  0.5);  // Angstroms
    }
  }
}

}  // namespace
}  // namespace lxr4
