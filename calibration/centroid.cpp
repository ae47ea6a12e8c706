#include "calibration/centroid.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace lxr4 {

CentroidResult FindCentroid(std::span<const double> spectrum, int cursor, int width) {
  const int n = static_cast<int>(spectrum.size());
  if (n == 0) return CentroidResult::Refused(CentroidError::NoLine);  // nothing extracted yet
  if (width < 1 || n < width + 2) return CentroidResult::Refused(CentroidError::SpectrumTooShort);
  const auto at = [&](int column) { return spectrum[static_cast<std::size_t>(column - 1)]; };

  // Keep the two background columns, start - 1 and start + width, inside 1..N.
  const int half = width / 2;
  int start = cursor - half >= 2 ? cursor - half : 2;
  if (cursor + half >= n) start = n - width;

  // Whole values (a camera image's) add exactly; the background is single, as it always was.
  const double edges = at(start - 1) + at(start + width);
  const auto background = static_cast<float>(static_cast<double>(edges) / 2.0);
  const bool emission = background <= static_cast<double>(at(start + half));

  double moment = 0;
  double total = 0;
  for (int i = start; i < start + width; ++i) {
    const double value = at(i);
    const double weight = emission ? value - background : background - value;
    moment += weight * i;
    total += weight;
  }
  const int last = start + width - 1;
  // The result over this window: its columns, and the centroid or why there is none.
  const auto measured = [start, last](CentroidError error, float column) {
    CentroidResult r = CentroidResult::Refused(error);
    r.column = column;
    r.first = start;
    r.last = last;
    return r;
  };
  if (total == 0) return measured(CentroidError::NoLine, 0);
  // Weights of both signs can sum to little or less than nothing; their
  // centroid then lies anywhere, even far outside the window.
  const auto column = static_cast<float>(moment / total);
  if (!(column >= static_cast<float>(start) && column <= static_cast<float>(last)))
    return measured(CentroidError::OutsideWindow, 0);
  return measured(CentroidError::None, column);
}

CentroidResult FindLineNear(std::span<const double> spectrum, int pixel, int reach, int width) {
  const int n = static_cast<int>(spectrum.size());
  if (n == 0) return CentroidResult::Refused(CentroidError::NoLine);
  if (width < 1 || n < width + 2) return CentroidResult::Refused(CentroidError::SpectrumTooShort);
  const auto at = [&](int p) { return spectrum[static_cast<std::size_t>(std::clamp(p, 1, n) - 1)]; };
  // Emission or absorption, by the cursor's pixel against the two just beyond the reach.
  const int beyond = reach + width / 2 + 1;
  const bool emission = at(pixel) >= (at(pixel - beyond) + at(pixel + beyond)) / 2;
  int centre = std::clamp(pixel, 1, n);
  for (int p = std::max(1, pixel - reach); p <= std::min(n, pixel + reach); ++p)
    if (emission ? at(p) > at(centre) : at(p) < at(centre)) centre = p;
  CentroidResult found = FindCentroid(spectrum, centre, width);
  for (int i = 0; i < kRecentrings && found.error == CentroidError::None; ++i) {
    const int next = static_cast<int>(std::lround(found.column));
    if (next == centre) break;
    centre = next;
    found = FindCentroid(spectrum, centre, width);
  }
  return found;
}

}  // namespace lxr4
