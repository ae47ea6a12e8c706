// A real Hg/Ar/Ne arc (SOAR Goodman, data/README.md): pixels 150..917 made
// into the 768 columns of a camera image of 20 rows, its 23 identified lines
// measured with the program's centroid, then fitted.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "calibration/centroid.h"
#include "tests/calibration/real_arc_data.h"
#include "calibration/grating_solver.h"
#include "calibration/line_fit.h"

namespace lxr4 {
namespace {

constexpr int kFirstPixel = 150;  // the spectrum's pixel that becomes column 1
constexpr int kColumns = 768;
constexpr float kPixelWidth = 15.0f;  // micrometres, the Goodman camera's

struct RealArc {
  std::vector<double> spectrum;
  LineSet lines;
};

RealArc MakeRealArc() {
  RealArc arc;
  // Each of 20 rows holds a twentieth of the counts as a 16-bit pixel; the
  // calibration spectrum sums the rows.
  for (const auto& [pixel, counts] : ReadPairs("rascal-ghts-effective-pixel-spectrum.txt"))
    if (pixel >= kFirstPixel && pixel < kFirstPixel + kColumns)
      arc.spectrum.push_back(20 * static_cast<std::int32_t>(std::lround(counts / 20)));
  for (const auto& [pixel, wavelength] : ReadPairs("rascal-ghts-pixel-wavelength-solution-pairs.txt")) {
    const double column = pixel - (kFirstPixel - 1);
    if (column < 1 || column > kColumns) continue;
    const CentroidResult r = FindCentroid(arc.spectrum, static_cast<int>(std::lround(column)), 5);
    EXPECT_EQ(r.error, CentroidError::None);
    arc.lines.push_back({wavelength, r.column, "", true});
  }
  return arc;
}

double RmsOf(Grating g, const LineSet& lines) {
  double sum = 0;
  for (const CalibrationLine& l : lines) {
    const double r = l.wavelength - CalibratedWavelength(g, l.column);
    sum += r * r;
  }
  return std::sqrt(sum / static_cast<double>(lines.size()));
}

TEST(RealArc, FitsOverAllTwentyThreeLines) {
  const RealArc arc = MakeRealArc();
  ASSERT_EQ(arc.spectrum.size(), 768u);
  ASSERT_EQ(arc.lines.size(), 23u);

  const FitResult cubic = FitPolynomial(arc.lines, 3, {});
  ASSERT_EQ(cubic.error, FitError::None);
  EXPECT_LE(cubic.rms, 0.8);  // Angstroms
  const FitResult clipped = FitPolynomial(arc.lines, 3, {.clip = true});
  ASSERT_EQ(clipped.error, FitError::None);
  EXPECT_LE(clipped.rms, 0.3);
  EXPECT_TRUE(clipped.lines[1].clipped);  // 5769.598, blended: 3 Angstroms off every smooth fit

  // The two-line calibration on Hg 5460.735 and Ne 6402.248.
  Grating twoLine;
  twoLine.FocalLength = std::int16_t{50};
  twoLine.PixelWidth = kPixelWidth;
  const LinePair marks{arc.lines[0].wavelength, arc.lines[0].column, arc.lines[17].wavelength,
                       arc.lines[17].column};
  ASSERT_EQ(marks.wavelength2, 6402.248);
  ASSERT_EQ(SolveCalibration(twoLine, marks), SolveError::None);
  const double twoLineRms = RmsOf(twoLine, arc.lines);

  const FitResult grating =
      FitGrating(arc.lines, InstrumentSettings{}, kPixelWidth, {},
                 GratingParameters{twoLine.FocalLength.AsDouble(), twoLine.AlphaAngle.AsDouble(), 381, false});
  ASSERT_EQ(grating.error, FitError::None);
  EXPECT_LE(grating.rms, twoLineRms);
  RecordProperty("cubic_rms", std::to_string(cubic.rms));
  RecordProperty("clipped_cubic_rms", std::to_string(clipped.rms));
  RecordProperty("two_line_rms", std::to_string(twoLineRms));
  RecordProperty("grating_rms", std::to_string(grating.rms));
}

}  // namespace
}  // namespace lxr4
