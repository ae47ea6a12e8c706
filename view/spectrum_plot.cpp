#include "view/spectrum_plot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <utility>

#include "view/axis_ticks.h"
#include "view/curve_columns.h"

namespace lxr4 {

namespace {

constexpr Rgb kFrame{90, 90, 90};
constexpr Rgb kGrid{230, 230, 230};
constexpr Rgb kText{30, 30, 30};
constexpr Rgb kZeroLine{140, 140, 140};
constexpr Rgb kTableMarker{40, 150, 40};
constexpr Rgb kListMarker{150, 150, 200};
constexpr Rgb kTableLabel{0, 110, 0};  // darker than their lines, to read
constexpr Rgb kListLabel{90, 90, 150};
constexpr Rgb kCursor{220, 0, 0};
constexpr Rgb kUsedPoint{20, 40, 140};
constexpr Rgb kUnusedPoint{230, 100, 0};
constexpr Rgb kExtrapolated{255, 236, 214};
constexpr Rgb kExtrapolatedLabel{170, 90, 20};
constexpr Rgb kContinuum{222, 244, 222};
constexpr Rgb kMeasuredRegion{226, 232, 252};
constexpr Rgb kMeasuredMarker{150, 40, 170};
constexpr Rgb kFit{230, 0, 160};

constexpr int kTick = 4;                    // tick marks' length outside the panel
constexpr int kLine = kPlotTextHeight + 1;  // one row of text
constexpr int kLeast = 24;                  // a panel's least size in pixels
constexpr double kLargest = 1e300;          // values beyond are drawn at this

struct Span {
  double lo = 0, hi = 1;
};

// The panel boxes, in pixels, both ends included.
struct Layout {
  int left = 0, right = 0, top = 0, bottom = 0;  // the spectrum panel
  int residualTop = 0, residualBottom = 0;       // the residual panel's, when there is one
  int axisBottom = 0;                            // the lowest panel's bottom, where x labels go
};

// The x range as given, made usable: ordered, finite and of some width.
Span ShownRange(double from, double to) {
  if (!std::isfinite(from) || !std::isfinite(to)) return {0, 1};
  if (from > to) std::swap(from, to);
  from = std::clamp(from, -kLargest, kLargest);
  to = std::clamp(to, -kLargest, kLargest);
  if (to - from < std::max(std::fabs(from), std::fabs(to)) * 1e-12 || to == from) {
    const double half = std::max(0.5, std::fabs(from) * 1e-9);
    return {from - half, from + half};
  }
  return {from, to};
}

// The curves' least and greatest finite value in the range, with a margin;
// nothing when no curve has a finite value there.
std::optional<Span> ValueRange(const std::vector<PlotCurve>& curves, Span x) {
  bool any = false;
  Span s{kLargest, -kLargest};
  for (const PlotCurve& c : curves) {
    for (const ColumnValues& v : CurveColumns(c.x, c.y, x.lo, x.hi, 0, 1)) {
      s.lo = std::min(s.lo, std::max(v.least, -kLargest));
      s.hi = std::max(s.hi, std::min(v.greatest, kLargest));
      any = true;
    }
  }
  if (!any) return std::nullopt;
  const double margin = s.hi > s.lo ? (s.hi - s.lo) * 0.05 : std::max(1.0, std::fabs(s.hi) * 0.05);
  return Span{s.lo - margin, s.hi + margin};
}

// The residual panel's range: symmetric about zero, holding every point shown.
Span ResidualRange(const std::vector<ResidualPoint>& points, Span x) {
  double most = 0;
  for (const ResidualPoint& p : points)
    if (p.x >= x.lo && p.x <= x.hi && std::isfinite(p.residual)) most = std::max(most, std::fabs(p.residual));
  most = std::min(most, kLargest);
  const double r = most > 0 ? most * 1.2 : 1.0;
  return {-r, r};
}

// The pixel row of a value in a panel (rows grow downwards), kept inside it.
double Row(double value, Span s, int top, int bottom) {
  const double row = bottom - (value - s.lo) / (s.hi - s.lo) * (bottom - top);
  if (!(row >= top)) return row > bottom ? bottom : top;  // NaN too
  return std::min<double>(row, bottom);
}

class Builder {
 public:
  explicit Builder(PlotPicture& p) : p_(p) {}
  void Line(double x1, double y1, double x2, double y2, Rgb c) { p_.lines.push_back({x1, y1, x2, y2, c}); }
  void Text(int x, int y, std::string text, Rgb c, TextAnchor anchor) {
    // Kept inside the picture where it fits.
    const int w = PlotTextWidth(text);
    int leftEdge = anchor == TextAnchor::Left ? x : anchor == TextAnchor::Right ? x - w : x - w / 2;
    leftEdge = std::max(0, std::min(leftEdge, p_.width - w));
    y = std::max(0, std::min(y, p_.height - kPlotTextHeight));
    p_.texts.push_back({leftEdge, y, std::move(text), c, TextAnchor::Left});
  }
  void Box(int left, int top, int right, int bottom, Rgb c) {
    Line(left, top, right, top, c);
    Line(left, bottom, right, bottom, c);
    Line(left, top, left, bottom, c);
    Line(right, top, right, bottom, c);
  }
  // Filled with lines, so it covers lines drawn before it.
  void Filled(int left, int top, int right, int bottom, Rgb c) {
    for (int y = top; y <= bottom; ++y) Line(left, y, right, y, c);
  }

