// The centroid of a spectral line: a sub-pixel column found in a window of
// columns around the cursor, against the background just outside the window.
#pragma once

#include <span>

#include "base/result.h"

namespace lxr4 {

enum class CentroidError : std::uint8_t {
  None,
  SpectrumTooShort,  // fewer than width + 2 columns: the window does not fit
  NoLine,            // no spectrum, or the weights sum to zero: no line to measure
  OutsideWindow,     // the weights put the centroid outside its own window
};

struct Centroid {
  float column = 0;         // 1-based column position, when error is None
  int first = 0, last = 0;  // the window's columns, when the spectrum held one
};
using CentroidResult = Result<CentroidError, Centroid>;

// `spectrum` holds columns 1..N (spectrum[0] is column 1); `cursor` is the
// column the window is centred on (the window moves inward near the ends);
// `width` is the window's odd number of columns. An emission or absorption
// line is chosen by the window's centre column against the background. When
// the window holds no net light (its weights, the values against the
// background, sum to 0) or the centroid falls outside the window (weights of
// both signs, when a brighter neighbour sets the background), no line is
// measured; a centroid inside the window stands whatever the weights' signs.
[[nodiscard]] CentroidResult FindCentroid(std::span<const double> spectrum, int cursor, int width);

// The line near detector pixel `pixel` of a spectrum at full resolution
// (pixel 1 first): the window of `width` pixels is centred on the line's
// strongest pixel within `reach` pixels of `pixel` (the pixels of the
// overview column the cursor is on), then on the pixel of its own centroid
// until that stays, at most kRecentrings times, so that the window lies
// evenly about the line wherever the cursor met it.
inline constexpr int kRecentrings = 5;
[[nodiscard]] CentroidResult FindLineNear(std::span<const double> spectrum, int pixel, int reach, int width);

}  // namespace lxr4
