#include "output/graph_scale.h"

#include <gtest/gtest.h>

#include <string>

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

struct CentreCase {
  std::int16_t cursor, length, centre;
};

TEST(GraphCentre, ClampsTheCursorToTheSpectrum) {
  const CentreCase cases[] = {
      {381, 765, 381}, {1, 765, 1},     {0, 765, 1}, {-5, 765, 1},
      {765, 765, 765}, {700, 510, 510}, {381, 0, 0}, {0, 0, 0},
  };
  for (const CentreCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.cursor) + " of " + std::to_string(c.length));
    EXPECT_EQ(GraphCentre(c.cursor, c.length), c.centre);
  }
}

TEST(GraphX, CentreAt129AndTheWindowEndsAtTheBoxEdges) {
  EXPECT_EQ(GraphX(381, 381), 129.0f);
  EXPECT_EQ(GraphX(349, 381), 1.0f);
  EXPECT_EQ(GraphX(413, 381), 257.0f);
  EXPECT_EQ(GraphX(-21, 10), 5.0f);
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

TEST(ScanWindow, PushedStyleCutsAt2048AboveTheMinimum) {
  Spectrum s;
  for (int k = 349; k <= 413; ++k) s[k] = 1000;
  s[400] = 9000;
  EXPECT_EQ(ScanWindow(s, 381, false).top, 9000.0f);
  const WindowRange pushed = ScanWindow(s, 381, true);
  EXPECT_EQ(pushed.top, 3048.0f);
  EXPECT_EQ(pushed.bottom, 1000);
}

TEST(ScanWindow, CoversOnlyColumnsOneTo763OfTheWindow) {
  Spectrum s;
  for (int k = 1; k <= 768; ++k) s[k] = 500;
  s[43] = 90000;   // just right of the window of centre 10 (columns -22..42)
  s[764] = 90000;  // plotted but never scanned
  s[765] = 1;
  EXPECT_EQ(ScanWindow(s, 10, false).top, 756.0f);
  const WindowRange end = ScanWindow(s, 765, false);
  EXPECT_EQ(end.top, 756.0f);
  EXPECT_EQ(end.bottom, 500);
}

struct PercentCase {
  const char* name;
  double value;
  double percent;
};

TEST(LinearPercent, WholeSpectrumRangeFillsTheScale) {
  const PercentCase cases[] = {
      {"minimum", 200, 0},
      {"maximum", 1200, 100},
      {"a quarter", 450, 25},
      {"below", 100, -10},
  };
  for (const PercentCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_DOUBLE_EQ(LinearPercent(c.value, 1200, 200), c.percent);
  }
}

TEST(LinearPercent, NoRangeLiesOnTheBottom) {
  EXPECT_EQ(LinearPercent(500, 500, 500), 0.0);    // a flat spectrum
  EXPECT_EQ(LinearPercent(0, 0, 0), 0.0);          // nothing extracted yet
  EXPECT_EQ(LinearPercent(300, 0, 1310720), 0.0);  // an empty extraction
}

TEST(LogPercent, TwentyUnitsPerDecadeAboveTheMinimum) {
  const PercentCase cases[] = {
      {"the minimum plots at y 90", 1000, 20},
      {"90 above at 40", 1090, 40},
      {"990 above at y 50", 1990, 60},
      {"99990 above at the top", 100990, 100},
  };
  for (const PercentCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(LogPercent(c.value, 1000), c.percent, 1e-12);
  }
}

TEST(LogPercent, ValueAtOrBelowTenUnderTheMinimumPlotsAtZero) {
  EXPECT_EQ(LogPercent(0, 10), 0.0);  // S + 10 - min = 0
  EXPECT_EQ(LogPercent(0, 500), 0.0);
  EXPECT_GT(LogPercent(0, 8), 0.0);
}

TEST(PlotCurve, SixtyFourSegmentsFromXOneTo257) {
  const Spectrum s = Ramp(1, 765, 0, 7640);
  const Curve curve = PlotCurve({s, 765, 7640, 0, 381}, GraphStyle::Linear);
  EXPECT_EQ(curve.points.front().x, 5.0f);
  EXPECT_EQ(curve.points[30].x, 125.0f);
  EXPECT_EQ(curve.points[31].x, 129.0f);  // the cursor column
  EXPECT_EQ(curve.points.back().x, 257.0f);
  EXPECT_DOUBLE_EQ(curve.points[31].y, 110 - 100.0 * s[381] / 7640);
  EXPECT_DOUBLE_EQ(curve.startY, 110 - 100.0 * s[349] / 7640);
}

TEST(PlotCurve, LeftEndPlotsMissingColumnsAtTheBottom) {
  Spectrum s = Ramp(1, 765, 100, 865);
  const Curve curve = PlotCurve({s, 765, 865, 100, 10}, GraphStyle::Linear);
  EXPECT_EQ(curve.startY, 110);  // the start value is the minimum
  for (int n = 0; n <= 21; ++n) EXPECT_EQ(curve.points[static_cast<std::size_t>(n)].y, 110) << n;
  EXPECT_EQ(curve.points[22].y, 110);  // column 1, the minimum
  EXPECT_LT(curve.points[23].y, 110);  // column 2
}

TEST(PlotCurve, LeftEndScanSeesOnlyColumnsOneTo42) {
  Spectrum s;
  for (int k = 1; k <= 765; ++k) s[k] = 1000;
  s[42] = 1200;
  s[43] = 5000;  // outside the window: the top stays 1256
  const Curve curve = PlotCurve({s, 765, 5000, 1000, 10}, GraphStyle::Autoscaled);
  EXPECT_DOUBLE_EQ(curve.points.back().y, 110 - 100.0 * 200 / 256);
}

TEST(PlotCurve, RightEndPlotsColumnsBeyond765AtTheBottom) {
  Spectrum s;
  for (int k = 1; k <= 768; ++k) s[k] = 2000;
  const Curve curve = PlotCurve({s, 765, 2000, 0, 765}, GraphStyle::Linear);
  EXPECT_EQ(curve.points[31].y, 10);  // column 765 at the top
  for (int n = 32; n < kGraphSegments; ++n) {
    EXPECT_EQ(curve.points[static_cast<std::size_t>(n)].y, 110) << n;  // 766..797
  }
}

TEST(PlotCurve, CursorBeyondAShorterSpectrumCentresOnItsLastColumn) {
  Spectrum s;
  for (int k = 1; k <= 768; ++k) s[k] = 100;
  s[510] = 356;   // the last column of the spectrum
  s[520] = 9999;  // an older value past the spectrum, still plotted
  const Curve curve = PlotCurve({s, 510, 356, 100, 700}, GraphStyle::Autoscaled);
  EXPECT_EQ(curve.points[31].x, 129.0f);
  // The window 478..542 scans 9999 too: range 100..9999.
  EXPECT_DOUBLE_EQ(curve.points[31].y, 110 - 100.0 * 256 / 9899);
  EXPECT_EQ(curve.points[41].y, 10);
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

TEST(PlotCurve, LogStylePlotsOlderColumnsBelowTheMinimumAtTheBottom) {
  Spectrum s;
  for (int k = 1; k <= 500; ++k) s[k] = 4000;
  const Curve curve = PlotCurve({s, 500, 4000, 4000, 490}, GraphStyle::Log);
  EXPECT_NEAR(curve.points[31].y, 90, 1e-12);  // column 490, the minimum
  EXPECT_EQ(curve.points[63].y, 110);          // column 522 holds 0
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

TEST(CentroidMarkers, HalfAColumnOutsideTheWindow) {
  const auto five = CentroidMarkers(5);
  EXPECT_EQ(five[0].x1, 117);
  EXPECT_EQ(five[0].x2, 118);
  EXPECT_EQ(five[1].x1, 141);
  EXPECT_EQ(five[1].x2, 143);
  EXPECT_EQ(five[0].y1, 1);
  EXPECT_EQ(five[1].y2, 109);
  const auto nine = CentroidMarkers(9);
  EXPECT_EQ(nine[0].x1, 109);
  EXPECT_EQ(nine[0].x2, 110);
  EXPECT_EQ(nine[1].x1, 149);
  EXPECT_EQ(nine[1].x2, 151);
}

}  // namespace
}  // namespace lxr4