 private:
  PlotPicture& p_;
};

// Ticks with at most maxCount values whose labels fit `room` pixels each.
AxisTicks TicksThatFit(Span s, int maxCount, int length, int room) {
  for (int count = std::max(maxCount, 1);; --count) {
    AxisTicks t = NiceTicks(s.lo, s.hi, count);
    int widest = 0;
    for (const double v : t.values) widest = std::max(widest, PlotTextWidth(TickLabel(v, t.step)));
    const int between = t.values.size() > 1 ? length / static_cast<int>(t.values.size()) : length;
    if (count == 1 || widest + room <= between) return t;
  }
}

int WidestLabel(const AxisTicks& t) {
  int widest = 0;
  for (const double v : t.values) widest = std::max(widest, PlotTextWidth(TickLabel(v, t.step)));
  return widest;
}

void YAxis(Builder& b, const AxisTicks& t, Span s, int left, int right, int top, int bottom, bool grid) {
  for (const double v : t.values) {
    const double y = Row(v, s, top, bottom);
    if (grid) b.Line(left + 1, y, right - 1, y, kGrid);
    b.Line(left - kTick, y, left - 1, y, kFrame);
    b.Text(left - kTick - 2, static_cast<int>(std::lround(y)) - kPlotTextHeight / 2, TickLabel(v, t.step),
           kText, TextAnchor::Right);
  }
}

// Draws the curves; gives, per pixel column from the panel's left, the
// highest row a curve reaches there (the panel's bottom where none does).
std::vector<double> Curves(Builder& b, const SpectrumPlot& plot, Span x, Span y, const Layout& l) {
  std::vector<double> highest(static_cast<std::size_t>(l.right - l.left + 1), l.bottom);
  const auto reach = [&](int column, double row) {
    double& h = highest[static_cast<std::size_t>(column - l.left)];
    h = std::min(h, row);
  };
  for (const PlotCurve& c : plot.curves) {
    const std::vector<ColumnValues> columns = CurveColumns(c.x, c.y, x.lo, x.hi, l.left, l.right);
    const ColumnValues* before = nullptr;
    for (const ColumnValues& v : columns) {
      const double first = Row(v.first, y, l.top, l.bottom);
      if (before != nullptr && v.joined)
        b.Line(before->column, Row(before->last, y, l.top, l.bottom), v.column, first, c.colour);
      const double high = Row(v.greatest, y, l.top, l.bottom), low = Row(v.least, y, l.top, l.bottom);
      if (!v.joined || low - high >= 0.5) b.Line(v.column, low, v.column, high, c.colour);
      reach(v.column,
            std::min(high, before != nullptr && v.joined ? Row(before->last, y, l.top, l.bottom) : high));
      before = &v;
    }
  }
  return highest;
}

// The markers' lines and their labels along the panel's top, a label moved a
// row down when it would touch the one before; the rows used.
int Markers(Builder& b, const SpectrumPlot& plot, const PlotArea& area) {
  struct Shown {
    double x;
    const PlotMarker* marker;
  };
  std::vector<Shown> shown;
  for (const PlotMarker& m : plot.markers)
    if (m.x >= area.xFrom && m.x <= area.xTo) shown.push_back({PixelOfValue(area, m.x), &m});
  std::sort(shown.begin(), shown.end(), [](const Shown& a, const Shown& c) { return a.x < c.x; });
  std::array<int, 3> rowEnd;
  rowEnd.fill(area.left - 1000);
  int rowsUsed = 0;
  for (const Shown& s : shown) {
    const bool table = s.marker->kind == MarkerKind::TableLine;
    const bool measured = s.marker->kind == MarkerKind::Measured;
    const Rgb colour = table ? kTableMarker : measured ? kMeasuredMarker : kListMarker;
    if (table || measured) {
      b.Line(s.x, area.top + 1, s.x, area.bottom - 1, colour);
    } else {
      for (int y = area.top + 1; y < area.bottom; y += 6)
        b.Line(s.x, y, s.x, std::min(y + 2, area.bottom - 1), colour);
    }
    if (s.marker->label.empty()) continue;
    const int w = PlotTextWidth(s.marker->label);
    const int from = static_cast<int>(std::lround(s.x)) + 2;
    if (from + w > area.right - 1) continue;
    for (std::size_t row = 0; row < rowEnd.size(); ++row) {
      if (rowEnd[row] + 8 > from) continue;
      if (area.top + 2 + static_cast<int>(row + 1) * kLine > area.bottom) break;
      b.Text(from, area.top + 2 + static_cast<int>(row) * kLine, s.marker->label,
             table ? kTableLabel : measured ? kMeasuredMarker : kListLabel, TextAnchor::Left);
      rowEnd[row] = from + w;
      rowsUsed = std::max(rowsUsed, static_cast<int>(row) + 1);
      break;
    }
  }
  return rowsUsed;
}

void Residuals(Builder& b, const SpectrumPlot& plot, const PlotArea& area, Span s, const Layout& l) {
  const double zero = Row(0, s, l.residualTop, l.residualBottom);
  b.Line(l.left + 1, zero, l.right - 1, zero, kZeroLine);
  for (const ResidualPoint& p : plot.residuals) {
    if (!(p.x >= area.xFrom && p.x <= area.xTo) || !std::isfinite(p.residual)) continue;
    const auto x = static_cast<int>(std::lround(PixelOfValue(area, p.x)));
    const auto y = static_cast<int>(std::lround(Row(p.residual, s, l.residualTop, l.residualBottom)));
    if (p.used) {
      b.Filled(x - 2, y - 2, x + 2, y + 2, kUsedPoint);
    } else {
      b.Line(x - 3, y - 3, x + 3, y + 3, kUnusedPoint);
      b.Line(x - 3, y + 3, x + 3, y - 3, kUnusedPoint);
    }
  }
}

// The legend in the top right corner, or the top left when the curves reach
// into the one but not the other.
void Legend(Builder& b, const std::vector<PlotCurve>& curves, const Layout& l, int below,
            const std::vector<double>& highest) {
  int widest = 0;
  for (const PlotCurve& c : curves) widest = std::max(widest, PlotTextWidth(c.name));
  const int w = 6 + 16 + 4 + widest + 6, h = static_cast<int>(curves.size()) * kLine + 7;
  const int top = l.top + 6 + below * kLine;
  if (w > (l.right - l.left) * 2 / 3 || top + h > l.bottom - 6) return;  // no room
  const auto covers = [&](int from) {
    for (int c = from; c <= from + w; ++c)
      if (highest[static_cast<std::size_t>(c - l.left)] <= top + h) return true;
    return false;
  };
  const int left = covers(l.right - 6 - w) && !covers(l.left + 6) ? l.left + 6 : l.right - 6 - w;
  const int right = left + w;
  b.Filled(left, top, right, top + h, kWhite);
  b.Box(left, top, right, top + h, Rgb{170, 170, 170});
  int y = top + 4;
  for (const PlotCurve& c : curves) {
    const int mid = y + kPlotTextHeight / 2 - 1;
    b.Line(left + 6, mid, left + 21, mid, c.colour);
    b.Line(left + 6, mid + 1, left + 21, mid + 1, c.colour);
    b.Text(left + 26, y, c.name, kText, TextAnchor::Left);
    y += kLine;
  }
}

}  // namespace

Rgb CurveColour(int index) {
  static constexpr std::array<Rgb, 6> kPalette{{
      {20, 40, 140},  // the object spectrum: dark blue
      {210, 90, 0},   // the lamp: orange
      {0, 150, 150},  // overlays: teal, purple, olive, rose
      {130, 50, 170},
      {120, 120, 0},
      {210, 60, 130},
  }};
  const auto n = static_cast<int>(kPalette.size());
  return kPalette[static_cast<std::size_t>(((index % n) + n) % n)];
}

double PixelOfValue(const PlotArea& area, double value) {
  if (!(area.xTo != area.xFrom) || area.right == area.left) return area.left;
  return area.left + (value - area.xFrom) / (area.xTo - area.xFrom) * (area.right - area.left);
}

double ValueAtPixel(const PlotArea& area, double pixel) {
  if (area.right == area.left) return area.xFrom;
  return area.xFrom + (pixel - area.left) / (area.right - area.left) * (area.xTo - area.xFrom);
}

PlotPicture DrawSpectrumPlot(const SpectrumPlot& plot, int width, int height) {
  PlotPicture picture;
  picture.width = std::max(width, 0);
  picture.height = std::max(height, 0);
  Builder b(picture);
  const Span x = ShownRange(plot.xFrom, plot.xTo);
  const std::optional<Span> y = ValueRange(plot.curves, x);
  const bool residuals = !plot.residuals.empty();

  Layout l;
  l.top = 2 + kLine + 4;
  l.axisBottom = picture.height - 1 - (kTick + 2 + kLine + (plot.xLabel.empty() ? 2 : kLine + 3));
  l.right = picture.width - 1 - 12;
  const int all = l.axisBottom - l.top;
  const int residualHeight = residuals ? std::max(all / 4, kLeast) : 0;
  const int gap = residuals ? kLine + 8 : 0;
  l.bottom = l.axisBottom - residualHeight - gap;
  l.residualTop = l.bottom + gap;
  l.residualBottom = l.axisBottom;

  // The y ticks set the left margin, which the x ticks need.
  const Span r = ResidualRange(plot.residuals, x);
  const AxisTicks yTicks = y ? TicksThatFit(*y, (l.bottom - l.top) / 30, l.bottom - l.top, 0) : AxisTicks{};
  const AxisTicks rTicks =
      residuals ? NiceTicks(r.lo, r.hi, std::clamp(residualHeight / 18, 1, 4)) : AxisTicks{};
  l.left = std::max({8 + WidestLabel(yTicks), 8 + WidestLabel(rTicks), 20}) + kTick + 2;
  picture.area = {l.left, l.top, l.right, l.bottom, x.lo, x.hi};

  if (l.right - l.left < kLeast || l.bottom - l.top < kLeast) {  // too small for a plot
    picture.area = {0, 0, std::max(picture.width - 1, 0), std::max(picture.height - 1, 0), x.lo, x.hi};
    if (!plot.message.empty() && PlotTextWidth(plot.message) <= picture.width &&
        kPlotTextHeight <= picture.height)
      b.Text(picture.width / 2, (picture.height - kPlotTextHeight) / 2, plot.message, kText,
             TextAnchor::Centre);
    return picture;
  }

  // Shaded under everything: where the calibration is extrapolated (named at
  // the foot), the continuum marked and the line measured last.
  const auto shade = [&](double from, double to, Rgb colour, const std::string& label) {
    const double a = std::clamp(PixelOfValue(picture.area, std::min(from, to)), double(l.left + 1), double(l.right - 1));
    const double c = std::clamp(PixelOfValue(picture.area, std::max(from, to)), double(l.left + 1), double(l.right - 1));
    if (!(c - a >= 1)) return;
    b.Filled(static_cast<int>(std::lround(a)), l.top + 1, static_cast<int>(std::lround(c)), l.bottom - 1, colour);
    if (!label.empty() && PlotTextWidth(label) + 4 <= c - a)
      b.Text(static_cast<int>(std::lround((a + c) / 2)), l.bottom - 2 - kPlotTextHeight, label, kExtrapolatedLabel,
             TextAnchor::Centre);
  };
  for (const auto& [from, to] : plot.extrapolated) shade(from, to, kExtrapolated, "extrapolated");
  for (const auto& [from, to] : plot.continuum) shade(from, to, kContinuum, "");
  if (plot.measured) shade(plot.measured->first, plot.measured->second, kMeasuredRegion, "");

  // The x axis: grid and tick marks on every panel, labels under the lowest.
  const AxisTicks xTicks = TicksThatFit(x, (l.right - l.left) / 40, l.right - l.left, 14);
  for (const double v : xTicks.values) {
    const double px = PixelOfValue(picture.area, v);
    b.Line(px, l.top + 1, px, l.bottom - 1, kGrid);
    b.Line(px, l.bottom + 1, px, l.bottom + kTick, kFrame);
    if (residuals) b.Line(px, l.residualBottom + 1, px, l.residualBottom + kTick, kFrame);
    b.Text(static_cast<int>(std::lround(px)), l.axisBottom + kTick + 2, TickLabel(v, xTicks.step), kText,
           TextAnchor::Centre);
  }
  if (!plot.xLabel.empty())
    b.Text((l.left + l.right) / 2, l.axisBottom + kTick + 2 + kLine + 2, plot.xLabel, kText,
           TextAnchor::Centre);
  if (!plot.yLabel.empty()) b.Text(4, 3, plot.yLabel, kText, TextAnchor::Left);

  if (y) YAxis(b, yTicks, *y, l.left, l.right, l.top, l.bottom, true);
  // Markers over the grid, behind the curves they mark.
  const int markerRows = Markers(b, plot, picture.area);
  std::vector<double> highest;
  if (y) {
    highest = Curves(b, plot, x, *y, l);
    for (std::size_t i = 1; i < std::min(plot.fitX.size(), plot.fitY.size()); ++i) {
      const double x0 = PixelOfValue(picture.area, plot.fitX[i - 1]), x1 = PixelOfValue(picture.area, plot.fitX[i]);
      if (!(std::min(x0, x1) >= l.left && std::max(x0, x1) <= l.right)) continue;  // NaN too
      b.Line(x0, Row(plot.fitY[i - 1], *y, l.top, l.bottom), x1, Row(plot.fitY[i], *y, l.top, l.bottom), kFit);
    }
  } else if (!plot.message.empty()) {
    b.Text((l.left + l.right) / 2, (l.top + l.bottom - kPlotTextHeight) / 2, plot.message, kText,
           TextAnchor::Centre);
  }
  if (residuals) {
    YAxis(b, rTicks, r, l.left, l.right, l.residualTop, l.residualBottom, false);
    Residuals(b, plot, picture.area, r, l);
    b.Box(l.left, l.residualTop, l.right, l.residualBottom, kFrame);
    if (!plot.residualLabel.empty())
      b.Text(l.left, l.bottom + kTick + 3, plot.residualLabel, kText, TextAnchor::Left);
  }
  if (plot.cursor && *plot.cursor >= x.lo && *plot.cursor <= x.hi) {
    const double px = PixelOfValue(picture.area, *plot.cursor);
    b.Line(px, l.top + 1, px, l.bottom - 1, kCursor);
    if (residuals) b.Line(px, l.residualTop + 1, px, l.residualBottom - 1, kCursor);
  }
  if (y && (plot.curves.size() > 1 || plot.legend)) Legend(b, plot.curves, l, markerRows, highest);
  b.Box(l.left, l.top, l.right, l.bottom, kFrame);
  return picture;
}

}  // namespace lxr4
