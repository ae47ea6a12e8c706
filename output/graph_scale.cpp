// The graph's window, scale functions and curve points.
#include "output/graph_scale.h"

#include <algorithm>
#include <cmath>

namespace lxr4 {

namespace {

constexpr int kHalfWindow = 32;
constexpr int kLastPlotted = 765;  // columns beyond it plot at 0
constexpr int kLastScanned = 763;  // the window scan stops here
constexpr std::int32_t kScanBottomStart = 1310720;
constexpr double kBaseline = 110;

}  // namespace

std::int16_t GraphCentre(std::int16_t cursor, std::int16_t length) {
  std::int16_t c = cursor;
  if (c < 1) c = 1;
  if (c > length) c = length;
  return c;
}

float GraphX(int column, int centre) { return static_cast<float>(column - centre) * 4.0f + 129.0f; }

WindowRange ScanWindow(const Spectrum& spectrum, int centre, bool pushed) {
  WindowRange range{0.0f, kScanBottomStart};
  for (int i = centre - kHalfWindow; i <= centre + kHalfWindow; ++i) {
    if (i < 1 || i > kLastScanned) continue;
    const std::int32_t value = spectrum[i];
    if (static_cast<double>(range.top) < value) range.top = static_cast<float>(value);
    if (value < range.bottom) range.bottom = value;
  }
  const double span = static_cast<double>(range.top) - range.bottom;
  if (span < 256) range.top = static_cast<float>(range.bottom + 256);
  if (pushed && static_cast<double>(range.top) - range.bottom > 2048) {
    range.top = static_cast<float>(range.bottom + 2048);
  }
  return range;
}

double LinearPercent(double value, std::int32_t max, std::int32_t min) {
  // Without a range (a flat spectrum, or none extracted) the curve lies on the bottom.
  if (max <= min) return 0;
  const auto offset = static_cast<float>(value - min);
  const auto span = static_cast<float>(max - min);
  return 100.0 * static_cast<double>(offset) / static_cast<double>(span);
}

double LogPercent(double value, std::int32_t min) {
  const auto shifted = static_cast<float>(value + 10 - min);
  // Columns past the spectrum may hold older values far below its minimum.
  if (shifted <= 0) return 0;
  return 20.0 * std::log(static_cast<double>(shifted)) / std::log(10.0);
}

double WindowPercent(double value, WindowRange range) {
  return 100.0 * (value - range.bottom) / (static_cast<double>(range.top) - range.bottom);
}

Curve PlotCurve(const GraphView& view, GraphStyle style) {
  const std::int16_t c = GraphCentre(view.cursor, view.length);
  const float start =
      c > kHalfWindow ? static_cast<float>(view.spectrum[c - kHalfWindow]) : static_cast<float>(view.min);
  WindowRange window;
  if (style == GraphStyle::Autoscaled || style == GraphStyle::Pushed) {
    window = ScanWindow(view.spectrum, c, style == GraphStyle::Pushed);
  }
  const auto percent = [&](double value) {
    switch (style) {
      case GraphStyle::Linear:
        return LinearPercent(value, view.max, view.min);
      case GraphStyle::Log:
        return LogPercent(value, view.min);
      case GraphStyle::Autoscaled:
      case GraphStyle::Pushed:
        return WindowPercent(value, window);
    }
    return 0.0;
  };

  Curve curve;
  curve.startY = kBaseline - percent(static_cast<double>(start));
  for (int n = 0; n < kGraphSegments; ++n) {
    const int i = c - (kHalfWindow - 1) + n;
    double v = 0;
    if (i >= 1 && i <= kLastPlotted) v = std::clamp(percent(view.spectrum[i]), 0.0, 100.0);
    curve.points[static_cast<std::size_t>(n)] = {GraphX(i, c), kBaseline - v};
  }
  return curve;
}

std::array<MarkerLine, 2> CentroidMarkers(std::int16_t width) {
  const int half = 2 * (width + 1);
  const auto at = [](int v) { return static_cast<std::int16_t>(v); };
  return {{{at(129 - half), 1, at(130 - half), 109}, {at(129 + half), 1, at(131 + half), 109}}};
}

}  // namespace lxr4
