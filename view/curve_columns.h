// A curve of many samples reduced to what a screen can show of it: per pixel
// column the first, last, least and greatest value of the samples that fall
// in it, so a curve of 65,536 samples draws as O(width) lines and a single
// spiking sample still shows at full height. Pure code.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace lxr4 {

// The samples [begin, end) of `x` that lie in [from, to], x monotonic (rising
// or falling); NaN x values are tolerated (the search stays bounded).
struct IndexRange {
  std::size_t begin = 0, end = 0;
};
[[nodiscard]] IndexRange VisibleSamples(std::span<const double> x, double from, double to);

struct ColumnValues {
  int column = 0;  // pixel column, from `left`
  double first = 0, last = 0, least = 0, greatest = 0;
  bool joined = true;  // whether a line joins it to the column before
};

// Pixel column c = round(left + (x - from) / (to - from) * (right - left)) of
// every sample in [from, to], with finite y; a column holds the values of all
// its samples. The neighbours just outside the range count as values on the
// edge (interpolated there), so the curve runs to the panel's sides. A
// sample with NaN or infinite x or y is left out and breaks the join.
// Columns come out in the samples' order (right to left for a falling x),
// a line joining each to the one before when `joined`. Nothing for to <= from,
// right <= left or x and y of different lengths.
[[nodiscard]] std::vector<ColumnValues> CurveColumns(std::span<const double> x, std::span<const double> y,
                                                     double from, double to, int left, int right);

}  // namespace lxr4
