#include "view/curve_columns.h"

#include <algorithm>
#include <cmath>

namespace lxr4 {

namespace {

bool Rising(std::span<const double> x) {
  for (std::size_t i = 0, j = x.size(); i + 1 < j; ++i, --j)  // the first finite pair from both ends
    if (std::isfinite(x[i]) && std::isfinite(x[j - 1]) && x[i] != x[j - 1]) return x[i] < x[j - 1];
  return true;
}

}  // namespace

IndexRange VisibleSamples(std::span<const double> x, double from, double to) {
  if (!(from <= to)) return {};
  const auto firstAt = [&](auto inside) {
    return static_cast<std::size_t>(std::partition_point(x.begin(), x.end(), inside) - x.begin());
  };
  // NaN compares false, which keeps partition_point's halving bounded.
  if (Rising(x))
    return {firstAt([&](double v) { return v < from; }), firstAt([&](double v) { return v <= to; })};
  return {firstAt([&](double v) { return v > to; }), firstAt([&](double v) { return v >= from; })};
}

std::vector<ColumnValues> CurveColumns(std::span<const double> x, std::span<const double> y, double from,
                                       double to, int left, int right) {
  std::vector<ColumnValues> columns;
  if (x.size() != y.size() || !(from < to) || right <= left || !std::isfinite(to - from)) return columns;
  const IndexRange in = VisibleSamples(x, from, to);
  const double scale = (right - left) / (to - from);
  columns.reserve(static_cast<std::size_t>(right - left + 1));
  bool joined = false;
  const auto add = [&](double xv, double yv) {
    if (!std::isfinite(xv) || !std::isfinite(yv)) {
      joined = false;
      return;
    }
    const int c = std::clamp(static_cast<int>(std::lround(left + (xv - from) * scale)), left, right);
    if (!columns.empty() && columns.back().column == c) {
      ColumnValues& v = columns.back();
      v.last = yv;
      v.least = std::min(v.least, yv);
      v.greatest = std::max(v.greatest, yv);
    } else {
      columns.push_back({c, yv, yv, yv, yv, joined});
    }
    joined = true;
  };
  // The neighbour outside an end, as the value where the line to it crosses that end.
  const auto edge = [&](std::size_t outside, std::size_t inside) {
    const double x0 = x[outside], x1 = x[inside];
    const double at = std::fabs(x0 - from) < std::fabs(x0 - to) ? from : to;
    if (std::isfinite(x0) && std::isfinite(x1) && x1 != x0)
      add(at, y[outside] + (y[inside] - y[outside]) * (at - x0) / (x1 - x0));
  };
  const std::size_t begin = in.begin, end = in.end;
  if (begin > 0 && begin < end) edge(begin - 1, begin);
  for (std::size_t i = begin; i < end; ++i) add(x[i], y[i]);
  if (end < x.size() && end > 0 && end > begin) edge(end, end - 1);
  // Zoomed in between two samples: the line between them crosses the whole panel.
  if (begin == end && begin > 0 && begin < x.size()) {
    edge(begin - 1, begin);
    edge(begin, begin - 1);
  }
  return columns;
}

}  // namespace lxr4
