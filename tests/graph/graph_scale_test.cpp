// The graph's scales at their edges. The golden cases graph-* draw every style
// around a cursor, at both ends of the spectrum, beyond a shorter spectrum, and
// for flat and empty spectra.
#include "output/graph_scale.h"

#include <gtest/gtest.h>

namespace lxr4 {
namespace {

// A spectrum whose columns first..last ramp evenly from low to high.
Spectrum Ramp(int first, int last, std::int32_t low, std::int32_t high) {
  Spectrum s;
  for (int k = first; k <= last; ++k) {
    s[k] = low + (high - low) * (k - first) / (last - first);
  }
  return s;
}

TEST(GraphCentre, ClampsTheCursorToTheSpectrum) {
  const struct {
    std::int16_t cursor, length, centre;
  } cases[] = {
      {381, 765, 381}, {1, 765, 1},     {0, 765, 1}, {-5, 765, 1},
      {765, 765, 765}, {700, 510, 510}, {381, 0, 0}, {0, 0, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GraphCentre(c.cursor, c.length), c.centre) << c.cursor << " of " << c.length;
}

TEST(ScanWindow, NarrowRangeIsWidenedTo256) {
  const Spectrum s = Ramp(1, 768, 1000, 1100);
  for (bool pushed : {false, true}) {
    const WindowRange r = ScanWindow(s, 381, pushed);
    EXPECT_EQ(r.bottom, s[349]);
    EXPECT_EQ(r.top, static_cast<float>(s[349] + 256));
  }
  // The top of a 1000..1100 window plots at 39.0625 percent.
  EXPECT_DOUBLE_EQ(WindowPercent(1100, {1256.0f, 1000}), 39.0625);
}

TEST(LogPercent, ValueAtOrBelowTenUnderTheMinimumPlotsAtZero) {
  EXPECT_EQ(LogPercent(0, 10), 0.0);  // S + 10 - min = 0
  EXPECT_EQ(LogPercent(0, 500), 0.0);
  EXPECT_GT(LogPercent(0, 8), 0.0);
}

TEST(PlotCurve, PushedClampsAboveTheCutButNotTheStart) {
  Spectrum s;
  for (int k = 1; k <= 768; ++k) s[k] = 1000;
  s[349] = 9000;  // the start value: c - 32
  s[400] = 9000;
  const Curve curve = PlotCurve({s, 765, 9000, 1000, 381}, GraphStyle::Pushed);
  EXPECT_DOUBLE_EQ(curve.startY, 110 - 100.0 * 8000 / 2048);  // -280.625, not clamped
  EXPECT_EQ(curve.points[50].y, 10);                          // column 400, cut at 3048
  EXPECT_EQ(curve.points[0].y, 110);
}

TEST(PlotCurve, EmptySpectrumDrawsWithoutFault) {
  const Spectrum s;
  for (GraphStyle style : {GraphStyle::Linear, GraphStyle::Log, GraphStyle::Autoscaled, GraphStyle::Pushed}) {
    SCOPED_TRACE(static_cast<int>(style));
    const Curve curve = PlotCurve({s, 0, 0, 1310720, 381}, style);
    EXPECT_EQ(curve.points.back().x, 257.0f);
    for (const CurvePoint& p : curve.points) EXPECT_EQ(p.y, 110);
  }
}

}  // namespace
}  // namespace lxr4
