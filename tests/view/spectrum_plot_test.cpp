// The Spectrum view's picture: value <-> pixel, the visible samples, a curve
// reduced to its columns, and degenerate inputs drawn as nothing harmful.
#include "view/spectrum_plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "view/curve_columns.h"

namespace lxr4 {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

TEST(SpectrumPlot, ValueAndPixelMapBothWays) {
  const PlotArea area{100, 10, 600, 300, 4000, 9000};
  EXPECT_DOUBLE_EQ(PixelOfValue(area, 6500), 350);
  EXPECT_DOUBLE_EQ(PixelOfValue(area, 9000), 600);
  EXPECT_DOUBLE_EQ(ValueAtPixel(area, 350), 6500);
  EXPECT_DOUBLE_EQ(ValueAtPixel(area, 100), 4000);
  EXPECT_NEAR(ValueAtPixel(area, PixelOfValue(area, 4321.5)), 4321.5, 1e-9);
  const PlotArea flat{5, 0, 5, 10, 1, 1};  // no width: no division by zero
  EXPECT_EQ(PixelOfValue(flat, 3), 5);
  EXPECT_EQ(ValueAtPixel(flat, 9), 1);
}

TEST(CurveColumns, VisibleSamplesOfRisingAndFallingX) {
  const std::vector<double> rising{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  const std::vector<double> falling{9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
  const auto range = [](const IndexRange& r) { return std::vector<std::size_t>{r.begin, r.end}; };
  EXPECT_EQ(range(VisibleSamples(rising, 2.5, 6)), (std::vector<std::size_t>{3, 7}));
  EXPECT_EQ(range(VisibleSamples(falling, 2.5, 6)), (std::vector<std::size_t>{3, 7}));  // 6, 5, 4, 3
  const IndexRange none = VisibleSamples(rising, 20, 30);
  EXPECT_EQ(none.begin, none.end);
}

TEST(CurveColumns, ZoomedBetweenTwoSamplesCrossesThePanel) {
  const std::vector<double> x{0, 10}, y{0, 100};
  const std::vector<ColumnValues> c = CurveColumns(x, y, 4, 6, 0, 100);
  ASSERT_EQ(c.size(), 2U);
  EXPECT_EQ(c[0].column, 0);
  EXPECT_NEAR(c[0].first, 40, 1e-9);  // interpolated at the panel's sides
  EXPECT_EQ(c[1].column, 100);
  EXPECT_NEAR(c[1].first, 60, 1e-9);
  EXPECT_TRUE(c[1].joined);
}

TEST(CurveColumns, NanBreaksTheJoin) {
  const std::vector<double> x{0, 1, 2, 3}, y{1, kNan, 2, 3};
  const std::vector<ColumnValues> c = CurveColumns(x, y, 0, 3, 0, 30);
  ASSERT_EQ(c.size(), 3U);
  EXPECT_FALSE(c[1].joined);
  EXPECT_TRUE(c[2].joined);
}

// A one-sample spike among 65,536 still reaches from the floor to the top of
// the panel in its column, and the picture holds O(width) lines.
TEST(SpectrumPlot, SpikeOfOneSampleShowsAtFullHeight) {
  for (const bool rising : {true, false}) {
    SCOPED_TRACE(rising ? "rising x" : "falling x");
    PlotCurve curve{"Object", CurveColour(0), {}, {}};
    for (int i = 0; i < 65536; ++i) {
      curve.x.push_back(rising ? i : 65535 - i);
      curve.y.push_back(i == 40000 ? 1000 : std::sin(i * 0.01));
    }
    SpectrumPlot plot;
    plot.xFrom = 0;
    plot.xTo = 65535;
    plot.curves.push_back(curve);
    const PlotPicture p = DrawSpectrumPlot(plot, 800, 480);
    const double column = std::round(PixelOfValue(p.area, curve.x[40000]));
    double tallest = 0;
    for (const PlotLine& l : p.lines)
      if (l.colour == curve.colour && l.x1 == column && l.x2 == column)
        tallest = std::max(tallest, std::fabs(l.y2 - l.y1));
    EXPECT_GT(tallest, 0.85 * (p.area.bottom - p.area.top));
    EXPECT_LT(p.lines.size(), 3U * 800U);
  }
}

// Every line at finite pixels, no text saying nan or inf.
bool Harmless(const PlotPicture& p) {
  for (const PlotLine& l : p.lines)  // a NaN or an infinity in any makes the sum one
    if (!std::isfinite(l.x1 + l.y1 + l.x2 + l.y2)) return false;
  return std::ranges::none_of(p.texts, [](const PlotText& t) {
    return t.text.find("nan") != std::string::npos || t.text.find("inf") != std::string::npos;
  });
}

SpectrumPlot Plot(std::vector<PlotCurve> curves, double from = 0, double to = 1) {
  SpectrumPlot plot;
  plot.curves = std::move(curves);
  plot.xFrom = from;
  plot.xTo = to;
  return plot;
}

PlotCurve Curve(std::vector<double> x, std::vector<double> y) {
  return {"c", kBlack, std::move(x), std::move(y)};
}

TEST(SpectrumPlot, DegenerateInputsDrawNothingHarmful) {
  struct Case {
    const char* name;
    SpectrumPlot plot;
    int width = 800, height = 480;
  };
  std::vector<Case> cases = {
      {"no curves", Plot({})},
      {"empty curve", Plot({Curve({}, {})})},
      {"all equal y", Plot({Curve({0, 1, 2}, {5, 5, 5})}, 0, 2)},
      {"no x width", Plot({Curve({0, 1, 2}, {1, 2, 3})}, 1, 1)},
      {"x reversed", Plot({Curve({0, 1, 2}, {1, 2, 3})}, 2, 0)},
      {"NaN range", Plot({Curve({0, 1, 2}, {1, 2, 3})}, kNan, 1)},
      {"NaN data", Plot({Curve({0, kNan, 2, 3}, {kNan, 2, 3, kNan})}, 0, 3)},
      {"huge data", Plot({Curve({0, 1, 2}, {-1e308, 1e308, 0})}, 0, 2)},
      {"lengths differ", Plot({Curve({0, 1, 2}, {1})}, 0, 2)},
      {"residuals only", Plot({}, 0, 2)},
      {"10 x 10", Plot({Curve({0, 1, 2}, {1, 2, 3})}, 0, 2), 10, 10},
      {"0 x 0", Plot({Curve({0, 1}, {1, 2})}), 0, 0},
      {"negative size", Plot({Curve({0, 1}, {1, 2})}), -5, -5},
  };
  cases[0].plot.message = "No spectrum";
  cases[9].plot.residuals = {{1, kNan, true}, {1, 0.1, false}, {kNan, 1, true}};
  cases[10].plot.message = "long message";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PlotPicture p = DrawSpectrumPlot(c.plot, c.width, c.height);
    EXPECT_EQ(p.width, std::max(c.width, 0));
    EXPECT_EQ(p.height, std::max(c.height, 0));
    EXPECT_TRUE(Harmless(p));
    EXPECT_TRUE(std::isfinite(p.area.xFrom) && std::isfinite(p.area.xTo) && p.area.xFrom < p.area.xTo);
  }
}

bool HasText(const PlotPicture& p, const std::string& text) {
  return std::ranges::any_of(p.texts, [&](const PlotText& t) { return t.text == text; });
}

TEST(SpectrumPlot, MessageOnlyWhenNothingToDraw) {
  SpectrumPlot plot = Plot({});
  plot.message = "Load a spectrum";
  EXPECT_TRUE(HasText(DrawSpectrumPlot(plot, 400, 300), "Load a spectrum"));
  plot.curves.push_back({"Object", CurveColour(0), {0, 1}, {1, 2}});
  EXPECT_FALSE(HasText(DrawSpectrumPlot(plot, 400, 300), "Load a spectrum"));
}

TEST(SpectrumPlot, LegendOnlyForMoreThanOneCurve) {
  SpectrumPlot plot = Plot({{"Object", CurveColour(0), {0, 1, 2}, {1, 2, 1}}}, 0, 2);
  EXPECT_FALSE(HasText(DrawSpectrumPlot(plot, 600, 400), "Object"));
  plot.curves.push_back({"Lamp", CurveColour(1), {0, 1, 2}, {3, 1, 3}});
  const PlotPicture p = DrawSpectrumPlot(plot, 600, 400);
  EXPECT_TRUE(HasText(p, "Object"));
  EXPECT_TRUE(HasText(p, "Lamp"));
}

TEST(SpectrumPlot, MarkersCursorAndResidualsLandOnTheirPixels) {
  SpectrumPlot plot = Plot({{"Object", CurveColour(0), {6000, 7000}, {1, 2}}}, 6000, 7000);
  plot.markers = {{6562.8, "6562.8", MarkerKind::TableLine}, {9000, "off", MarkerKind::ListLine}};
  plot.cursor = 6400.0;
  plot.residuals = {{6562.8, 0.05, true}, {6700, -0.2, false}};
  const PlotPicture p = DrawSpectrumPlot(plot, 800, 480);
  EXPECT_TRUE(HasText(p, "6562.8"));
  EXPECT_FALSE(HasText(p, "off"));  // outside the range
  const auto verticalAt = [&](double value) {
    const double x = PixelOfValue(p.area, value);
    for (const PlotLine& l : p.lines)
      if (l.x1 == x && l.x2 == x && std::fabs(l.y2 - l.y1) > (p.area.bottom - p.area.top) / 2) return true;
    return false;
  };
  EXPECT_TRUE(verticalAt(6562.8));
  EXPECT_TRUE(verticalAt(6400));
  // The residual panel lies under the spectrum panel; used and unused points differ in colour.
  Rgb used{}, unused{};
  for (const PlotLine& l : p.lines) {
    if (l.y1 <= p.area.bottom) continue;
    if (std::lround(l.x1) == std::lround(PixelOfValue(p.area, 6562.8)) - 2 && l.y1 == l.y2) used = l.colour;
    if (std::lround(l.x1) == std::lround(PixelOfValue(p.area, 6700)) - 3 && l.y1 != l.y2) unused = l.colour;
  }
  EXPECT_NE(used, Rgb{});
  EXPECT_NE(unused, Rgb{});
  EXPECT_NE(used, unused);
}

}  // namespace
}  // namespace lxr4
